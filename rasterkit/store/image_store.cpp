// Image store: the file set, its format, the held TIFF handle and the page
// in the exported variables.
#include "image_store.h"

#include <tiffio.h>

#include <cstdio>
#include <cstring>

#include "rasterkit.h"
#include "readers.h"
#include "scale.h"

namespace rk {
namespace {

struct StoreState {
    char path[4096] = {};
    ImageFormat format = ImageFormat::unknown;
    TIFF* tiff = nullptr;
};

StoreState g_store;

void release_page() {
    orvo::zero_free(videobuffer);
    videobuffer = nullptr;
}

void install_page(GrayPage& page) {
    MAXCOL = page.width;
    MAXLIN = page.height;
    BPL = MAXCOL;
    videobuffer = page.release();
}

// Replaces the page just read by its normalised copy, when there is one.
void normalise_page() {
    unsigned char* scaled = scale_image();
    if (scaled != nullptr) {
        orvo::zero_free(videobuffer);
        videobuffer = scaled;
        forget_scaled_image();
    }
}

// Reads page `crt_page` through the held TIFF handle.
int open_tiff_page() {
    if (g_store.tiff == nullptr) return 0;
    if (crt_page == n_pages) {
        close_image();
        return 0;
    }
    release_page();
    GrayPage page;
    ReadError error = ReadError::none;
    TiffPageResult r = read_tiff_page(g_store.tiff, crt_page, page, &error);
    if (r == TiffPageResult::failed) {
        close_image();
        return 0;
    }
    install_page(page);
    if (r == TiffPageResult::partial) return 2;
    return 1;
}

ReadResult read_other(ImageFormat format, const char* path) {
    switch (format) {
        case ImageFormat::pcx: return read_pcx(path);
        case ImageFormat::itex:
        case ImageFormat::bmp:
        case ImageFormat::pgm: return read_bmp_pgm_itex(path);
        case ImageFormat::jpeg: return read_jpeg(path);
        case ImageFormat::png: return read_png(path);
        default: return read_failure(ReadError::unsupported);
    }
}

}  // namespace

int set_image_file(const char* path) {
    close_image();
    // A failed set leaves nothing to open: the file set before is forgotten
    // so that the next open reports the failure instead of reloading it.
    g_store.format = ImageFormat::unknown;
    g_store.path[0] = '\0';
    if (path == nullptr) return 0;
    std::size_t len = std::strlen(path);
    if (len + 1 > sizeof g_store.path) return 0;

    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return 0;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::uint8_t head[kSniffBytes] = {};
    std::size_t got = 0;
    if (size > 4) {
        std::rewind(f);
        got = std::fread(head, 1, sizeof head, f);
    }
    std::fclose(f);
    if (size <= 4 || got < sizeof head) return 0;

    ImageFormat format = detect_format({head, got});
    if (format == ImageFormat::unknown) return 0;

    std::memcpy(g_store.path, path, len + 1);
    n_pages = 1;
    crt_page = 0;
    if (format == ImageFormat::tiff) {
        int pages = 0;
        g_store.tiff = tiff_open(path, &pages);
        if (g_store.tiff == nullptr) {
            g_store.path[0] = '\0';
            return 0;
        }
        n_pages = pages;
    }
    g_store.format = format;
    return 1;
}

int open_image() {
    if (g_store.format == ImageFormat::unknown) return 0;
    if (g_store.format == ImageFormat::tiff) {
        int r = open_tiff_page();
        if (r != 1) return r;
    } else {
        release_page();
        ReadResult read = read_other(g_store.format, g_store.path);
        if (!read.ok()) return 0;
        install_page(read.page);
    }
    normalise_page();
    ++crt_page;
    return 1;
}

int open_gray_page(const unsigned char* pixels, int width, int height, int stride) {
    close_image();
    g_store.format = ImageFormat::unknown;
    g_store.path[0] = '\0';
    if (pixels == nullptr || !page_size_ok(width, height) || stride < width) return 0;
    GrayPage page;
    if (!allocate_page(page, width, height)) return 0;
    for (int y = 0; y < height; ++y)
        std::memcpy(page.row(y), pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride),
                    static_cast<std::size_t>(width));
    n_pages = 1;
    crt_page = 0;
    install_page(page);
    normalise_page();
    ++crt_page;
    return 1;
}

void close_image() {
    XSCALE = 1;
    YSCALE = 1;
    release_page();
    if (g_store.tiff != nullptr) {
        TIFFClose(g_store.tiff);
        g_store.tiff = nullptr;
    }
}

ImageFormat current_format() { return g_store.format; }

}  // namespace rk

// TIFF reader: the store holds the libtiff handle of the file set; pages
// (directories) are read one at a time through it. 8-bit gray, 8-bit
// palette and 8-bit interleaved RGB layouts are taken.
#include <tiffio.h>

#include <cstring>

#include "readers.h"

namespace rk {
namespace {

// libtiff prints its warnings and errors on stderr by default; a reader
// shows nothing, so both handlers are switched off once.
void silence_libtiff() {
    static const bool done = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)done;
}

}  // namespace

TIFF* tiff_open(const char* path, int* pages) {
    silence_libtiff();
    if (path == nullptr) return nullptr;
    TIFF* tiff = TIFFOpen(path, "r");
    if (tiff == nullptr) return nullptr;
    int n = 1;
    while (TIFFReadDirectory(tiff)) ++n;
    if (pages != nullptr) *pages = n;
    return tiff;
}

TiffPageResult read_tiff_page(TIFF* tiff, int index, GrayPage& page, ReadError* error) {
    auto fail = [&](ReadError why) {
        if (error != nullptr) *error = why;
        page = GrayPage{};
        return TiffPageResult::failed;
    };
    page = GrayPage{};
    if (tiff == nullptr) return fail(ReadError::cannot_open);
    if (!TIFFSetDirectory(tiff, static_cast<tdir_t>(static_cast<std::uint16_t>(index))))
        return fail(ReadError::bad_header);

    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, compression = 1, planar = 1;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    // Tags the file lacks leave bits and samples at 0 (refused below).
    if (!TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits)) bits = 0;
    if (!TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples)) samples = 0;
    if (!TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression)) compression = 1;
    if (!TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &planar)) planar = 1;
    const tmsize_t scanline = TIFFScanlineSize(tiff);

    if (bits != 8 || (samples != 1 && samples != 3)) return fail(ReadError::unsupported);
    if (samples == 3 && (compression == COMPRESSION_OJPEG || planar != PLANARCONFIG_CONTIG))
        return fail(ReadError::unsupported);
    if (!page_size_ok(width, height) || scanline < static_cast<tmsize_t>(width) * samples)
        return fail(ReadError::bad_size);
    // Uncompressed strips cannot be shorter than their rows.
    if (compression == COMPRESSION_NONE) {
        const std::uint64_t file_bytes = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
        if (!holds_enough(file_bytes, static_cast<std::uint64_t>(scanline) * height))
            return fail(ReadError::truncated);
    }
    if (!allocate_page(page, static_cast<int>(width), static_cast<int>(height)))
        return fail(ReadError::no_memory);

    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    const bool mapped = samples == 1 && TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) &&
                        red != nullptr && green != nullptr && blue != nullptr;

    // A gray or palette scanline of exactly the page's width is read
    // straight into its page row; any longer one (three samples, or a
    // layout that pads its rows) goes through a buffer of its own size, and
    // only the page row's pixels are taken from it.
    const bool direct = samples == 1 && scanline == static_cast<tmsize_t>(width);
    orvo::ZeroPtr<std::uint8_t> line;
    if (!direct) {
        line = orvo::make_zeroed<std::uint8_t>(static_cast<std::size_t>(scanline));
        if (!line) return fail(ReadError::no_memory);
    }
    std::uint8_t gray_of_index[256];
    if (mapped)
        for (int v = 0; v < 256; ++v)
            gray_of_index[v] = static_cast<std::uint8_t>(gray_of(red[v] >> 8, green[v] >> 8, blue[v] >> 8));

    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* out = page.row(static_cast<int>(y));
        std::uint8_t* in = direct ? out : line.get();
        if (TIFFReadScanline(tiff, in, y, 0) < 0) return TiffPageResult::partial;
        if (samples == 3) {
            for (std::uint32_t x = 0; x < width; ++x, in += 3)
                out[x] = static_cast<std::uint8_t>(gray_of(in[0], in[1], in[2]));
        } else if (mapped) {
            for (std::uint32_t x = 0; x < width; ++x) out[x] = gray_of_index[in[x]];
        } else if (!direct) {
            std::memcpy(out, in, width);
        }
    }
    return TiffPageResult::ok;
}

}  // namespace rk

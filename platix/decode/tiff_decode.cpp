// TIFF pages of any layout libtiff's RGBA interface reads (16-bit samples,
// tiles, separate planes, palettes, YCbCr, CMYK...): the first page,
// turned upright by its orientation tag.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "decode/decoded_page.h"

namespace platix::decode {

namespace {

int keep_error(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
    auto* why = static_cast<std::string*>(user);
    if (why->empty()) {
        char buf[256];
        std::vsnprintf(buf, sizeof buf, fmt, ap);
        *why = buf;
    }
    return 1;
}

int drop_warning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// A TIFF file held in memory, read through libtiff's client procedures.
struct MemoryFile {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t pos;
};

tmsize_t memory_read(thandle_t h, void* buf, tmsize_t n) {
    auto* m = static_cast<MemoryFile*>(h);
    if (n <= 0 || m->pos >= m->size) return 0;
    const std::uint64_t take = std::min<std::uint64_t>(static_cast<std::uint64_t>(n), m->size - m->pos);
    std::memcpy(buf, m->data + m->pos, take);
    m->pos += take;
    return static_cast<tmsize_t>(take);
}

tmsize_t memory_write(thandle_t, void*, tmsize_t) { return 0; }

toff_t memory_seek(thandle_t h, toff_t off, int whence) {
    auto* m = static_cast<MemoryFile*>(h);
    const std::uint64_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
    if (off > std::numeric_limits<std::uint64_t>::max() - base) return static_cast<toff_t>(-1);
    m->pos = base + off;
    return m->pos;
}

int memory_close(thandle_t) { return 0; }
toff_t memory_size(thandle_t h) { return static_cast<MemoryFile*>(h)->size; }
int memory_map(thandle_t, void**, toff_t*) { return 0; }
void memory_unmap(thandle_t, void*, toff_t) {}

// Opens with `open(options)`, keeping libtiff's first error in `why`.
template <typename Open>
TIFF* open_tiff(std::string& why, Open open) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        why = "out of memory";
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, keep_error, &why);
    TIFFOpenOptionsSetWarningHandlerExtR(options, drop_warning, nullptr);
    TIFF* tif = open(options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// Decodes the first page of `tif` and closes it.
Decoded decode_open_tiff(TIFF* tif, const std::string& why, bool colour, bool header_only) {
    if (tif == nullptr) return failure(Outcome::damaged, "damaged TIFF file: " + why);
    Decoded d;
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    char message[1024] = "";
    if (header_only) {
        d.image.width = static_cast<int>(std::min<std::uint32_t>(w, std::numeric_limits<int>::max()));
        d.image.height = static_cast<int>(std::min<std::uint32_t>(h, std::numeric_limits<int>::max()));
        d.outcome = Outcome::decoded;
    } else if (!size_ok(w, h)) {
        d = failure(Outcome::unsupported, "TIFF page of " + std::to_string(w) + " x " + std::to_string(h) +
                                              " pixels is larger than the reader takes");
    } else if (!TIFFRGBAImageOK(tif, message)) {
        d = failure(Outcome::unsupported, std::string("unsupported TIFF layout: ") + message);
    } else {
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(w) * h);
        if (!TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
            d = failure(Outcome::damaged, "damaged TIFF file: " + (why.empty() ? std::string("cannot read the page") : why));
        } else {
            d.image.width = static_cast<int>(w);
            d.image.height = static_cast<int>(h);
            d.image.channels = colour ? 3 : 1;
            d.image.pixels.resize(raster.size() * d.image.channels);
            for (std::size_t i = 0; i < raster.size(); ++i) {
                const std::uint32_t p = raster[i];
                const int r = static_cast<int>(TIFFGetR(p)), g = static_cast<int>(TIFFGetG(p)), b = static_cast<int>(TIFFGetB(p));
                if (colour) {
                    d.image.pixels[3 * i] = static_cast<std::uint8_t>(r);
                    d.image.pixels[3 * i + 1] = static_cast<std::uint8_t>(g);
                    d.image.pixels[3 * i + 2] = static_cast<std::uint8_t>(b);
                } else {
                    d.image.pixels[i] = static_cast<std::uint8_t>(gray_of(r, g, b));
                }
            }
            d.outcome = Outcome::decoded;
        }
    }
    TIFFClose(tif);
    return d;
}

}  // namespace

Decoded decode_tiff(const std::string& path, bool colour) {
    std::string why;
    TIFF* tif = open_tiff(why, [&](TIFFOpenOptions* o) { return TIFFOpenExt(path.c_str(), "r", o); });
    return decode_open_tiff(tif, why, colour, false);
}

Decoded decode_tiff_bytes(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour) {
    MemoryFile file{bytes.data(), bytes.size(), 0};
    std::string why;
    TIFF* tif = open_tiff(why, [&](TIFFOpenOptions* o) {
        return TIFFClientOpenExt("memory", "rm", &file, memory_read, memory_write, memory_seek, memory_close,
                                 memory_size, memory_map, memory_unmap, o);
    });
    return decode_open_tiff(tif, why, colour, header_only);
}

}  // namespace platix::decode

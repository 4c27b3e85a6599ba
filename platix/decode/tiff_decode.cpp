// TIFF pages of any layout libtiff's RGBA interface reads (16-bit samples,
// tiles, separate planes, palettes, YCbCr, CMYK...): the first page,
// turned upright by its orientation tag.
#include <tiffio.h>

#include <cstdarg>
#include <cstdio>

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

}  // namespace

Decoded decode_tiff(const std::string& path, bool colour) {
    std::string why;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return failure(Outcome::damaged, "out of memory");
    TIFFOpenOptionsSetErrorHandlerExtR(options, keep_error, &why);
    TIFFOpenOptionsSetWarningHandlerExtR(options, drop_warning, nullptr);
    TIFF* tif = TIFFOpenExt(path.c_str(), "r", options);
    TIFFOpenOptionsFree(options);
    if (tif == nullptr) return failure(Outcome::damaged, "damaged TIFF file: " + why);
    Decoded d;
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    char message[1024] = "";
    if (!size_ok(w, h)) {
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

}  // namespace platix::decode

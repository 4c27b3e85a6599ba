// PNG reader: libpng expands every layout to 8-bit RGB or RGBA, with the
// file's gamma corrected for the display; alpha is composited over the
// file's background colour (black without one) and the result turned to
// gray.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "readers.h"

namespace rk {
namespace {

constexpr double kDefaultDisplayExponent = 1.0 * 2.2;

// Reads exactly the bytes asked for, or raises a library error.
void read_from_file(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, file) != length) png_error(png, "my_fread error");
}

double display_exponent() {
    const char* text = std::getenv("SCREEN_GAMMA");
    if (text == nullptr) return kDefaultDisplayExponent;
    return std::strtod(text, nullptr);
}

struct Rgb8 {
    int r = 0, g = 0, b = 0;
};

// Composites one channel over the background: t = p a + bg (255 - a) + 128
// kept to 16 bits, then (t + t / 256) / 256.
inline int composite(int pixel, int alpha, int background) {
    if (alpha == 0) return background;
    if (alpha == 255) return pixel;
    const unsigned t = static_cast<unsigned>(pixel * alpha + background * (255 - alpha) + 128) & 0xFFFFu;
    return static_cast<int>((t + (t >> 8)) >> 8);
}

// The decoding steps that run under the library's jump point. Everything
// they allocate is owned by `rows` (freed by the caller on every path).
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::uint8_t* volatile image = nullptr;  // height x rowbytes
    png_bytep* volatile row_pointers = nullptr;
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    std::size_t rowbytes = 0;
    int channels = 0;
    Rgb8 background;
};

ReadError run(PngDecode& d, std::FILE* file) {
    if (setjmp(png_jmpbuf(d.png))) return ReadError::decode_failed;
    png_set_read_fn(d.png, file, read_from_file);
    png_init_io(d.png, file);  // the same file as the read function's input
    png_set_sig_bytes(d.png, 8);
    png_read_info(d.png, d.info);
    png_get_IHDR(d.png, d.info, &d.width, &d.height, &d.bit_depth, &d.colour_type, nullptr, nullptr,
                 nullptr);
    if (!page_size_ok(d.width, d.height)) return ReadError::bad_size;

    png_color_16p bkgd = nullptr;
    if (png_get_valid(d.png, d.info, PNG_INFO_bKGD) && png_get_bKGD(d.png, d.info, &bkgd) && bkgd) {
        if (d.bit_depth == 16) {
            d.background = {bkgd->red >> 8, bkgd->green >> 8, bkgd->blue >> 8};
        } else if (d.colour_type == PNG_COLOR_TYPE_GRAY && d.bit_depth < 8) {
            int g = bkgd->gray;
            g = d.bit_depth == 1 ? (g ? 255 : 0) : d.bit_depth == 2 ? g * 85 : g * 17;
            d.background = {g & 0xFF, g & 0xFF, g & 0xFF};
        } else {
            d.background = {bkgd->red & 0xFF, bkgd->green & 0xFF, bkgd->blue & 0xFF};
        }
    }
    const double exponent = display_exponent();

    if (d.colour_type == PNG_COLOR_TYPE_PALETTE) png_set_expand(d.png);
    if (d.colour_type == PNG_COLOR_TYPE_GRAY && d.bit_depth < 8) png_set_expand(d.png);
    if (png_get_valid(d.png, d.info, PNG_INFO_tRNS)) png_set_expand(d.png);
    if (d.bit_depth == 16) png_set_strip_16(d.png);
    if (d.colour_type == PNG_COLOR_TYPE_GRAY || d.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(d.png);
    double file_gamma = 0;
    if (png_get_gAMA(d.png, d.info, &file_gamma)) png_set_gamma(d.png, exponent, file_gamma);
    png_read_update_info(d.png, d.info);
    d.rowbytes = png_get_rowbytes(d.png, d.info);
    d.channels = png_get_channels(d.png, d.info);
    if ((d.channels != 3 && d.channels != 4) || d.rowbytes < static_cast<std::size_t>(d.width) * d.channels)
        return ReadError::unsupported;

    d.image = static_cast<std::uint8_t*>(orvo::zero_alloc_array(d.rowbytes, d.height));
    d.row_pointers = static_cast<png_bytep*>(orvo::zero_alloc_array(d.height, sizeof(png_bytep)));
    if (d.image == nullptr || d.row_pointers == nullptr) return ReadError::no_memory;
    for (png_uint_32 y = 0; y < d.height; ++y) d.row_pointers[y] = d.image + y * d.rowbytes;
    png_read_image(d.png, d.row_pointers);
    return ReadError::none;
}

}  // namespace

ReadResult read_png(const char* path) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) return read_failure(ReadError::cannot_open);
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        std::fclose(file);
        return read_failure(ReadError::bad_header);
    }

    PngDecode d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (d.png != nullptr) d.info = png_create_info_struct(d.png);
    ReadError error = d.info == nullptr ? ReadError::no_memory : run(d, file);
    png_destroy_read_struct(d.png ? &d.png : nullptr, d.info ? &d.info : nullptr, nullptr);
    std::fclose(file);
    orvo::zero_free(d.row_pointers);
    orvo::ZeroPtr<std::uint8_t> image(d.image);
    if (error != ReadError::none) return read_failure(error);

    // Colour pass: composite alpha over the background, then gray.
    ReadResult result;
    if (!allocate_page(result.page, static_cast<int>(d.width), static_cast<int>(d.height)))
        return read_failure(ReadError::no_memory);
    for (png_uint_32 y = 0; y < d.height; ++y) {
        const std::uint8_t* in = image.get() + y * d.rowbytes;
        std::uint8_t* out = result.page.row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < d.width; ++x, in += d.channels) {
            int r = in[0], g = in[1], b = in[2];
            if (d.channels == 4) {
                const int a = in[3];
                r = composite(r, a, d.background.r);
                g = composite(g, a, d.background.g);
                b = composite(b, a, d.background.b);
            }
            out[x] = static_cast<std::uint8_t>(gray_of(r, g, b));
        }
    }
    return result;
}

}  // namespace rk

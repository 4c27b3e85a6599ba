// PNG reader: libpng expands every layout to 8-bit RGB or RGBA, with the
// file's gamma corrected for the display; alpha is composited over the
// file's background colour (black without one) and the result turned to
// gray.
#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "readers.h"

namespace rk {
namespace {

constexpr double kDefaultDisplayExponent = 1.0 * 2.2;

// libpng takes an exponent as it is only between its fixed-point step
// (1/100000) and 128: it refuses zero and negative ones with an error and
// reads larger ones as fixed-point numbers.
constexpr double kSmallestDisplayExponent = 0.00001;
constexpr double kLargestDisplayExponent = 128;

struct Rgb8 {
    int r = 0, g = 0, b = 0;
};

// The file being read and libpng's structures for it. One read at a time;
// everything here is released by PngSession::end on every path.
struct PngState {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::uint8_t* image = nullptr;  // height rows of rowbytes bytes
    png_bytep* row_pointers = nullptr;
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    std::size_t rowbytes = 0;
    int channels = 0;
    Rgb8 background;
};

PngState g_png;

void destroy_structures() {
    if (g_png.png != nullptr) png_destroy_read_struct(&g_png.png, g_png.info ? &g_png.info : nullptr, nullptr);
    g_png.png = nullptr;
    g_png.info = nullptr;
}

void close_file() {
    if (g_png.file != nullptr) std::fclose(g_png.file);
    g_png.file = nullptr;
}

void release_rows() {
    orvo::zero_free(g_png.row_pointers);
    g_png.row_pointers = nullptr;
}

void release_image() {
    orvo::zero_free(g_png.image);
    g_png.image = nullptr;
}

// Holds the module state for one read and leaves it empty when the read
// ends, however it ends.
class PngSession {
public:
    PngSession() { g_png = PngState{}; }
    ~PngSession() { end(); }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;

    static void end() {
        destroy_structures();
        close_file();
        release_rows();
        release_image();
    }
};

// Reads exactly the bytes asked for, or raises a library error.
void read_from_file(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, file) != length) png_error(png, "my_fread error");
}

// The exponent of the display, from "SCREEN_GAMMA" when that holds a
// number libpng can take, else 2.2.
double display_exponent() {
    const char* text = std::getenv("SCREEN_GAMMA");
    if (text == nullptr) return kDefaultDisplayExponent;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value) || value < kSmallestDisplayExponent ||
        value >= kLargestDisplayExponent)
        return kDefaultDisplayExponent;
    return value;
}

// Background from the bKGD chunk, in 8-bit units.
Rgb8 background_of(const png_color_16& c, int bit_depth, int colour_type) {
    if (bit_depth == 16) return {c.red >> 8, c.green >> 8, c.blue >> 8};
    if (colour_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) {
        const int g = bit_depth == 1 ? (c.gray ? 255 : 0) : bit_depth == 2 ? c.gray * 85 : c.gray * 17;
        return {g & 0xFF, g & 0xFF, g & 0xFF};
    }
    return {c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF};
}

// Composites one channel over the background: t = p a + bg (255 - a) + 128
// kept to 16 bits, then (t + t / 256) / 256.
inline int composite(int pixel, int alpha, int background) {
    if (alpha == 0) return background;
    if (alpha == 255) return pixel;
    const unsigned t = static_cast<unsigned>(pixel * alpha + background * (255 - alpha) + 128) & 0xFFFFu;
    return static_cast<int>((t + (t >> 8)) >> 8);
}

// Every libpng call that can raise an error, under the jump point; on an
// error it returns decode_failed and leaves the cleanup to the session.
// Holds no object with a destructor, as the jump skips destructors.
ReadError decode() {
    PngState& s = g_png;
    if (setjmp(png_jmpbuf(s.png))) return ReadError::decode_failed;
    png_set_read_fn(s.png, s.file, read_from_file);
    png_init_io(s.png, s.file);  // the same file as the read function's input
    png_set_sig_bytes(s.png, 8);
    png_read_info(s.png, s.info);
    png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bit_depth, &s.colour_type, nullptr, nullptr, nullptr);
    if (!page_size_ok(s.width, s.height)) return ReadError::bad_size;

    png_color_16p bkgd = nullptr;
    if (png_get_valid(s.png, s.info, PNG_INFO_bKGD) && png_get_bKGD(s.png, s.info, &bkgd) && bkgd != nullptr)
        s.background = background_of(*bkgd, s.bit_depth, s.colour_type);
    const double exponent = display_exponent();

    if (s.colour_type == PNG_COLOR_TYPE_PALETTE) png_set_expand(s.png);
    if (s.colour_type == PNG_COLOR_TYPE_GRAY && s.bit_depth < 8) png_set_expand(s.png);
    if (png_get_valid(s.png, s.info, PNG_INFO_tRNS)) png_set_expand(s.png);
    if (s.bit_depth == 16) png_set_strip_16(s.png);
    if (s.colour_type == PNG_COLOR_TYPE_GRAY || s.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(s.png);
    double file_gamma = 0;
    if (png_get_gAMA(s.png, s.info, &file_gamma)) png_set_gamma(s.png, exponent, file_gamma);
    png_read_update_info(s.png, s.info);
    s.rowbytes = png_get_rowbytes(s.png, s.info);
    s.channels = png_get_channels(s.png, s.info);
    if ((s.channels != 3 && s.channels != 4) || s.rowbytes < static_cast<std::size_t>(s.width) * s.channels)
        return ReadError::unsupported;

    s.image = static_cast<std::uint8_t*>(orvo::zero_alloc_array(s.rowbytes, s.height));
    if (s.image == nullptr) return ReadError::no_memory;
    s.row_pointers = static_cast<png_bytep*>(orvo::zero_alloc_array(s.height, sizeof(png_bytep)));
    if (s.row_pointers == nullptr) return ReadError::no_memory;
    for (png_uint_32 y = 0; y < s.height; ++y) s.row_pointers[y] = s.image + y * s.rowbytes;
    png_read_image(s.png, s.row_pointers);
    return ReadError::none;
}

// Composites and converts the decoded rows into `page` (already allocated
// at the image's size).
void to_gray(GrayPage& page) {
    const PngState& s = g_png;
    for (png_uint_32 y = 0; y < s.height; ++y) {
        const std::uint8_t* in = s.image + y * s.rowbytes;
        std::uint8_t* out = page.row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < s.width; ++x, in += s.channels) {
            int r = in[0], g = in[1], b = in[2];
            if (s.channels == 4) {
                const int a = in[3];
                r = composite(r, a, s.background.r);
                g = composite(g, a, s.background.g);
                b = composite(b, a, s.background.b);
            }
            out[x] = static_cast<std::uint8_t>(gray_of(r, g, b));
        }
    }
}

}  // namespace

ReadResult read_png(const char* path) {
    PngSession session;
    g_png.file = path ? std::fopen(path, "rb") : nullptr;
    if (g_png.file == nullptr) return read_failure(ReadError::cannot_open);
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, g_png.file) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return read_failure(ReadError::bad_header);

    g_png.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (g_png.png == nullptr) return read_failure(ReadError::no_memory);
    g_png.info = png_create_info_struct(g_png.png);
    if (g_png.info == nullptr) return read_failure(ReadError::no_memory);

    const ReadError error = decode();
    if (error != ReadError::none) return read_failure(error);
    release_rows();
    destroy_structures();
    close_file();

    // The colour pass goes straight into the page: each pixel is
    // composited and turned to gray in one step.
    ReadResult result;
    if (!allocate_page(result.page, static_cast<int>(g_png.width), static_cast<int>(g_png.height)))
        return read_failure(ReadError::no_memory);
    to_gray(result.page);
    return result;
}

}  // namespace rk

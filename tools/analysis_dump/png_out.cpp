// PNG output through libpng: one function per picture kind, sharing the
// file handling and libpng's error exit.
#include "png_out.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace dump {
namespace {

// Writes `lines` rows handed out by row(y) with the given PNG header.
template <typename RowFn>
bool write_png(const std::string& path, int width, int lines, int bit_depth, int colour_type, RowFn row) {
    if (width <= 0 || lines <= 0) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(lines), bit_depth,
                     colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < lines; ++y) png_write_row(png, row(y));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (std::fclose(f) != 0) ok = false;
    return ok;
}

}  // namespace

bool write_rgb_png(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb) {
    if (rgb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) return false;
    const unsigned char* data = rgb.data();
    return write_png(path, width, height, 8, PNG_COLOR_TYPE_RGB, [&](int y) {
        return const_cast<png_bytep>(data + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3);
    });
}

bool write_bitmap_png(const std::string& path, int columns, int lines, const unsigned char* bits, int bpl) {
    if (bits == nullptr || bpl < (columns + 7) / 8) return false;
    return write_png(path, columns, lines, 1, PNG_COLOR_TYPE_GRAY, [&](int y) {
        return const_cast<png_bytep>(bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(bpl));
    });
}

}  // namespace dump

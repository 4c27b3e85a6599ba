// TIFF, JPEG and PNG writers built on libtiff, libjpeg and libpng.
#include "library_writers.h"

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>

namespace testsupport {
namespace {

// The pixels as interleaved red, green and blue samples.
template <typename Sample>
std::vector<Sample> rgb_samples(const RgbImage& image) {
    std::vector<Sample> s;
    for (const Rgb& c : image.pixels) s.insert(s.end(), {c.r, c.g, c.b});
    return s;
}

}  // namespace

TiffPage tiff_gray_page(const GrayImage& image) {
    return {.width = image.width, .height = image.height, .samples_data = image.pixels, .colormap = {}};
}

TiffPage tiff_rgb_page(const RgbImage& image) {
    return {.width = image.width, .height = image.height, .samples = 3, .photometric = 2,
            .samples_data = rgb_samples<std::uint8_t>(image), .colormap = {}};
}

TiffPage tiff_palette_page(const IndexedImage& image) {
    TiffPage p{.width = image.width, .height = image.height, .photometric = 3, .samples_data = image.indices,
               .colormap = std::vector<std::uint16_t>(3 * 256, 0)};
    for (std::size_t i = 0; i < image.palette.size() && i < 256; ++i) {
        p.colormap[i] = static_cast<std::uint16_t>(image.palette[i].r * 257);
        p.colormap[256 + i] = static_cast<std::uint16_t>(image.palette[i].g * 257);
        p.colormap[512 + i] = static_cast<std::uint16_t>(image.palette[i].b * 257);
    }
    return p;
}

bool write_tiff(const std::string& path, const std::vector<TiffPage>& pages) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) return false;
    bool ok = true;
    for (const TiffPage& p : pages) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(p.width));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(p.height));
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(p.bits));
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(p.samples));
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, static_cast<std::uint16_t>(p.photometric));
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
                     static_cast<std::uint16_t>(p.planar_separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, static_cast<std::uint16_t>(p.compression));
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(1));
        if (!p.colormap.empty()) {
            const std::size_t n = p.colormap.size() / 3;
            TIFFSetField(tiff, TIFFTAG_COLORMAP, p.colormap.data(), p.colormap.data() + n, p.colormap.data() + 2 * n);
        }
        const std::size_t row_bytes =
            p.planar_separate ? (static_cast<std::size_t>(p.width) * p.bits + 7) / 8
                              : (static_cast<std::size_t>(p.width) * p.samples * p.bits + 7) / 8;
        std::vector<std::uint8_t> row(row_bytes);
        const int planes = p.planar_separate ? p.samples : 1;
        for (int s = 0; s < planes && ok; ++s)
            for (int y = 0; y < p.height && ok; ++y) {
                const std::size_t at = (static_cast<std::size_t>(s) * p.height + y) * row_bytes;
                for (std::size_t i = 0; i < row_bytes; ++i)
                    row[i] = at + i < p.samples_data.size() ? p.samples_data[at + i] : 0;
                ok = TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), static_cast<std::uint16_t>(s)) >= 0;
            }
        ok = ok && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return ok;
}

namespace {

struct JpegJump {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void jpeg_jump(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegJump*>(cinfo->err)->jump, 1); }

bool write_jpeg_rows(const std::string& path, int width, int height, int components,
                     const std::vector<std::uint8_t>& samples, int quality) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    jpeg_compress_struct cinfo{};
    JpegJump err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpeg_jump;
    if (setjmp(err.jump)) return jpeg_destroy_compress(&cinfo), std::fclose(f), false;
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() +
                                            static_cast<std::size_t>(cinfo.next_scanline) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

}  // namespace

bool write_jpeg(const std::string& path, const RgbImage& image, int quality) {
    return write_jpeg_rows(path, image.width, image.height, 3, rgb_samples<std::uint8_t>(image), quality);
}

bool write_jpeg(const std::string& path, const GrayImage& image, int quality) {
    return write_jpeg_rows(path, image.width, image.height, 1, image.pixels, quality);
}

bool write_png(const std::string& path, int width, int height, const std::vector<std::uint16_t>& samples,
               const PngOptions& o, const std::vector<Rgb>& palette) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)))
        return png_destroy_write_struct(&png, info ? &info : nullptr), std::fclose(f), false;
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), o.bit_depth,
                 o.colour_type, o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    if (o.colour_type == PNG_COLOR_TYPE_PALETTE) {
        for (const Rgb& c : palette) pal.push_back({c.r, c.g, c.b});
        png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    }
    if (o.with_background) {
        png_color_16 bg{static_cast<png_byte>(o.background[0]), o.background[0], o.background[1], o.background[2], o.background[0]};
        png_set_bKGD(png, info, &bg);
    }
    if (o.file_gamma > 0) png_set_gAMA(png, info, o.file_gamma);
    png_color_16 trans{0, o.transparent[0], o.transparent[1], o.transparent[2], o.transparent[0]};
    if (!o.palette_alpha.empty())
        png_set_tRNS(png, info, o.palette_alpha.data(), static_cast<int>(o.palette_alpha.size()), nullptr);
    else if (o.with_transparent_value)
        png_set_tRNS(png, info, nullptr, 0, &trans);
    png_write_info(png, info);

    const int channels = std::array{1, 0, 3, 1, 2, 0, 4}.at(static_cast<std::size_t>(o.colour_type));
    const std::size_t per_row = static_cast<std::size_t>(width) * channels;
    const std::size_t row_bytes = (per_row * o.bit_depth + 7) / 8 + 1;
    std::vector<std::uint8_t> rows(row_bytes * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + row_bytes * static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < per_row; ++i) {
            const std::uint16_t v = samples[static_cast<std::size_t>(y) * per_row + i];
            if (o.bit_depth == 16) {
                row[2 * i] = static_cast<std::uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<std::uint8_t>(v);
            } else {  // packed from the top bit; 8-bit samples fill whole bytes
                const std::size_t bit = i * o.bit_depth;
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - o.bit_depth - bit % 8));
            }
        }
    }
    // libpng picks the pixels of each interlace pass out of the full rows.
    const int passes = o.interlaced ? png_set_interlace_handling(png) : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) png_write_row(png, rows.data() + row_bytes * static_cast<std::size_t>(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool write_png(const std::string& path, const RgbImage& image) {
    return write_png(path, image.width, image.height, rgb_samples<std::uint16_t>(image), PngOptions{});
}

}  // namespace testsupport

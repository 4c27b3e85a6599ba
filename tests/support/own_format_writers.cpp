// Byte-by-byte writers of BMP, PCX, PGM and ITEX files.
#include "own_format_writers.h"

#include <stdexcept>
#include <string>

namespace testsupport {
namespace {

void check_size(int width, int height, std::size_t count) {
    if (width <= 0 || height <= 0 || count != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("picture size does not match its pixels");
}

// The 54-byte BMP file and info headers; the data follow a palette of `palette_bytes`.
std::vector<std::uint8_t> bmp_header(int width, int height, int bits, std::size_t palette_bytes,
                                     std::uint32_t colours_used, bool top_down, std::size_t data_bytes) {
    std::vector<std::uint8_t> f(kBmpHeaderBytes, 0);
    f[0] = 'B', f[1] = 'M';
    put_le32(f, 2, static_cast<std::uint32_t>(kBmpHeaderBytes + palette_bytes + data_bytes));
    put_le32(f, 10, static_cast<std::uint32_t>(kBmpHeaderBytes + palette_bytes));
    put_le32(f, 14, 40);
    put_le32(f, 18, static_cast<std::uint32_t>(width));
    put_le32(f, 22, static_cast<std::uint32_t>(top_down ? -height : height));
    put_le16(f, 26, 1);
    put_le16(f, 28, static_cast<std::uint16_t>(bits));
    put_le32(f, 34, static_cast<std::uint32_t>(data_bytes));
    put_le32(f, 38, 2835), put_le32(f, 42, 2835);
    put_le32(f, 46, colours_used);
    return f;
}

std::size_t bmp_stride(int width, int bits) { return (static_cast<std::size_t>(width) * (bits / 8) + 3) / 4 * 4; }

// Appends the rows in file order (bottom-up unless top_down); `put_pixel` appends pixel (x, y)'s bytes.
template <typename PutPixel>
void append_rows(std::vector<std::uint8_t>& f, int width, int height, int bits, const BmpOptions& o,
                 PutPixel put_pixel) {
    const std::size_t row_bytes = static_cast<std::size_t>(width) * (bits / 8);
    for (int k = 0; k < height; ++k) {
        const int y = o.top_down ? k : height - 1 - k;
        for (int x = 0; x < width; ++x) put_pixel(x, y);
        for (std::size_t p = row_bytes; p < bmp_stride(width, bits); ++p) f.push_back(o.padding);
    }
}

std::uint32_t colours_field(const BmpOptions& o, std::size_t fallback) {
    return static_cast<std::uint32_t>(o.colours_used < 0 ? static_cast<long>(fallback) : o.colours_used);
}

void append_le16(std::vector<std::uint8_t>& f, std::uint16_t v) {
    f.insert(f.end(), {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)});
}

}  // namespace

void put_le16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put_le32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    put_le16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    put_le16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> bmp_file(const RgbImage& image, int bits, const BmpOptions& o) {
    check_size(image.width, image.height, image.pixels.size());
    if (bits != 16 && bits != 24 && bits != 32) throw std::invalid_argument("bits per pixel");
    const std::size_t data = bmp_stride(image.width, bits) * static_cast<std::size_t>(image.height);
    std::vector<std::uint8_t> f =
        bmp_header(image.width, image.height, bits, 0, colours_field(o, 0), o.top_down, data);
    append_rows(f, image.width, image.height, bits, o, [&](int x, int y) {
        const Rgb& c = image.pixels[static_cast<std::size_t>(y) * image.width + x];
        if (bits == 16) {
            append_le16(f, static_cast<std::uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3)));
            return;
        }
        f.insert(f.end(), {c.b, c.g, c.r});
        if (bits == 32) f.push_back(o.reserved);
    });
    return f;
}

std::vector<std::uint8_t> bmp_file(const IndexedImage& image, const BmpOptions& o) {
    check_size(image.width, image.height, image.indices.size());
    if (image.palette.empty() || image.palette.size() > 256) throw std::invalid_argument("palette size");
    const std::size_t palette_bytes = 4 * image.palette.size();
    const std::size_t data = bmp_stride(image.width, 8) * static_cast<std::size_t>(image.height);
    std::vector<std::uint8_t> f = bmp_header(image.width, image.height, 8, palette_bytes,
                                             colours_field(o, image.palette.size()), o.top_down, data);
    for (const Rgb& c : image.palette) f.insert(f.end(), {c.b, c.g, c.r, 0});
    append_rows(f, image.width, image.height, 8, o, [&](int x, int y) {
        f.push_back(image.indices[static_cast<std::size_t>(y) * image.width + x]);
    });
    return f;
}

std::vector<std::uint8_t> bmp16_file(int width, int height, const std::vector<std::uint16_t>& values,
                                     const BmpOptions& o) {
    check_size(width, height, values.size());
    const std::size_t data = bmp_stride(width, 16) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> f = bmp_header(width, height, 16, 0, colours_field(o, 0), o.top_down, data);
    append_rows(f, width, height, 16, o,
                [&](int x, int y) { append_le16(f, values[static_cast<std::size_t>(y) * width + x]); });
    return f;
}

namespace {

// Appends the row as runs of up to 63 equal bytes, every byte with both top bits set as a run.
void pcx_append_row(std::vector<std::uint8_t>& out, const std::uint8_t* row, std::size_t count) {
    std::size_t x = 0;
    while (x < count) {
        std::size_t run = 1;
        while (x + run < count && run < 63 && row[x + run] == row[x]) ++run;
        if (run > 1 || (row[x] & 0xC0) == 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        out.push_back(row[x]);
        x += run;
    }
}

std::vector<std::uint8_t> pcx_header(int width, int height, int planes, const PcxOptions& o) {
    if (o.xmin + width - 1 > 0xFFFF || o.ymin + height - 1 > 0xFFFF) throw std::invalid_argument("PCX window");
    std::vector<std::uint8_t> f(kPcxHeaderBytes, 0);
    f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8;  // version 5, run-length coded, 8 bits
    put_le16(f, 4, o.xmin);
    put_le16(f, 6, o.ymin);
    put_le16(f, 8, static_cast<std::uint16_t>(o.xmin + width - 1));
    put_le16(f, 10, static_cast<std::uint16_t>(o.ymin + height - 1));
    put_le16(f, 12, 72), put_le16(f, 14, 72);
    f[65] = static_cast<std::uint8_t>(planes);
    put_le16(f, 66, o.bytes_per_line != 0 ? o.bytes_per_line : static_cast<std::uint16_t>(width));
    put_le16(f, 68, 1);
    return f;
}

}  // namespace

std::vector<std::uint8_t> pcx_file(const IndexedImage& image, const PcxOptions& o) {
    check_size(image.width, image.height, image.indices.size());
    if (image.palette.size() > 256) throw std::invalid_argument("palette size");
    std::vector<std::uint8_t> f = pcx_header(image.width, image.height, 1, o);
    for (int y = 0; y < image.height; ++y)
        pcx_append_row(f, image.indices.data() + static_cast<std::size_t>(y) * image.width, image.width);
    f.push_back(12);
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb c = i < image.palette.size() ? image.palette[i] : Rgb{};
        f.insert(f.end(), {c.r, c.g, c.b});
    }
    return f;
}

std::vector<std::uint8_t> pcx24_file(const RgbImage& image) {
    check_size(image.width, image.height, image.pixels.size());
    std::vector<std::uint8_t> f = pcx_header(image.width, image.height, 3, PcxOptions{});
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(image.width));
    for (int y = 0; y < image.height; ++y)
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < image.width; ++x) {
                const Rgb& c = image.pixels[static_cast<std::size_t>(y) * image.width + x];
                plane[static_cast<std::size_t>(x)] = p == 0 ? c.r : p == 1 ? c.g : c.b;
            }
            pcx_append_row(f, plane.data(), plane.size());
        }
    return f;
}

std::vector<std::uint8_t> pgm_file(const GrayImage& image) {
    check_size(image.width, image.height, image.pixels.size());
    const std::string header =
        "P5\n" + std::to_string(image.width) + "\n" + std::to_string(image.height) + "\n255\n";
    std::vector<std::uint8_t> f(header.begin(), header.end());
    f.insert(f.end(), image.pixels.begin(), image.pixels.end());
    return f;
}

std::vector<std::uint8_t> itex_file(const GrayImage& image, std::uint16_t file_type) {
    check_size(image.width, image.height, image.pixels.size());
    if (image.width > 0xFFFF || image.height > 0xFFFF) throw std::invalid_argument("ITEX size");
    std::vector<std::uint8_t> f(kItexHeaderBytes, 0);
    f[0] = 'I', f[1] = 'M';
    put_le16(f, 4, static_cast<std::uint16_t>(image.width));
    put_le16(f, 6, static_cast<std::uint16_t>(image.height));
    put_le16(f, 12, file_type);
    f.insert(f.end(), image.pixels.begin(), image.pixels.end());
    return f;
}

}  // namespace testsupport

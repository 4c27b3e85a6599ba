// BMP, PCX, PGM and ITEX files written byte by byte: each writer returns the whole file; pictures top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct RgbImage {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
};

struct GrayImage {  // one byte per pixel
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

struct IndexedImage {  // one palette index per pixel
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Rgb> palette;
};

struct BmpOptions {
    bool top_down = false;     // rows top first (negative height) instead of bottom-up
    long colours_used = -1;    // the colours-used field; -1: the palette size for 8-bit files, else 0
    std::uint8_t reserved = 0;  // the fourth byte of every 32-bit pixel
    std::uint8_t padding = 0;   // every row padding byte
};

// BMP of 16 (5-5-5, each component's top five bits), 24 or 32 bits per pixel.
std::vector<std::uint8_t> bmp_file(const RgbImage& image, int bits_per_pixel, const BmpOptions& options = {});
// 8-bit BMP with the image's palette (at most 256 entries).
std::vector<std::uint8_t> bmp_file(const IndexedImage& image, const BmpOptions& options = {});
// 16-bit BMP of raw pixel values, width x height, top row first.
std::vector<std::uint8_t> bmp16_file(int width, int height, const std::vector<std::uint16_t>& values,
                                     const BmpOptions& options = {});

// Offset of the pixel data in a BMP written by bmp_file.
inline constexpr std::size_t kBmpHeaderBytes = 54;

struct PcxOptions {
    std::uint16_t xmin = 0, ymin = 0;  // the window origin (the size stays the image's)
    std::uint16_t bytes_per_line = 0;  // the field's value; 0 writes the width (rows are never padded)
};

// 8-bit PCX version 5, run-length coded row by row, the palette (padded to 256 with black) after the marker 12.
std::vector<std::uint8_t> pcx_file(const IndexedImage& image, const PcxOptions& options = {});
// 24-bit PCX: three 8-bit planes per row (red, green, blue), no palette.
std::vector<std::uint8_t> pcx24_file(const RgbImage& image);

// Offset of the run-length data in a PCX file.
inline constexpr std::size_t kPcxHeaderBytes = 128;

// Binary PGM: "P5", width, height and "255" on four lines, then the pixels.
std::vector<std::uint8_t> pgm_file(const GrayImage& image);

// ITEX: 64-byte header (magic "IM", width, height, file type) and pixels.
std::vector<std::uint8_t> itex_file(const GrayImage& image, std::uint16_t file_type = 0);
inline constexpr std::size_t kItexHeaderBytes = 64;

// Little-endian field writers, for patching headers.
void put_le16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);
void put_le32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);

}  // namespace testsupport

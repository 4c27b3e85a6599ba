// TIFF, JPEG and PNG files written with the real libraries; pictures top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "own_format_writers.h"

namespace testsupport {

struct TiffPage {
    int width = 0, height = 0;
    int samples = 1;     // 1 (gray or palette) or 3 (RGB)
    int bits = 8;        // 1, 8 or 16 bits per sample
    bool planar_separate = false;
    int photometric = 1;  // 0 min-is-white, 1 min-is-black, 2 RGB, 3 palette
    int compression = 1;  // 1 none, 8 deflate
    std::vector<std::uint8_t> samples_data;  // packed rows of width x samples x bits / 8 bytes
    std::vector<std::uint16_t> colormap;     // 3 x 256 entries for palette pages
};

// Pages of 8-bit samples: gray, and RGB interleaved.
TiffPage tiff_gray_page(const GrayImage& image);
TiffPage tiff_rgb_page(const RgbImage& image);
// An 8-bit palette page: the indices, and a 256-entry colour map of the palette's bytes times 257 (unused 0).
TiffPage tiff_palette_page(const IndexedImage& image);

// Writes every page as one directory. Returns false when libtiff fails.
bool write_tiff(const std::string& path, const std::vector<TiffPage>& pages);

// JPEG at the given quality; gray pictures with one component, colour ones with three.
bool write_jpeg(const std::string& path, const RgbImage& image, int quality = 90);
bool write_jpeg(const std::string& path, const GrayImage& image, int quality = 90);

struct PngOptions {
    int colour_type = 2;  // PNG_COLOR_TYPE_*: 0 gray, 2 RGB, 3 palette, 4 gray+alpha, 6 RGBA
    int bit_depth = 8;
    bool with_background = false;
    std::uint16_t background[3] = {0, 0, 0};  // red, green, blue (gray: [0]), in file units
    double file_gamma = 0;                    // written as gAMA when > 0
    // tRNS: alpha per palette entry, or for gray or RGB the one transparent value ([0] gray or r, g, b).
    std::vector<std::uint8_t> palette_alpha;
    bool with_transparent_value = false;
    std::uint16_t transparent[3] = {0, 0, 0};
    bool interlaced = false;  // Adam7
};

// PNG from height rows of width x channels samples, each in the file's bit depth; `palette` for colour type 3.
bool write_png(const std::string& path, int width, int height, const std::vector<std::uint16_t>& samples,
               const PngOptions& options, const std::vector<Rgb>& palette = {});
// An 8-bit RGB PNG of a colour picture.
bool write_png(const std::string& path, const RgbImage& image);

}  // namespace testsupport

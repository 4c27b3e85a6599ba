// Decoders for the everyday files the library's documented readers refuse
// (standard netpbm, CMYK and Adobe JPEG, JPEG with an EXIF orientation,
// 16-bit and other TIFF layouts, any PNG). Each delivers an 8-bit gray
// page made with the library's gray rule, or says precisely why not; the
// page is handed to the library with SEG_open_gray_page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platix::decode {

// The largest page decoded, in pixels: the library's own bound.
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

// Gray of a colour: (299 r + 587 g + 114 b) / 1000, truncated.
constexpr int gray_of(int r, int g, int b) { return (299 * r + 587 * g + 114 * b) / 1000; }

// Gray (1 channel) or RGB (3 channels, for pictures drawn on).
struct GrayImage {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<std::uint8_t> pixels;  // rows top first, no padding
};

enum class Outcome {
    decoded,
    not_image,    // no image signature this program knows
    unsupported,  // an image, but of a kind or layout nothing here reads
    damaged,      // the file claims a format and breaks its rules
};

struct Decoded {
    Outcome outcome = Outcome::not_image;
    std::string why;  // for every outcome but decoded: a short sentence
    GrayImage image;
    bool cut_short = false;  // decoded, but the data ended early (the rest is filled in)
};

Decoded failure(Outcome outcome, std::string why);

// True when width x height is a size worth allocating.
bool size_ok(long long width, long long height);

// Each gives gray, or RGB with `colour`.
Decoded decode_netpbm(const std::string& path, bool colour = false);
// Also applies the EXIF orientation.
Decoded decode_jpeg(const std::vector<std::uint8_t>& bytes, bool colour = false);
Decoded decode_tiff(const std::string& path, bool colour = false);
Decoded decode_png(const std::string& path, bool colour = false);
Decoded decode_png_bytes(const std::vector<std::uint8_t>& bytes, bool colour = false);
// From bytes in memory; with header_only, as decode_jpeg_part.
Decoded decode_tiff_bytes(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour = false);
Decoded decode_netpbm_bytes(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour = false);

// An image held in memory, decoded to gray: JPEG (upright), PNG, TIFF and
// netpbm. With header_only, only the header is read: `decoded` with an
// empty image of the stored size (for JPEG, as decode_jpeg_part). Other
// formats give not_image, or unsupported for an image of a format that is
// read from files only. A picture decoded from data that ends early is
// `cut_short`.
Decoded decode_bytes(const std::vector<std::uint8_t>& bytes, bool header_only);

// The upright picture in RGB at its own size, for the formats decoded
// here; `decoded` is not the outcome for the others.
Decoded decode_colour(const std::string& path);

// With header_only, reads only the header: `decoded` with an empty image
// of the stored size
// (why "cmyk" for CMYK and YCCK files, which only decode_jpeg reads), or
// the failure the full decoding would give for a bad header.
Decoded decode_jpeg_part(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour = false);

// The EXIF orientation (1-8) of a JPEG file's bytes, 1 when it has none.
int jpeg_orientation(const std::vector<std::uint8_t>& bytes);

// Turns an image stored with EXIF orientation `orientation` (2-8) upright.
GrayImage apply_orientation(const GrayImage& stored, int orientation);

}  // namespace platix::decode

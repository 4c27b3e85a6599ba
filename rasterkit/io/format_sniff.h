// Recognises an image format from the first bytes of a file; the name and
// extension of the file are never consulted.
#pragma once

#include <cstdint>
#include <span>

namespace rk {

enum class ImageFormat : std::uint8_t {
    tiff = 1,
    jpeg = 2,
    pcx = 3,
    itex = 4,
    bmp = 5,
    png = 6,
    pgm = 7,
    unknown = 255,
};

// Bytes of the file start that detect_format looks at.
inline constexpr std::size_t kSniffBytes = 4;

// Format of a file that starts with `head` (fewer than 4 bytes give
// unknown where the format needs them).
ImageFormat detect_format(std::span<const std::uint8_t> head);

const char* format_name(ImageFormat format);

}  // namespace rk

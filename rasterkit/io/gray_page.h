// The page a reader delivers: 8-bit gray, rows top first, no padding,
// zero-filled when allocated; with the gray rule and the size bound that
// every reader applies.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zero_alloc.h"

namespace rk {

// Largest page a reader accepts, in pixels (256 Mi). Wider or taller pages,
// or pages of zero or negative size, are refused before anything is
// allocated.
inline constexpr std::int64_t kMaxPagePixels = std::int64_t{1} << 28;

// True when width x height is a page size the readers accept.
constexpr bool page_size_ok(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPagePixels && height <= kMaxPagePixels &&
           width * height <= kMaxPagePixels;
}

// Readers of uncompressed pixel data refuse a file that holds less than
// 1 / kMinHeldFraction of the pixel bytes its header declares, before they
// allocate the page. Decoding work and page memory then stay within 16
// times the bytes of the file (a few kilobytes cannot make the reader
// allocate and clear hundreds of megabytes), while a file cut short that
// still holds a fair part of its pixels is read as before, the missing
// pixels black.
inline constexpr std::uint64_t kMinHeldFraction = 16;

// True when `held` bytes of pixel data are enough for `declared` ones.
constexpr bool holds_enough(std::uint64_t held, std::uint64_t declared) {
    return held >= declared / kMinHeldFraction;
}

// Gray of a colour: (299 r + 587 g + 114 b) / 1000, truncated.
constexpr int gray_of(int red, int green, int blue) {
    return (299 * red + 587 * green + 114 * blue) / 1000;
}

struct GrayPage {
    orvo::ZeroPtr<std::uint8_t> pixels;
    int width = 0;
    int height = 0;

    std::uint8_t* row(int y) { return pixels.get() + static_cast<std::size_t>(y) * width; }
    std::uint8_t* release() { return pixels.release(); }
};

// Allocates a zero-filled page; false (page left empty) when the size is not
// accepted or memory ran out.
bool allocate_page(GrayPage& page, int width, int height);

}  // namespace rk

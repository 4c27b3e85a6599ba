// The current bitmap of an analysis instance and the tools on it: pixel
// access, binarisation of a gray window, removal of long horizontal bars,
// and straightening by a skew and a slant angle.
//
// Bitmap layout: BMP_bpl bytes per line, lines top first, the leftmost
// pixel of a byte in its most significant bit; 0 = ink, 1 = background.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "instance.h"

namespace rk {

// Address of line y of the current bitmap (no check of y).
unsigned char* bitmap_row(AnalysisInstance& a, int y);

// The pixel helpers are inline: the labelling and blob stages call them
// for nearly every pixel of every candidate.
namespace bitmap_detail {

inline bool inside(const AnalysisInstance& a, int x, int y) {
    return a.objectbitmap != nullptr && x >= 0 && y >= 0 && x < a.BMP_columns && y < a.BMP_lines &&
           x / 8 < a.BMP_bpl;
}

inline std::size_t byte_at(const AnalysisInstance& a, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(a.BMP_bpl) + static_cast<std::size_t>(x / 8);
}

inline unsigned char mask_of(int x) { return static_cast<unsigned char>(0x80 >> (x % 8)); }

}  // namespace bitmap_detail

// Run scanning along one line of a bitmap in this layout, a byte at a
// time: `row` is the line's address and `right` its last column to look at
// (both the caller's to keep within the line). The first ink, or
// background, column at or after x; right + 1 when there is none up to
// right.
inline int next_ink(const unsigned char* row, int x, int right) {
    while (x <= right) {
        const auto bits = static_cast<unsigned char>(~row[x >> 3] & (0xFFu >> (x & 7)));
        if (bits != 0) {
            const int at = (x & ~7) + std::countl_zero(bits);
            return at <= right ? at : right + 1;
        }
        x = (x | 7) + 1;
    }
    return right + 1;
}
inline int next_background(const unsigned char* row, int x, int right) {
    while (x <= right) {
        const auto bits = static_cast<unsigned char>(row[x >> 3] & (0xFFu >> (x & 7)));
        if (bits != 0) {
            const int at = (x & ~7) + std::countl_zero(bits);
            return at <= right ? at : right + 1;
        }
        x = (x | 7) + 1;
    }
    return right + 1;
}

// 1 when (x, y) is ink; 0 for background and for points outside the bitmap.
inline int pixel_is_ink(const AnalysisInstance& a, int x, int y) {
    if (!bitmap_detail::inside(a, x, y)) return 0;
    return (a.objectbitmap[bitmap_detail::byte_at(a, x, y)] & bitmap_detail::mask_of(x)) == 0 ? 1 : 0;
}

// Sets (x, y) to background / ink; points outside the bitmap are ignored.
inline void pixel_set_white(AnalysisInstance& a, int x, int y) {
    if (bitmap_detail::inside(a, x, y)) a.objectbitmap[bitmap_detail::byte_at(a, x, y)] |= bitmap_detail::mask_of(x);
}
inline void pixel_set_ink(AnalysisInstance& a, int x, int y) {
    if (bitmap_detail::inside(a, x, y))
        a.objectbitmap[bitmap_detail::byte_at(a, x, y)] &= static_cast<unsigned char>(~bitmap_detail::mask_of(x));
}

// Makes `rec` the current bitmap (address, lines, columns, bpl, size).
void load_bitmap(AnalysisInstance& a, const seg_result* rec);

// Releases the current bitmap and zeroes its five variables.
void free_objectbitmap(AnalysisInstance& a);

// Cuts the gray window r of `image` (image_bpl bytes per line) into a new
// current bitmap. Line y uses the low byte of rowthresholds[y] when
// rowthresholds is given, else `threshold`. Polarity 1: ink when g < t;
// any other polarity: ink when g >= t. Returns 0 (no bitmap) when memory
// runs out or the window is empty. The window must lie inside the image.
int binarize_window(AnalysisInstance& a, const unsigned char* image, int image_bpl, Rect r,
                    int threshold, const int* rowthresholds, int polarity);

// Removes horizontal strokes of 70 columns or more, two lines thick, from
// the rectangle of the current bitmap, except in the vertical border bands
// of a wide plate frame.
void erase_bars(AnalysisInstance& a, int left, int top, int right, int bottom);

// Turns the ink of the current bitmap about its centre: line positions by
// `skew`, column positions by `slant` (radians), then fills single holes,
// removes single specks and blanks the last 4 lines. Nothing happens when
// both angles are 0 or memory runs out.
void deskew_bitmap(AnalysisInstance& a, double skew, double slant);

}  // namespace rk

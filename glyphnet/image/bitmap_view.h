// The current field bitmap of the engine: the 1-bit image that the last
// recognition installed, and the bounds-safe pixel tests on it. A 0 bit is
// ink; bit 7 of a byte is its leftmost pixel. Rows at or below the last row
// read as the last row; everything else outside the bitmap (rows above the
// first, columns left of the first or past the row's bytes) reads as
// background.
#pragma once

#include <cstdint>

namespace gn {

struct BitmapView {
    const std::uint8_t* bits = nullptr;
    int rows = 0;
    int bytes_per_row = 0;
};

// Installs the bitmap that later framing, reading and learning work on.
void install_bitmap(const std::uint8_t* bits, int rows, int bytes_per_row);
const BitmapView& current_bitmap();

// True when the bit of (x, y) is 0, with y clamped to the last row.
bool is_ink(int x, int y);
// True when some pixel of row y in columns [x0, x1) is ink.
bool row_has_ink(int y, int x0, int x1);
// True when some pixel of column x in rows [y0, y1) is ink.
bool col_has_ink(int x, int y0, int y1);

// Address of row `row` (clamped to 0 .. rows - 1); null without a bitmap.
const std::uint8_t* row_address(int row);
// 1 when bytes [first, end) of the row (clamped as above, the byte range
// clipped to the row) are all 0xFF.
int row_bytes_empty(int row, int first, int end);

}  // namespace gn

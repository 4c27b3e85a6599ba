// Pixel access on the current field bitmap.
#include "image/bitmap_view.h"

namespace gn {
namespace {
BitmapView g_view;
}

void install_bitmap(const std::uint8_t* bits, int rows, int bytes_per_row) {
    if (bits == nullptr || rows <= 0 || bytes_per_row <= 0) {
        g_view = BitmapView{};
        return;
    }
    g_view.bits = bits;
    g_view.rows = rows;
    g_view.bytes_per_row = bytes_per_row;
}

const BitmapView& current_bitmap() { return g_view; }

// Rows past the last one read as the last row; rows above the first read as
// background.
bool is_ink(int x, int y) {
    if (g_view.bits == nullptr || x < 0 || y < 0) return false;
    if (y >= g_view.rows) y = g_view.rows - 1;
    const int byte = x / 8;
    if (byte >= g_view.bytes_per_row) return false;
    const std::uint8_t v =
        g_view.bits[static_cast<long>(y) * g_view.bytes_per_row + byte];
    return ((v >> (7 - x % 8)) & 1) == 0;
}

bool row_has_ink(int y, int x0, int x1) {
    if (g_view.bits == nullptr || y < 0) return false;
    if (y >= g_view.rows) y = g_view.rows - 1;
    if (x0 < 0) x0 = 0;
    if (x1 > g_view.bytes_per_row * 8) x1 = g_view.bytes_per_row * 8;
    for (int x = x0; x < x1; ++x)
        if (is_ink(x, y)) return true;
    return false;
}

bool col_has_ink(int x, int y0, int y1) {
    if (g_view.bits == nullptr || x < 0 || x >= g_view.bytes_per_row * 8 || y0 >= y1) return false;
    // Rows at or past the last one all read as the last row.
    if (y0 < 0) y0 = 0;
    if (y0 > g_view.rows - 1) y0 = g_view.rows - 1;
    if (y1 > g_view.rows) y1 = g_view.rows;
    for (int y = y0; y < y1; ++y)
        if (is_ink(x, y)) return true;
    return false;
}

static int clamp_row(int row) {
    if (row >= g_view.rows) row = g_view.rows - 1;
    if (row < 0) row = 0;
    return row;
}

const std::uint8_t* row_address(int row) {
    if (g_view.bits == nullptr) return nullptr;
    return g_view.bits + static_cast<long>(clamp_row(row)) * g_view.bytes_per_row;
}

int row_bytes_empty(int row, int first, int end) {
    const std::uint8_t* p = row_address(row);
    if (p == nullptr) return 1;
    if (first < 0) first = 0;
    if (end > g_view.bytes_per_row) end = g_view.bytes_per_row;
    for (int i = first; i < end; ++i)
        if (p[i] != 0xFF) return 0;
    return 1;
}

}  // namespace gn

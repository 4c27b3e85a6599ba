// Coordinate mapping between page, field bitmaps and the image file.
#include "coords.h"

#include <algorithm>

namespace platix {

namespace {

int clampi(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int file_low(int p, int scale) {
    if (scale > 1) return p / scale;
    if (scale < -1) return p * -scale;
    return p;
}

int file_high(int p, int scale) {
    if (scale > 1) return p / scale;
    if (scale < -1) return p * -scale + (-scale - 1);
    return p;
}

}  // namespace

void file_size_from_page(int maxcol, int maxlin, int xscale, int yscale, int* width, int* height) {
    *width = xscale > 1 ? maxcol / xscale : (xscale < -1 ? maxcol * -xscale : maxcol);
    *height = yscale > 1 ? maxlin / yscale : (yscale < -1 ? maxlin * -yscale : maxlin);
}

Box page_to_file(const Box& page, int xscale, int yscale, int width, int height) {
    Box b;
    const int wmax = std::max(width - 1, 0);
    const int hmax = std::max(height - 1, 0);
    b.left = clampi(file_low(page.left, xscale), 0, wmax);
    b.top = clampi(file_low(page.top, yscale), 0, hmax);
    b.right = clampi(file_high(page.right, xscale), b.left, wmax);
    b.bottom = clampi(file_high(page.bottom, yscale), b.top, hmax);
    return b;
}

Box bitmap_box_to_page(const int box[4], const Box& field, int field_lines, int maxcol, int maxlin) {
    const bool doubled = field.bottom - field.top + 1 < field_lines;
    const int d = doubled ? 2 : 1;
    // Exclusive right and bottom become the last pixel inside.
    const int r = std::max(box[2] - 1, box[0]);
    const int bt = std::max(box[3] - 1, box[1]);
    Box b;
    const int wmax = std::max(maxcol - 1, 0);
    const int hmax = std::max(maxlin - 1, 0);
    b.left = clampi(box[0] / d + field.left, 0, wmax);
    b.top = clampi(box[1] / d + field.top, 0, hmax);
    b.right = clampi(r / d + field.left, b.left, wmax);
    b.bottom = clampi(bt / d + field.top, b.top, hmax);
    return b;
}

bool centre_inside(const Box& inner, int x, int y, int w, int h) {
    // Twice the centre, to stay in whole numbers.
    const long cx2 = static_cast<long>(inner.left) + inner.right;
    const long cy2 = static_cast<long>(inner.top) + inner.bottom;
    return cx2 >= 2L * x && cx2 <= 2L * (static_cast<long>(x) + w - 1) && cy2 >= 2L * y &&
           cy2 <= 2L * (static_cast<long>(y) + h - 1);
}

}  // namespace platix

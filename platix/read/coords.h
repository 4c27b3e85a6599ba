// Mapping between the page the analysis works on, the field bitmaps and
// the image file's own pixels.
#pragma once

#include "image_result.h"

namespace platix {

// The file's size as far as the page and its factors tell it: divided back
// after an enlargement, multiplied after a reduction (a reduction drops up
// to k - 1 trailing columns and lines, which this cannot see).
void file_size_from_page(int maxcol, int maxlin, int xscale, int yscale, int* width, int* height);

// A page rectangle (inclusive) in file pixels: an enlarged page pixel
// comes from file pixel p / k, a reduced one covers file pixels p*k to
// p*k + k - 1. Clamped to the file of width x height.
Box page_to_file(const Box& page, int xscale, int yscale, int width, int height);

// A character box of a field bitmap (right and bottom exclusive) in page
// pixels, inclusive. A field whose bitmap is taller than its rectangle is
// the doubled copy: its coordinates are halved before the field's corner
// is added. Clamped to the page.
Box bitmap_box_to_page(const int box[4], const Box& field, int field_lines, int maxcol, int maxlin);

// True when the centre of `inner` lies within `outer` (file pixels).
bool centre_inside(const Box& inner, int x, int y, int w, int h);

}  // namespace platix

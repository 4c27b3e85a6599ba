// Filters on a gray image used before the edge search: the k x k mean and
// the contrast stretch. Rectangles are inclusive and must lie inside the
// image; rows are `bpl` bytes apart.
#pragma once

#include "instance.h"

namespace rk {

// k x k mean over the rectangle, reading only unfiltered pixels; pixels
// closer than k / 2 to the rectangle's edges keep their values. Returns 0
// for a missing image or rectangle, k < 1 or when memory runs out, else 1.
int box_smooth(unsigned char* image, int bpl, const Rect* r, int k);

// Maps the rectangle's range min..max onto 0..255 by
// ((p - min) + 1) * 255 / (max - min + 1). Returns 0 without a change when
// the range already is 0..255, when it is flat, or for a missing input.
int stretch_contrast(unsigned char* image, int bpl, const Rect* r);

}  // namespace rk

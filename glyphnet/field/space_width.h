// The width of a word space in a field, estimated from the histogram of the
// gaps between its character cells; kNoSpaces when the field has none.
#pragma once

#include "field/segmentation.h"

namespace gn {

inline constexpr int kNoSpaces = 2048;

// The estimate from a histogram of gaps 1..2047 (hist[gap] = count).
int estimate_space_width(const int* hist);

// The full rule for the cells of a field: gap histogram, estimate and the
// sanity checks against the average cell size.
int space_width(const Segment* cells, int n, int avg_width, int avg_height, bool gap_tolerant);

}  // namespace gn

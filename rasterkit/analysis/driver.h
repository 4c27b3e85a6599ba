// The analysis driver: runs the numbered passes over the loaded image, in
// one or two phases and possibly with a worker thread, and merges and
// orders what they find.
#pragma once

#include "instance.h"

namespace rk {

// Posterises the inclusive rectangle r of image (stride bpl) to n levels.
// Returns 0 without changing anything when image is null, n > 256, the
// rectangle is flat or holds no more than n values, or memory runs out;
// else 1.
int quantize_levels(unsigned char* image, int bpl, Rect r, int n);

// The whole analysis at the given depth (clamped to 1-5) on the main
// instance. Always returns 1.
int analyze_image(int depth);

// Sets the analysis mode of the main instance (analysis_mode.h) for the
// following analyses and returns the previous one; an unknown mode is
// refused with -1 and changes nothing.
int set_analysis_mode(int mode);

}  // namespace rk

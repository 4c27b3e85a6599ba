// Candidate localisation, the second stage of an analysis pass: binarises
// every candidate rectangle that pre-processing pushed, keeps those with
// character blobs (straightened when needed) and unlinks the others.
#pragma once

#include "instance.h"

namespace rk {

// Works on the instance's results list and image; no result. Failed
// candidates are removed from the list and freed; every survivor holds its
// own bitmap.
void locate_candidates(AnalysisInstance& a);

// Estimates the binarisation threshold of the inclusive rectangle of the
// instance's image. Returns 0 when the rectangle is uniform or has no
// pixels on one side of its threshold, else 1. Sets graythreshold and
// polarity, and possibly rowthresholds (left for the caller to release).
int estimate_threshold(AnalysisInstance& a, Rect r);

// Enlarges the w x h gray rectangle at `src` (src_bpl bytes per line) into
// `out`, 2w bytes per line and 2h lines: each source pixel becomes the
// lower right pixel of its 2 x 2 block, and the other three are the pair
// means with the pixels already set to their left and above.
void enlarge_2x(const unsigned char* src, int src_bpl, int w, int h, unsigned char* out);

}  // namespace rk

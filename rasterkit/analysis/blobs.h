// Character-blob analysis of the current bitmap: removes, step by step,
// every component that cannot be a plate character and leaves the number
// of character blobs in n_components.
#pragma once

#include "instance.h"

namespace rk {

// Mode 0 (after a fresh binarisation) is lenient and keeps a bitmap with at
// least two separate blobs; mode 1 (on a segmented field) is strict and also
// checks that the blobs form one aligned row of similar characters.
// Returns 1 when character blobs remain (n_components of them), else 0 with
// n_components 0. The bitmap is changed in place; the runs and the table
// are freed before it returns.
int analyze_blobs(AnalysisInstance& a, int mode);

}  // namespace rk

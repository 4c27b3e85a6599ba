// Skew and slant of the character row in the current bitmap: the tilt of
// the row, from the centres of character-sized blobs, and the lean of the
// characters, from the widest rows at the top and bottom of each blob.
#pragma once

#include "instance.h"

namespace rk {

// Measures both angles (radians) on the current bitmap without changing it.
// Returns 1 when at least one of *skew and *slant is non-zero, else 0. When
// labelling, the component table or the box array cannot be allocated, both
// are set to 0 and it returns 0. The run list is freed before it returns.
int estimate_skew(AnalysisInstance& a, double* skew, double* slant);

}  // namespace rk

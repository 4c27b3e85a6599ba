// The first stage of an analysis pass: loads the pass's tuning, prepares
// the image (smoothing or contrast stretch), builds the cell map and
// pushes one candidate rectangle per area of dense edges onto `results`.
#pragma once

#include "instance.h"

namespace rk {

// Loads the tuning of pass p (parameter set, mode, retry widening and the
// edge constants of modes 0 and 4).
void load_tuning(AnalysisInstance& a, int p);

// Runs the pre-processing of pass p on the instance's current image.
// Returns 0 when the smoothing buffer, the work copy or the cell map cannot
// be allocated (whatever the call allocated is freed; candidates already
// pushed stay), else 1. Does nothing and returns 1 for p outside 0-23, and
// in a worker instance for p below 12.
int prepare_pass(AnalysisInstance& a, int p);

}  // namespace rk

// Candidate rectangles from the binary cell map: connected groups of cell
// runs, closed into pixel rectangles, refined against the map and tested
// against the minimum sizes of the pass.
#pragma once

#include "instance.h"

namespace rk {

// Scans the binary cell map row by row through `regiontable` and pushes
// one candidate per region that passes the size tests (refined first in
// the refining modes 0, 2, 4 and 5).
void extract_regions(AnalysisInstance& a);

// Narrows the inclusive pixel rectangle to the rows and columns of the
// binary cell map that hold the row of edges, then adjusts low and
// over-wide rectangles. Left as it is when memory runs out.
void refine_rect(AnalysisInstance& a, Rect& r);

}  // namespace rk

// The cell map of a pass: one edge strength per cell of CELL_H pixel rows
// and a WIN_W window, thresholded by the statistics of its own histogram,
// pruned of long vertical structures and binarised.
#pragma once

#include "instance.h"

namespace rk {

// Allocates the zeroed map of MAXLIN / 2 rows of MAXCOL / CELL_STEP cells.
// Returns 0 when memory runs out (nothing left allocated), else 1; a map
// without cells is allocated as no rows at all.
int alloc_cellmap(AnalysisInstance& a);
void free_cellmap(AnalysisInstance& a);

// Cell value at (r, c); 0 outside the map.
int cell(const AnalysisInstance& a, int r, int c);

// Measures every cell window of the current image, sets `edgethreshold`
// to mean + deviation of the cell histogram and returns 1 when it reaches
// EDGE_FLOOR. Returns 0 (too few edges) when no cell is visited or the
// work area cannot be allocated.
int build_cellmap(AnalysisInstance& a);

// Removes vertical bars (poles, body edges, the image border) from the
// strength map until nothing changes.
void prune_cellmap(AnalysisInstance& a);

// Every cell becomes 1 when its strength exceeds `edgethreshold`, else 0.
void binarize_cellmap(AnalysisInstance& a);

}  // namespace rk

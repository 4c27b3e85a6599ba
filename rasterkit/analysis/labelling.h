// Connected components of the current bitmap: 8-connected labelling of
// horizontal ink runs, the dense component table, the basic size filter
// and the erasing of runs and components.
#pragma once

#include "instance.h"

namespace rk {

// Builds `runlist` and the per-row index over the rectangle of the current
// bitmap, replacing any earlier list. Runs are pushed at the head row by
// row, left to right; rowindex[y] is the head just after row y (null for a
// row without runs). Labels are 8-connected: a run takes the label of each
// run of the row above that touches it, merging labels as it goes; the
// label numbers come out dense, 0 .. next_label - 1, in their order of
// first use. Returns 0 when memory runs out (nothing is left allocated),
// else 1, also when the rectangle holds no ink.
int label_bitmap(AnalysisInstance& a, int left, int top, int right, int bottom);

// Frees the run list, the per-row index and the component table.
void free_runs(AnalysisInstance& a);

// Renumbers the labels still carried by runs to 0 .. n - 1 (keeping their
// order) and fills `componenttable` with each label's extremes, centres and
// sizes; n_components = n. Returns 0 when no run carries a label or memory
// runs out (table empty, n_components 0).
int build_component_table(AnalysisInstance& a);

// Frees the runs, labels the whole bitmap again and rebuilds the table.
// Returns 0 when memory runs out or no component is left.
int relabel(AnalysisInstance& a);

// Mode 0: erases components lower than 16, touching the left or right
// edge, or with width x height <= 80. Mode 1: erases components touching
// the left or right edge.
void filter_components(AnalysisInstance& a, int mode);

// Erases every run with the label `index` (pixels to background, label -1),
// counts the component off and marks its table entry erased.
void erase_component(AnalysisInstance& a, int index);

// Sets the pixels of one run to background and its label to -1.
void erase_run(AnalysisInstance& a, Run* run);

// True for a table entry that is still present.
inline bool present(const Component& c) { return c.index != -1; }

}  // namespace rk

// The text-row finder: the rectangles of the text rows of one binarised
// field (one for a one-line plate, two for a two-line plate), with frames
// dropped, dots and broken strokes absorbed and small print kept apart.
#pragma once

#include "instance.h"

namespace rk {

// Loads the bitmap as the current bitmap and finds its text rows. Returns
// the number of rows (0 or more) with the row cursor at -1; -1 when the run
// table cannot be allocated, -2 when the row table cannot be allocated (the
// count is then 0 and nothing stays allocated).
int find_text_rows(AnalysisInstance& a, unsigned char* bitmap, int lines, int columns, int bpl);

// Advances the row cursor (raised to at least -1 first) unless it is on the
// last row, and returns that row's inclusive rectangle. Asking beyond the
// last row returns the last row again. Does nothing when there are no rows.
void next_text_row(AnalysisInstance& a, int* left, int* top, int* right, int* bottom);

// Frees the row table; the count becomes 0. Safe to call more than once.
void release_text_rows(AnalysisInstance& a);

}  // namespace rk

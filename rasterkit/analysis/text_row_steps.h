// The steps of the text-row finder, each on the row state of an analysis
// instance and its current bitmap. find_text_rows runs them in order; they
// are declared here so that each can be checked on its own.
#pragma once

#include "instance.h"

namespace rk {

// Collects the runs of ink bytes on every second line (0, 2, 4, ...) into
// the run table; a run ends at its third blank byte in a row.
void scan_runs(AnalysisInstance& a);

// Adds the run [start, end) of line y, labelled like the runs of the two
// lines above that it touches (one blank byte of tolerance). A full table
// first closes the blocks finished before line y - 2 and keeps only the
// runs still open; when nothing could be closed it drops every run.
void add_run(AnalysisInstance& a, int start, int end, int y);

// Turns every labelled group of runs that ends before line `limit` into a
// block (when it is wide or tall enough and below 400 lines high) and
// unlabels its runs; groups reaching `limit` are relabelled and stay.
// Returns the number of groups closed. Stops when the block table is full.
int close_blocks(AnalysisInstance& a, int limit);

// True when block b looks like a frame: no two gaps along its top band or
// along its left band.
bool is_frame(const AnalysisInstance& a, const TextBlock& b);

// Drops a frame enclosing other blocks, or else the blocks it encloses.
void drop_enclosing(AnalysisInstance& a);

// Removes the deleted entries, keeping the order of the rest.
void compact_blocks(AnalysisInstance& a);

// Puts the blocks in reading order: left to right by the key
// (left - x0) x 8 + (top - y0), the upper of blocks in one column first.
void sort_blocks(AnalysisInstance& a, int x0, int y0);

// True when block k is one line of a left-aligned column of text lines.
bool in_text_column(const AnalysisInstance& a, int k);

// True when at least three blocks stand stacked left of block k within its height.
bool beside_text_column(const AnalysisInstance& a, int k);

// True when a column of small print separates block i from block j.
bool column_between(const AnalysisInstance& a, int i, int j);

// True when two of three lines across the gap between blocks i and j (i
// left of j) show ink inside the gap.
bool gap_has_ink(const AnalysisInstance& a, int i, int j);

// Folds dots, accents and broken strokes into the block above or below them.
void absorb_fragments(AnalysisInstance& a);

// Joins neighbours of one line and overlapping blocks.
void merge_neighbours(AnalysisInstance& a);

// Cut lines of the pixel rectangle at its blank horizontal bands: writes
// c0 = y1 < c1 < ... < ck = y2 into cuts and returns k, the number of
// pieces (1 when it is not cut); -1 when the k + 1 lines would not fit in
// the `room` values of cuts (room at least 2).
int split_at_gaps(const AnalysisInstance& a, int x1, int y1, int x2, int y2, int* cuts, int room);

// Replaces every block by its pieces; stops splitting when the table is full.
void split_blocks(AnalysisInstance& a);

// Turns the blocks into pixel rectangles with a margin, kept off the
// outermost column and the two outermost lines of the bitmap.
void pad_blocks(AnalysisInstance& a);

}  // namespace rk

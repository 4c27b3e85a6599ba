// Cutting a field into character segments: runs of ink columns separated
// by gaps of 1, 2 or 4 empty columns, touching characters cut along a
// falling path (or at an empty column with wide gaps), then cleaned up into
// character cells.
#pragma once

namespace gn {

inline constexpr int kMaxSegments = 2047;

struct Segment {
    int left, top, right, bottom;  // right and bottom exclusive
};

// Finds the segments of the region; returns their number (at most `cap`).
int find_segments(int left, int top, int right, int bottom, Segment* out, int cap);

// Cut search on the piece (x0, y0, w, h): true with the piece's new width
// and the start of the rest when a falling path through it was found.
bool cut_search(int x0, int y0, int w, int h, int* piece_width, int* rest_start);

// First empty column at least m columns from both ends of the piece.
bool first_empty_column_cut(int x0, int y0, int w, int h, int m, int* piece_width,
                            int* rest_start);

// Drops nested segments, clips overlaps and frames each one; the survivors
// become the character cells (in place). Returns the number of cells and
// their average width and height (16-bit sums).
int clean_up_segments(Segment* segs, int n, int* avg_width, int* avg_height);

}  // namespace gn

// The results list of an analysis instance: counting, stepping a cursor,
// hit tests, release, and the push of a new candidate record.
#pragma once

#include "instance.h"

namespace rk {

// Number of records in the instance's list.
int results_number(const AnalysisInstance& a);

// Steps *cursor forward (direction nonzero) or backward and loads the record
// reached as the current bitmap. A null cursor starts at the first record.
// Returns 1 when a further record exists in that direction, else 0. On an
// empty list it returns 0 and loads nothing. A cursor not in the list is
// left alone by a backward step (result 1).
int get_result(AnalysisInstance& a, int direction, seg_result** cursor);

// Loads and returns the one record whose rectangle holds (x, y); null and
// nothing loaded when none or several do.
seg_result* select_bmap(AnalysisInstance& a, int x, int y);

// Frees every record and its bitmap; the list becomes empty. The current
// bitmap variables are left as they are.
void clear_results(AnalysisInstance& a);

// Frees a detached list of records and their bitmaps.
void free_result_list(seg_result* head);

// Pushes a zeroed candidate record for the inclusive rectangle onto the
// head of the list (no bitmap yet). Dropped silently when memory runs out.
void add_candidate(AnalysisInstance& a, int left, int top, int right, int bottom);

}  // namespace rk

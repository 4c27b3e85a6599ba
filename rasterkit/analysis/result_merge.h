// The last steps of an analysis: choosing between the results of the two
// phases, putting a pair of fields in reading order and clearing the score
// bytes.
#pragma once

#include "rasterkit.h"

namespace rk {

// The score of a record: the first byte of its text, signed (the number of
// character components found in the field).
int result_score(const seg_result* r);

// Keeps one of two lists and frees the other. `saved` (count s) wins unless
// it holds a single field and `current` (count c) offers several fields or
// one with a higher score; an empty `current` always loses. Returns the
// kept list and stores its count in *count.
seg_result* merge_results(seg_result* saved, int s, seg_result* current, int c, int* count);

// For a list of exactly two records, puts the second one first when it is
// higher on the page, or when both share a line, nearly touch side by side
// and the second lies to the left. Returns the new head; any other list is
// returned unchanged.
seg_result* order_two_results(seg_result* head);

// Sets the score byte of every record to 0.
void clear_scores(seg_result* head);

}  // namespace rk

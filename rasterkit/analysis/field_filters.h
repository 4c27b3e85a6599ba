// The filters of the second pass on a list of records: removal of
// candidates nested in others, and the geometry, small-row, pairwise and
// score filters on the finished fields.
#pragma once

#include "analysis_mode.h"
#include "instance.h"

namespace rk {

// The signed character count kept in the first text byte of a record.
inline int score_of(const seg_result* r) { return static_cast<signed char>(r->text[0]); }

// Frees one record and its bitmap.
void release_record(seg_result* r);

// Releases every record whose rectangle lies inside that of another record
// still in the list (of two equal rectangles the earlier one goes).
void drop_nested(seg_result*& head);

// Filters the fields of the list by position and proportions within the
// page, by small rows that belong to no larger one, by pairwise comparison
// and by the best score. The survivors keep their order. The position
// rules are those of the given analysis mode.
void filter_fields(seg_result*& head, const AnalysisRules& rules = kSpecifiedRules);

}  // namespace rk

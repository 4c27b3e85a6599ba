// The second pass of an analysis pass: splits every located candidate into
// its text rows, checks each field with the blob analysis, keeps its score
// and drops fields that fail the geometry and pairwise filters.
#pragma once

#include "instance.h"

namespace rk {

// Consumes the candidate list of the instance and leaves the fields in it,
// newest first. rebinarise (1 on odd passes) cuts each row afresh from the
// image instead of copying it out of the candidate's bitmap. Never fails:
// a shortage of memory only drops rows or fields.
void segment_fields(AnalysisInstance& a, int rebinarise);

// Gives f a new bitmap of lines top .. bottom - 1 and columns left ..
// right - 1 of r's bitmap, copied as whole bytes from byte left / 8 of each
// line, and loads it as the current bitmap. A line of r is never read past
// its end; bytes it cannot give stay background. Returns false (f without
// bitmap) when memory runs out.
bool copy_field_rows(AnalysisInstance& a, seg_result* f, const seg_result* r, int left, int top, int right,
                     int bottom);

}  // namespace rk

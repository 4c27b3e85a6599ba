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

}  // namespace rk

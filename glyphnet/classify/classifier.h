// The box-net decision: which class a feature vector belongs to, within one
// knowledge base's nets or across all selected knowledge bases.
#pragma once

#include <cstdint>

#include "kb/net.h"

namespace gn {

struct ClassAnswer {
    bool found = false;
    unsigned char c1 = 0, c2 = 0;
    int distance = kNoDistance;
    int kb = -1;  // entry index of the base that answered
};

// Classifies within one net list: the first net of the same shape code that
// contains v, else the first of another shape code; then, for a class with
// a confusion group, the group member with the nearest containing centre.
ClassAnswer classify_in(const Net* head, const std::int16_t* v, int shape);

// Runs classify_in for every selected base, from the current one on
// cyclically; the smallest distance wins (the earlier visited on ties) and
// its base becomes current. With first_found, the first base that finds a
// class answers.
ClassAnswer classify_across(const std::int16_t* v, int shape, bool first_found = false);

}  // namespace gn

// The slow fall-back of the classifier: when no box contains a vector, walk
// it towards the nearest node centre of the selected bases, one feature at
// a time, and accept the centre it reaches if the walk stayed short.
#pragma once

#include <cstdint>

namespace gn {

struct PrototypeAnswer {
    bool found = false;
    unsigned char c1 = 0, c2 = 0;
};

// At most 49 steps; the total L1 change may not exceed 196. On memory
// shortage nothing is found.
PrototypeAnswer nearest_prototype(const std::int16_t* v);

}  // namespace gn

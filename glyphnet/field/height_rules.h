// Case and look-alike fixes from character heights after a field was read:
// short 'l' become 'i' or apostrophes, size-ambiguous letters (c o s x v w
// u z) take their case from their height, and small marks become commas or
// apostrophes.
#pragma once

#include "field/segmentation.h"
#include "field/slot_string.h"

namespace gn {

void apply_height_rules(SlotString* s, const Segment* cells, int n_cells);

// True for the size-ambiguous letters "cCoOsSxXvVwWuUzZ".
bool size_ambiguous(unsigned char c);

}  // namespace gn

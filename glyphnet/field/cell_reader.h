// Reading the cells of a field into the slot string: classification across
// the selected bases, the split search for cells holding several
// characters, and the nearest-prototype fall-back.
#pragma once

#include "field/segmentation.h"
#include "field/slot_string.h"

namespace gn {

// Reads one cell (index `cell`) into the slot string; false when the slot
// string is full.
bool read_cell(const Segment& c, int cell, SlotString* s);

// Split search on the rest of a cell (x, top, w, h) in the net list; the
// best split width, or 0 when no trial counted.
struct Net;
int split_search(const Net* nets, int x, int top, int w, int h);

// Reads every cell with the blank slots between words.
void read_cells(const Segment* cells, int n, int space, SlotString* s);

}  // namespace gn

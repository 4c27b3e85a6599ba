// The slot string of a field being read: two bytes per read position (the
// class, '_' as the second byte of a one-character class, " _" for a blank),
// with per byte the cell index, left, frame height and frame top, and the
// boxes of the characters read.
#pragma once

namespace gn {

inline constexpr int kMaxSlotBytes = 2046;

struct SlotString {
    char bytes[kMaxSlotBytes + 2];
    int cell[kMaxSlotBytes];
    int left[kMaxSlotBytes];
    int height[kMaxSlotBytes];
    int top[kMaxSlotBytes];
    int len;
    int boxes[kMaxSlotBytes][4];
    int box_count;
};

// Appends a blank slot; false when the string is full.
bool add_blank_slot(SlotString* s);
// Appends a class with its cell and frame box (left, top, width, height).
bool add_class_slot(SlotString* s, unsigned char c1, unsigned char c2, int cell, int left,
                    int top, int width, int height);

}  // namespace gn

// Filling the slot string and the boxes.
#include "field/slot_string.h"

namespace gn {

bool add_blank_slot(SlotString* s) {
    if (s->len + 2 > kMaxSlotBytes) return false;
    for (int k = 0; k < 2; ++k) {
        s->bytes[s->len + k] = k == 0 ? ' ' : '_';
        s->cell[s->len + k] = -1;
        s->left[s->len + k] = 32767;
        s->height[s->len + k] = 0;
        s->top[s->len + k] = 32767;
    }
    s->len += 2;
    s->bytes[s->len] = '\0';
    return true;
}

bool add_class_slot(SlotString* s, unsigned char c1, unsigned char c2, int cell, int left,
                    int top, int width, int height) {
    if (s->len + 2 > kMaxSlotBytes) return false;
    s->bytes[s->len] = static_cast<char>(c1);
    s->bytes[s->len + 1] = static_cast<char>(c2);
    for (int k = 0; k < 2; ++k) {
        s->cell[s->len + k] = cell;
        s->left[s->len + k] = left;
        s->height[s->len + k] = height;
        s->top[s->len + k] = top;
    }
    s->len += 2;
    s->bytes[s->len] = '\0';
    if (s->box_count < kMaxSlotBytes) {
        int* b = s->boxes[s->box_count++];
        b[0] = left;
        b[1] = top;
        b[2] = left + width;
        b[3] = top + height;
    }
    return true;
}

}  // namespace gn

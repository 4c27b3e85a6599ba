// Building the display text and the character rectangles.
#include "display_text.h"

#include <algorithm>
#include <cstring>

#include "code_page.h"

namespace platix {

void DisplayText::clear() {
    std::memset(text, 0, sizeof text);
    std::memset(rects, 0, sizeof rects);
    length = 0;
    full = false;
}

void char_rect(const seg_result& r, const int box[4], int maxcol, int maxlin, int out[4]) {
    if (r.bottom - r.top + 1 < r.lines) {
        out[0] = box[0] / 2 + r.left - 1;
        out[1] = box[1] / 2 + r.top - 1;
        out[2] = box[2] / 2 + r.left + 1;
        out[3] = box[3] / 2 + r.top + 1;
    } else {
        out[0] = box[0] + r.left - 1;
        out[1] = box[1] + r.top - 1;
        out[2] = box[2] + r.left + 1;
        out[3] = box[3] + r.top + 1;
    }
    out[0] = std::max(out[0], 0);
    out[1] = std::max(out[1], 0);
    out[2] = std::min(out[2], maxcol - 1);
    out[3] = std::min(out[3], maxlin - 1);
}

bool DisplayText::add_field(const seg_result& r, const ocr_io& io, int maxcol, int maxlin) {
    if (full) return false;
    int j = 0;
    const int boxes = std::clamp(io.box_count, 0, 2048);
    for (std::size_t i = 0; i < sizeof io.text && io.text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(io.text[i]);
        if (length > 127) {
            full = true;
            return false;
        }
        if (c == '.') {
            ++j;
        } else if (desk::is_cp1252_alnum(c) || c == '^') {
            if (length == 127) {
                // No room for this character and the terminating NUL.
                full = true;
                text[length++] = static_cast<char>(c);
                return false;
            }
            text[length] = static_cast<char>(c);
            if (j < boxes) char_rect(r, io.boxes[j], maxcol, maxlin, rects[length]);
            ++length;
            ++j;
        } else if (length > 0 && text[length - 1] != '.') {
            if (length == 127) {
                full = true;
                text[length++] = '.';
                return false;
            }
            text[length++] = '.';
        }
    }
    if (length > 0 && text[length - 1] != '.') {
        if (length == 127) {
            full = true;
            text[length++] = '.';
            return false;
        }
        text[length++] = '.';
    }
    return true;
}

void DisplayText::finish() {
    if (length > 0) text[length - 1] = '\0';
    length = static_cast<int>(std::strlen(text));
}

}  // namespace platix

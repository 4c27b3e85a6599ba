// The display text of an image: the recognised characters of all fields,
// fields separated by '.', at most 127 characters, with one rectangle in
// page coordinates per character.
#pragma once

#include "glyphnet.h"
#include "rasterkit.h"

namespace platix {

struct DisplayText {
    char text[128] = {};
    int rects[128][4] = {};  // left, top, right, bottom
    int length = 0;          // characters written so far
    bool full = false;       // the 127 characters are reached: take nothing more

    void clear();
    // Takes the text and boxes the engine read from field r. Returns false
    // when the text is full (no further field is to be recognised).
    bool add_field(const seg_result& r, const ocr_io& io, int maxcol, int maxlin);
    // Ends the text: the last character written becomes the terminating NUL
    // (the trailing '.', or the last character when the text was cut).
    void finish();
};

// Character rectangle in page coordinates from engine box (right and bottom
// exclusive) of field r, widened by one pixel and kept on the page.
void char_rect(const seg_result& r, const int box[4], int maxcol, int maxlin, int out[4]);

}  // namespace platix

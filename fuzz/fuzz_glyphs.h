// A few 5 x 7 block glyphs drawn into 1-bit field bitmaps (0 bit = ink),
// used to teach the small knowledge base of the recognition fuzz target and
// to draw its seed fields.
#pragma once

#include <string>

#include "test_field_bitmap.h"

namespace fuzzglyphs {

inline const char* rows_of(char c) {
    switch (c) {
        case 'H': return "#...##...##...#######...##...##...#";
        case 'E': return "######....#....####.#....#....#####";
        case 'L': return "#....#....#....#....#....#....#####";
        case 'T': return "#####..#....#....#....#....#....#..";
        case '4': return "...#...##..#.#.#..#.#####...#....#.";
        case '7': return "#####....#...#...#...#....#....#...";
        case '0': return ".###.#...##..###.#.###..##...#.###.";
        default: return nullptr;
    }
}

inline const std::string kTaught = "HELT470";

using Bitmap = testsupport::FieldBitmap;

// Draws c with its top-left corner at (x, y), `scale` pixels per cell.
inline void draw(Bitmap& b, char c, int x, int y, int scale) {
    const char* rows = rows_of(c);
    if (rows == nullptr) return;
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 5; ++k)
            if (rows[r * 5 + k] == '#')
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i) b.set(x + k * scale + i, y + r * scale + j);
}

// Draws text from (x, y); a blank leaves a wider gap. Returns the end x.
inline int draw_text(Bitmap& b, const std::string& text, int x, int y, int scale) {
    for (char c : text) {
        if (c != ' ') draw(b, c, x, y, scale);
        x += (c == ' ' ? 4 : 6) * scale;
    }
    return x;
}

// Copies the first class (one or two characters) of a text read into a
// learning request's shown class.
inline void set_shown(char (&shown)[3], const char* text) {
    shown[0] = text[0];
    shown[1] = text[0] != 0 ? text[1] : 0;
    shown[2] = 0;
}

}  // namespace fuzzglyphs

// One synthetic plate, flat and upright: its text, its style and its
// picture.
#pragma once

#include <string>

#include "canvas.h"
#include "glyph_renderer.h"
#include "rng.h"

namespace platix::synth {

struct PlateStyle {
    bool yellow = false;     // dark on yellow, else dark on white
    bool border = false;     // a dark frame inside the edge
    bool side_band = false;  // a blue band at the left end
    bool two_rows = false;
    std::string font;
    int cap_height = 24;     // pixels of a capital letter
};

// A random plate text: letters (no I, O or Q) and digits in one of a few
// national patterns; blanks separate the groups.
std::string random_plate_text(Rng& rng);
PlateStyle random_style(Rng& rng, const std::vector<std::string>& fonts);

// The plate picture; the label is the text without blanks.
Canvas render_plate(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& style);

}  // namespace platix::synth

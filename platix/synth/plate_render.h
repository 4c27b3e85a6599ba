// One synthetic plate, flat and upright: its text, its style and its
// picture.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "glyph_renderer.h"
#include "rng.h"

namespace platix::synth {

// The layout family of a plate: the generic mixed plates, or the
// layouts of one region.
enum class PlateRegion { mixed, eu, us, br };

struct PlateStyle {
    bool yellow = false;     // dark on yellow, else dark on white
    bool border = false;     // a dark frame inside the edge
    bool side_band = false;  // a blue band at the left end
    bool two_rows = false;
    std::string font;
    int cap_height = 24;     // pixels of a capital letter
    int spacing = 2;         // extra pixels between characters
    int ink_level = 25;      // gray level of the (dark) characters
    // The region layouts below; the mixed plates use only the fields above.
    PlateRegion region = PlateRegion::mixed;
    bool mercosur = false;   // Brazil: white with the blue top band, else the older grey plate
    Colour paper{238, 238, 232};
    Colour ink{25, 25, 30};
    // Small words drawn with the plate but never part of its label: the
    // caption above the text (a state or city name), the band text in
    // white inside the blue band (a country code, "BRASIL").
    std::string caption;
    std::string band_text;
};

// A random plate text: letters (no I, O or Q) and digits in one of a few
// national patterns; blanks separate the groups.
std::string random_plate_text(Rng& rng);
// The two rows of a two-row plate, without their blanks at the split:
// the split at a blank that leaves the rows most even with at least three
// characters each, else the characters halved (the longer half below).
std::vector<std::string> split_rows(const std::string& text);
PlateStyle random_style(Rng& rng, const std::vector<std::string>& fonts);

// The plate picture; the label is the text without blanks. A style of a
// region draws that region's layout (side band, top band, caption).
// Where the characters lie on the plate (right and bottom exclusive).
struct TextArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// With `area`, also says where the characters were drawn.
Canvas render_plate(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& style,
                    TextArea* area = nullptr);

// Blends the mask onto the canvas in `ink` with its top left at (x0, y0);
// what falls outside the canvas is left out.
void draw_mask(Canvas& c, const TextMask& m, int x0, int y0, Colour ink);
// Small words no wider than `room` pixels: the largest capital height up
// to `cap` that fits, down to 4 pixels (wider than `room` when even that
// does not fit).
TextMask small_words(GlyphRenderer& glyphs, const std::string& font, const std::string& words, int cap, int room);

}  // namespace platix::synth

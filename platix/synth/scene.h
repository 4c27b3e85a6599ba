// A whole synthetic scene: cluttered background, one plate placed at a
// random size with a small rotation and slant, blur and noise.
#pragma once

#include <string>

#include "canvas.h"
#include "glyph_renderer.h"
#include "rng.h"

namespace platix::synth {

struct Scene {
    Canvas picture{1, 1, Colour{}};
    std::string plate;  // the label: the plate text without blanks
    int x = 0, y = 0, w = 0, h = 0;  // the plate's bounding box in the picture
};

Scene make_scene(Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts);

}  // namespace platix::synth

// A whole synthetic scene: cluttered background, one plate placed at a
// random size with a small rotation and slant, blur and noise.
#pragma once

#include <string>

#include "canvas.h"
#include "glyph_renderer.h"
#include "plate_render.h"
#include "rng.h"

namespace platix::synth {

struct Scene {
    Canvas picture{1, 1, Colour{}};
    std::string plate;  // the label: the plate text without blanks
    int x = 0, y = 0, w = 0, h = 0;  // the plate's bounding box in the picture
};

// One scene; the plate is of the region's layouts drawn with `fonts`
// (region_fonts), or a mixed plate with any of `fonts`
// (GlyphRenderer::available_fonts). `fonts` must not be empty.
Scene make_scene(Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts,
                 PlateRegion region = PlateRegion::mixed);

}  // namespace platix::synth

// Synthetic plate crops for the learned reader, drawn in memory: a region's
// plate with the things real plates carry (frames, stickers, bolts, dirt,
// shade), seen in perspective on a patch of car, reduced to the small sizes
// cameras see plates at, blurred, noisy and passed through JPEG. Only the
// patch around the plate is drawn, so thousands take seconds, not the
// minutes whole scenes written to disk take. An addition beyond the
// documented system (the learned reader).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph_renderer.h"
#include "plate_render.h"
#include "rng.h"

namespace platix::synth {

struct PlateCrop {
    std::vector<std::uint8_t> gray;  // width x height, row by row
    int width = 0, height = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // the plate's box; right and bottom exclusive
    // The box of its characters, as the analysis finds a plate's row.
    int text_left = 0, text_top = 0, text_right = 0, text_bottom = 0;
    std::string text;                              // the label: letters and digits, no blanks
};

// One crop of a plate of `region` (not mixed) drawn with one of `fonts`
// (not empty). The plate's box lies inside the patch with at least its
// height of margin left and right and three quarters of it above and
// below, which is the room the trainer's jitter and the reader's margin
// take.
PlateCrop make_plate_crop(Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts, PlateRegion region);

// `count` crops, crop k in styles[k % styles.size()], from one random
// sequence started at `seed`: the same arguments give the same crops.
// Throws std::runtime_error when a style has no installed font,
// std::invalid_argument for an empty style list or the mixed style.
std::vector<PlateCrop> make_plate_crops(int count, const std::vector<PlateRegion>& styles, unsigned long seed);

}  // namespace platix::synth

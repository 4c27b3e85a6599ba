// The plate layouts of the regions the synthesiser can draw (European,
// North American, Brazilian): their fonts, their text patterns and the
// random choice of one plate's style.
#pragma once

#include <string>
#include <vector>

#include "plate_render.h"
#include "rng.h"

namespace platix::synth {

// "eu", "us" or "br"; anything else gives false and leaves *out alone.
bool parse_region(const std::string& name, PlateRegion* out);
// The name parse_region accepts ("mixed" for the mixed plates).
const char* region_name(PlateRegion region);

// The font files a region's plates are drawn with, in order of
// preference, as far as they are installed. Empty when none is, or for
// the mixed plates (which use GlyphRenderer::available_fonts).
std::vector<std::string> region_fonts(PlateRegion region);
// Every font file region_fonts may return for the region, installed or
// not (for messages and checks).
std::vector<std::string> region_font_candidates(PlateRegion region);

// One plate of a region: its text (upper-case letters and digits, blanks
// between the groups) and the style it is drawn in.
struct RegionPlate {
    std::string text;
    PlateStyle style;
};

// A random plate of the region's layouts, drawn with a font from `fonts`
// (not empty). EU: one row on white or yellow with the blue side band and
// its country code, in the pattern of one of a few countries. US: a
// wider plate, dark characters on light, a state name in small letters
// above. BR: the Mercosur plate (white, blue top band, "LLLDLDD") or the
// older grey one ("LLL DDDD", a city in small letters above). The small
// words are never part of the text. Throws std::invalid_argument for the
// mixed region.
RegionPlate random_region_plate(PlateRegion region, Rng& rng, const std::vector<std::string>& fonts);

// A US plate text in one of many states' passenger series (wider than the
// few series of random_region_plate: letters and digits in the orders of
// the reader's US syntaxes), groups apart by a blank.
std::string random_us_series(Rng& rng);

// Whether the blank-free `text` matches one of the region's patterns
// letter for letter and digit for digit.
bool matches_region_pattern(PlateRegion region, const std::string& text);

}  // namespace platix::synth

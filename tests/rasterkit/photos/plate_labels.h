// Labelled plate photographs of a folder, and whether a field lies on the plate.
#pragma once

#include <string>
#include <vector>

#include "rasterkit.h"

namespace photos {

// A labelled photograph: its path, the plate's rectangle in file pixels and its text.
struct LabelledImage { std::string image; int x = 0, y = 0, w = 0, h = 0; std::string plate; };

// The folder of labelled plates: $ORVO_PLATES_DIR, else the data folder beside the sources; else empty.
std::string plates_dir();

// Every label of the folder (NAME.txt: "NAME.ext\tx\ty\tw\th\tPLATE") with
// the photograph of the same base name, sorted by name. Labels without a
// photograph, and unreadable labels, are left out.
std::vector<LabelledImage> labelled_images(const std::string& folder);

// True when the field's centre, in file pixels of a page scaled by xscale and yscale, lies inside the plate.
bool on_plate(const seg_result& r, int xscale, int yscale, const LabelledImage& label);

}  // namespace photos

// A scene on disk: its picture and its one-line label file.
#pragma once

#include <string>

#include "plate_crops.h"
#include "scene.h"

namespace platix::synth {

// Writes FOLDER/STEM.png (or STEM.jpg at quality 92 when `jpeg`) and
// FOLDER/STEM.txt with the line NAME<TAB>x<TAB>y<TAB>w<TAB>h<TAB>PLATE.
// Returns the label file's path. Throws std::runtime_error with a
// one-line reason when a file cannot be written.
std::string write_scene_files(const Scene& scene, const std::string& folder, const std::string& stem, bool jpeg);

// The same for a plate crop: FOLDER/STEM.png (gray) and its label file
// with the plate's box.
std::string write_crop_files(const PlateCrop& crop, const std::string& folder, const std::string& stem);

}  // namespace platix::synth

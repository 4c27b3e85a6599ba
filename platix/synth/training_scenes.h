// Synthetic scenes mixed into a training: which plate styles suit the
// folders trained on, and a scratch folder holding the scenes while the
// training runs.
#pragma once

#include <string>
#include <vector>

#include "plate_render.h"

namespace platix::synth {

// The styles matching the label paths: for each path naming a folder
// called eu, us or br (a label file counts by the folder it lies in), that
// region, each once in order of first appearance. When no path names one,
// all three: eu, us, br.
std::vector<PlateRegion> styles_for_labels(const std::vector<std::string>& label_paths);

// Writes `count` PNG scenes with their label files into `folder` (which
// must exist), scene k drawn in styles[k % styles.size()] from one random
// sequence started at `seed`. Returns the label files in scene order.
// Throws std::runtime_error when a style has no installed font or a file
// cannot be written, std::invalid_argument for an empty style list.
std::vector<std::string> write_training_scenes(int count, const std::vector<PlateRegion>& styles, unsigned long seed,
                                               const std::string& folder);

// A new empty folder in the system's temporary folder, removed with its
// contents when the object goes. Throws std::runtime_error when it cannot
// be made.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace platix::synth

// Synthetic scenes mixed into a training: which plate styles suit the
// folders trained on, and the scenes themselves, in a scratch folder that
// lives as long as the training.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plate_render.h"
#include "scratch_folder.h"

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

// The synthetic scenes of a training on `label_paths`: `count` scenes in
// the styles of those folders (styles_for_labels, from `seed`), written
// into a private temporary folder that goes with the object. Nothing is
// made for a count of 0. Throws as write_training_scenes does, or when the
// folder cannot be made.
class TrainingScenes {
public:
    TrainingScenes(int count, const std::vector<std::string>& label_paths, unsigned long seed);
    const std::vector<std::string>& label_files() const { return files_; }

private:
    std::unique_ptr<ScratchFolder> folder_;
    std::vector<std::string> files_;
};

}  // namespace platix::synth

// Training the learned reader from labelled images (platix train --reader
// net): crops of the truth boxes and of the fields the analysis finds in
// them (on the user's photographs and on synthetic scenes), a validation split of the photographs, and the trainer of
// platenet. An addition beyond the documented system.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "labels.h"
#include "options.h"
#include "synth/plate_render.h"
#include "train/trainer.h"

namespace platix {

struct NetTrainSettings {
    std::string model_path;   // written at the end
    std::string start_path;   // fine-tuned from; empty: from scratch
    int epochs = 30;
    int minutes = 18;         // counted from `started` (the command's start)
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    unsigned long seed = 1;
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    bool quiet = false;
    bool report = true;  // a line per epoch on stdout
    // Synthetic plates drawn in memory (synth::make_plate_crops): how
    // many, in which styles (one after the other), from which seed.
    int synth = 0;
    std::vector<synth::PlateRegion> synth_styles;
    unsigned long synth_seed = 1;
    // Labelled synthetic scenes (whole pictures on disk): their truth boxes
    // and the fields the analysis finds in them join the synthetic crops.
    std::vector<LabelledImage> synthetic_scenes;
};

// The crops of a training: per real image (its truth box and the fields
// found in it), and the synthetic plates of the settings, split for
// training and validation (every tenth plate is kept for validation).
struct NetSamples {
    std::vector<std::vector<platenet::TrainSample>> real;
    std::vector<char> truth_first;  // per real image: its first crop is the truth box, unjittered
    std::vector<platenet::TrainSample> synthetic, synthetic_val;
};
NetSamples collect_net_samples(const std::vector<LabelledImage>& real, const NetTrainSettings& settings);

// The model a training starts from: `start` itself, "" for "scratch",
// and the bundled model (or "" when there is none) for "".
std::string start_model_path(const std::string& start);

// Trains a model on the real images `use` (every fifth of them kept for
// validation, then trained on too for the epochs it chose; without real
// images the synthetic validation crops are used, and only for choosing)
// and the synthetic crops, and writes it. Returns 0, or 1 after a
// message on stderr.
int train_net_on(const NetSamples& samples, const std::vector<std::size_t>& use, const NetTrainSettings& settings);

// Trains and writes the model. `real` are the user's labelled images; the
// synthetic plates are the settings'. Every fifth real image (or, without
// real ones, every tenth synthetic plate) is kept out for validation.
// Returns 0, or 1 after a message on stderr (unreadable start model, no
// usable sample, model not written).
int train_net(const std::vector<LabelledImage>& real, const NetTrainSettings& settings);

}  // namespace platix

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
};

// The crops of a training: per real image (its truth box and the fields
// found in it), and those of the synthetic scenes, split for training and
// validation (every tenth scene is kept for validation).
struct NetSamples {
    std::vector<std::vector<platenet::TrainSample>> real;
    std::vector<platenet::TrainSample> synthetic, synthetic_val;
};
NetSamples collect_net_samples(const std::vector<LabelledImage>& real, const std::vector<LabelledImage>& synthetic,
                               const NetTrainSettings& settings);

// Trains a model on the real images `use` (every fifth of them kept for
// validation; without real images the synthetic validation crops are
// used) and the synthetic crops, and writes it. Returns 0, or 1 after a
// message on stderr.
int train_net_on(const NetSamples& samples, const std::vector<std::size_t>& use, const NetTrainSettings& settings);

// Trains and writes the model. `real` are the user's labelled images,
// `synthetic` the labelled synthetic scenes. Every fifth
// real image (or, without real ones, every tenth scene) is kept out for
// validation. Returns 0, or 1 after a message on stderr (unreadable start
// model, no usable sample, model not written).
int train_net(const std::vector<LabelledImage>& real, const std::vector<LabelledImage>& synthetic,
              const NetTrainSettings& settings);

}  // namespace platix

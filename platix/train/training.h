// Teaching a knowledge base from analysed, labelled images: the passes of
// `platix train`, also run per fold by `platix bench --folds`.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "glyphnet.h"
#include "image_result.h"
#include "labels.h"
#include "options.h"

namespace platix {

struct TrainSettings {
    int passes = 5;    // the most passes; a pass that teaches nothing ends the training
    int augment = 0;   // variants taught with every taught character
    Region region = Region::none;  // plate syntaxes of the reading that decides what to teach
    bool quiet = false;
    bool report = true;  // print one line per pass on stdout
};

struct TrainSummary {
    int passes = 0;     // passes run
    int taught = 0;     // characters taught, over all passes
    int variants = 0;   // variants taught, over all passes
    bool written = true;  // every pass's batch reached the files
};

// Analyses every labelled image once, `jobs` at a time, keeping the field
// bitmaps (the analysis does not depend on the knowledge base, so every
// pass reuses it). Images that cannot be read are reported on stderr and
// counted in *unreadable.
std::vector<ImageResult> analyse_labelled(const std::vector<LabelledImage>& labels, int depth, AnalysisKind analysis,
                                          int jobs, bool quiet, int* unreadable);

// Runs the training passes over images[i] / labels[i] for every i in `use`
// (images analysed with their bitmaps kept) into knowledge base 1 of the
// engine. Each pass is one learning batch, so both files are written once
// per pass. A batch that cannot be written ends the training with
// `written` false, the files as they were before that pass.
TrainSummary train_passes(ocr_io* io, std::vector<ImageResult>& images, const std::vector<LabelledImage>& labels,
                          const std::vector<std::size_t>& use, const TrainSettings& settings);

}  // namespace platix

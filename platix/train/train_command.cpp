// platix train: teach a knowledge base from labelled images, the way the
// training dialog teaches a character the user confirms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "commands.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "job_pool.h"
#include "kb_check.h"
#include "labels.h"
#include "net_training.h"
#include "progress.h"
#include "synth/training_scenes.h"
#include "training.h"

namespace platix {

int run_train(const TrainOptions& o) {
    const auto started = std::chrono::steady_clock::now();
    {
        // An existing base must load whole, with its samples, before any image is read.
        const std::vector<KbArg> kb = {KbArg{o.kb, 0}};
        const EngineSession probe(kb);
        if (const std::string bad = check_knowledge_bases(probe, kb, KbUse::training); !bad.empty()) {
            std::fprintf(stderr, "platix: %s\n", bad.c_str());
            return 2;
        }
    }
    std::vector<std::string> problems;
    // Synthetic scenes in the plate styles of the folders join the labelled
    // images; their folder goes when the training ends.
    const synth::TrainingScenes scenes(o.train_box || o.synth_scenes ? o.synth : 0, o.labels, o.synth_seed);
    std::vector<std::string> label_args = o.labels;
    label_args.insert(label_args.end(), scenes.label_files().begin(), scenes.label_files().end());
    const auto labels = collect_labels(label_args, problems);
    for (const auto& p : problems) std::fprintf(stderr, "platix: %s\n", p.c_str());
    if (o.train_net) {
        // The learned reader: the user's images, and synthetic plates drawn
        // in memory apart, so that validation is measured on the user's
        // photographs.
        std::vector<std::string> none;
        const auto real = collect_labels(o.labels, none);
        NetTrainSettings n;
        if (o.synth_scenes) n.synthetic_scenes = collect_labels(scenes.label_files(), none);
        n.synth = o.synth_scenes ? 0 : o.synth;
        n.synth_styles = synth::styles_for_labels(o.labels);
        n.synth_seed = o.synth_seed;
        n.model_path = o.model;
        n.start_path = start_model_path(o.start_model);
        n.epochs = o.epochs;
        n.minutes = o.minutes;
        n.started = started;
        n.seed = o.seed;
        n.depth = o.depth;
        n.analysis = o.analysis;
        n.quiet = o.quiet;
        const int rc = train_net(real, n);
        if (rc != 0 || !o.train_box) return rc;
    }
    if (labels.empty()) {
        std::fprintf(stderr, "platix: no labelled image found\n");
        return 1;
    }
    std::error_code ec;
    const auto parent = std::filesystem::path(o.kb).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);

    int unreadable = 0;
    std::vector<ImageResult> images = analyse_labelled(labels, o.depth, o.analysis, o.jobs, o.quiet, &unreadable);

    EngineSession engine({KbArg{o.kb, 0}});
    if (engine.io() == nullptr) {
        std::fprintf(stderr, "platix: %s\n", engine.error().c_str());
        return 1;
    }
    std::vector<std::size_t> all(labels.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    TrainSettings settings;
    settings.passes = o.passes;
    settings.augment = o.augment;
    settings.region = o.region;
    settings.quiet = o.quiet;
    const TrainSummary summary = train_passes(engine.io(), images, labels, all, settings);
    if (unreadable > 0) std::printf("unreadable images: %d\n", unreadable);
    if (!summary.written) {
        std::fprintf(stderr, "platix: %s: the knowledge base could not be written; it is kept as it was before the "
                             "last pass\n",
                     o.kb.c_str());
        return 1;
    }
    return unreadable > 0 ? 1 : 0;
}

}  // namespace platix

// platix bench: read labelled images and measure how well plates are found
// and read, per folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "bench_images.h"
#include "bench_score.h"
#include "commands.h"
#include "default_data.h"
#include "engine_session.h"
#include "kb_check.h"
#include "field_reading.h"
#include "folds.h"
#include "image_analysis.h"
#include "job_pool.h"
#include "labels.h"
#include "net_reading.h"
#include "net_training.h"
#include "plate_syntax.h"
#include "progress.h"
#include "scratch_folder.h"
#include "synth/training_scenes.h"
#include "training.h"
#include "model/model_file.h"
#include "train/trainer.h"

namespace platix {

namespace {

// The folders of the labels in order of first appearance.
std::vector<std::string> folder_order(const std::vector<LabelledImage>& labels) {
    std::vector<std::string> order;
    for (const auto& l : labels)
        if (std::find(order.begin(), order.end(), l.folder) == order.end()) order.push_back(l.folder);
    return order;
}

// The region an image folder's name says (eu, us or br), none otherwise.
Region folder_region(const std::string& folder) {
    const std::string name = std::filesystem::path(folder).filename().string();
    for (Region r : {Region::eu, Region::us, Region::br})
        if (name == region_name(r)) return r;
    return Region::none;
}

int print_results(const BenchOptions& o, const std::vector<FolderSummary>& folders, const FolderSummary& total,
                  const std::vector<ImageVerdict>& verdicts) {
    std::fputs(format_bench_table(folders, total).c_str(), stdout);
    if (o.misses) std::fputs(format_misses(verdicts).c_str(), stdout);
    if (!o.json_path.empty()) {
        std::ofstream out(o.json_path, std::ios::binary | std::ios::trunc);
        out << with_image_results(format_bench_json(folders, total, o.analysis), verdicts);
        if (!out) {
            std::fprintf(stderr, "platix: %s: cannot be written\n", o.json_path.c_str());
            return 1;
        }
    }
    return 0;
}

// The cross-validation's table: per folder, every image read by its fold
// (the times are those of the images' analyses), then the verdicts.
int print_fold_results(const BenchOptions& o, const std::vector<LabelledImage>& labels,
                       const std::vector<ImageResult>& images, const std::vector<PlateScore>& scores) {
    std::vector<FolderSummary> folders;
    FolderSummary total;
    total.jobs = 1;
    for (const auto& folder : folder_order(labels)) {
        FolderSummary s;
        s.folder = folder;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (labels[i].folder == folder) {
                s.add(images[i], scores[i]);
                s.seconds += static_cast<double>(images[i].ms) / 1000.0;
            }
        total.merge(s);
        folders.push_back(std::move(s));
    }
    std::vector<ImageVerdict> verdicts;
    for (std::size_t i = 0; i < labels.size(); ++i) verdicts.push_back(verdict_of(images[i], labels[i], scores[i]));
    return print_results(o, folders, total, verdicts);
}

// Cross-validation: every image is analysed once (the analysis does not
// depend on the base), then each fold is read with a base trained from
// scratch on the other folds, in a private temporary folder. The times in
// the table are those of the analyses.
int run_folds(const BenchOptions& o, const std::vector<LabelledImage>& read_labels) {
    // Synthetic scenes join every fold's training and are never read.
    const synth::TrainingScenes scenes(o.synth, o.labels, o.synth_seed);
    std::vector<LabelledImage> labels = read_labels;
    std::vector<std::string> problems;
    const auto made = collect_labels(scenes.label_files(), problems);
    labels.insert(labels.end(), made.begin(), made.end());
    int failed = 0;
    std::vector<ImageResult> images = analyse_labelled(labels, o.depth, o.analysis, o.jobs, o.quiet, &failed);
    const ScratchFolder bases("platix-folds");

    const std::vector<int> fold = assign_folds(read_labels, o.folds);
    std::vector<PlateScore> scores(read_labels.size());
    for (int f = 0; f < o.folds; ++f) {
        std::vector<std::size_t> train, held_out;
        for (std::size_t i = 0; i < labels.size(); ++i)
            (i < read_labels.size() && fold[i] == f ? held_out : train).push_back(i);
        const std::string kb = bases.path() + "/fold" + std::to_string(f + 1) + ".kbf";
        EngineSession engine({KbArg{kb, 0}});
        if (engine.io() == nullptr) {
            std::fprintf(stderr, "platix: %s\n", engine.error().c_str());
            return 1;
        }
        TrainSettings settings;
        settings.passes = o.passes;
        settings.augment = o.augment;
        settings.region = o.recognition.region;
        settings.quiet = o.quiet;
        settings.report = false;
        const TrainSummary trained = train_passes(engine.io(), images, labels, train, settings);
        if (!trained.written) {
            std::fprintf(stderr, "platix: fold %d: its knowledge base could not be written\n", f + 1);
            return 1;
        }
        for (std::size_t i : held_out) {
            ImageResult& r = images[i];
            if (r.status == ImageStatus::ok)
                for (FieldResult& field : r.fields)
                    if (!field.bitmap.empty())
                        read_field(engine.io(), field.bitmap.data(), field.columns, field.lines, field.bpl,
                                   o.recognition, field, r);
            scores[i] = score_plate(r, labels[i]);
        }
        std::error_code ec;
        std::fprintf(stderr, "fold %d of %d: trained on %zu images (%d characters, %d variants, %d passes, %ju bytes), "
                             "read %zu\n",
                     f + 1, o.folds, train.size(), trained.taught, trained.variants, trained.passes,
                     static_cast<std::uintmax_t>(std::filesystem::file_size(kb, ec)), held_out.size());
    }

    // The synthetic scenes' images come after the photographs' and are not reported.
    if (print_fold_results(o, read_labels, images, scores) != 0) return 1;
    return failed > 0 ? 1 : 0;
}

// Cross-validation of the learned reader: the crops of every image and of
// the synthetic scenes are cut once; each fold trains a model on the other
// folds (and the scenes) and reads its own images with it, end to end.
int run_net_folds(const BenchOptions& o, const std::vector<LabelledImage>& labels) {
    const auto started = std::chrono::steady_clock::now();
    NetTrainSettings n;
    n.synth = o.synth;
    n.synth_styles = synth::styles_for_labels(o.labels);
    n.synth_seed = o.synth_seed;
    n.start_path = start_model_path(o.start_model);
    n.epochs = o.epochs;
    n.minutes = o.minutes;
    n.seed = o.seed;
    n.depth = o.depth;
    n.analysis = o.analysis;
    n.quiet = o.quiet;
    n.report = false;
    const NetSamples samples = collect_net_samples(labels, n);
    const ScratchFolder models("platix-folds");
    const std::vector<int> fold = assign_folds(labels, o.folds);
    std::vector<ImageResult> images(labels.size());
    std::vector<PlateScore> scores(labels.size());
    // Reading alone: each held-out truth box read by its fold's model.
    std::map<std::string, std::pair<double, int>> truth_read;  // folder: exact reads, crops
    std::map<std::string, std::tuple<int, double, int>> unconstrained;  // folder: exact, characters, images
    int failed = 0;
    for (int f = 0; f < o.folds; ++f) {
        std::vector<std::size_t> train, held_out;
        for (std::size_t i = 0; i < labels.size(); ++i) (fold[i] == f ? held_out : train).push_back(i);
        n.model_path = models.path() + "/fold" + std::to_string(f + 1) + ".pnet";
        n.started = std::chrono::steady_clock::now();
        const auto fold_start = n.started;
        if (train_net_on(samples, train, n) != 0) return 1;
        const double trained_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - fold_start).count();
        platenet::ModelFile trained;
        if (platenet::load_model_file(n.model_path, &trained) == platenet::Status::ok) {
            std::map<std::string, std::vector<platenet::TrainSample>> crops;
            for (std::size_t i : held_out)
                if (samples.truth_first[i]) crops[labels[i].folder].push_back(samples.real[i].front());
            for (const auto& [folder, v] : crops) {
                const platenet::Score sc = platenet::evaluate(trained, v);
                truth_read[folder].first += sc.exact * sc.count;
                truth_read[folder].second += sc.count;
            }
        }
        const NetModel model(n.model_path);
        AnalysisRequest request;
        request.depth = o.depth;
        request.analysis = o.analysis;
        request.model = model.get();
        request.recognition = o.recognition;
        for (std::size_t i : held_out) {
            if (o.region_by_folder) request.recognition.region = folder_region(labels[i].folder);
            images[i] = analyse_file({labels[i].image_path, false}, request);
            if (images[i].status != ImageStatus::ok) {
                ++failed;
                std::fprintf(stderr, "platix: %s: %s\n", images[i].path.c_str(), images[i].error.c_str());
            }
            scores[i] = score_plate(images[i], labels[i]);
            if (request.recognition.region != Region::none) {
                // The same model without the syntaxes, for comparison.
                AnalysisRequest free = request;
                free.recognition.region = Region::none;
                const PlateScore sc = score_plate(analyse_file({labels[i].image_path, false}, free), labels[i]);
                auto& [exact, chars, count] = unconstrained[labels[i].folder];
                exact += sc.exact ? 1 : 0;
                chars += sc.char_accuracy;
                ++count;
            }
        }
        std::error_code ec;
        std::fprintf(stderr, "fold %d of %d: learned reader trained on %zu images in %.0f s (%ju bytes), read %zu\n",
                     f + 1, o.folds, train.size(), trained_s,
                     static_cast<std::uintmax_t>(std::filesystem::file_size(n.model_path, ec)), held_out.size());
    }
    std::fprintf(stderr, "platix: cross-validation took %.0f s\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    for (const auto& [folder, u] : unconstrained) {
        const auto& [exact, chars, count] = u;
        std::fprintf(stderr, "platix: %s: read without the region's syntaxes: %.1f%% exact, %.1f%% characters\n",
                     folder.c_str(), 100.0 * exact / count, 100.0 * chars / count);
    }
    for (const auto& [folder, r] : truth_read)
        std::fprintf(stderr, "platix: %s: truth boxes read exactly by their fold's model: %.1f%% of %d\n",
                     folder.c_str(), r.second ? 100.0 * r.first / r.second : 0.0, r.second);
    if (print_fold_results(o, labels, images, scores) != 0) return 1;
    return failed > 0 ? 1 : 0;
}

}  // namespace

int run_bench(const BenchOptions& o) {
    // With a model the fields are read by it and no base is loaded.
    const auto model = o.folds > 0 ? nullptr : model_for(o.recognition, !o.kbs.empty(), o.quiet);
    const std::vector<KbArg> kbs = o.folds > 0 || model ? std::vector<KbArg>{} : resolve_kbs(o.kbs, o.quiet);
    require_kb_files(kbs);
    std::vector<std::string> problems;
    const auto labels = collect_labels(o.labels, problems);
    for (const auto& p : problems) std::fprintf(stderr, "platix: %s\n", p.c_str());
    if (labels.empty()) {
        std::fprintf(stderr, "platix: no labelled image found\n");
        return 1;
    }
    const bool net_folds = o.recognition.reader == ReaderKind::net ||
                           (o.recognition.reader == ReaderKind::automatic && !bundled_model_path().empty());
    if (o.folds > 0 && net_folds) return run_net_folds(o, labels);
    if (o.folds > 0) return run_folds(o, labels);
    EngineSession engine(kbs);
    if (const int status = refuse_unfit_for_reading(engine, kbs)) return status;
    AnalysisRequest request;
    request.depth = o.depth;
    request.analysis = o.analysis;
    request.io = engine.io();
    request.model = model ? model->get() : nullptr;
    request.recognition = o.recognition;

    const std::vector<std::string> order = folder_order(labels);

    std::vector<FolderSummary> folders;
    FolderSummary total;
    total.jobs = o.jobs;
    int failed = 0;
    ProgressBar bar(labels.size(), ProgressBar::wanted(o.quiet));
    std::vector<ImageVerdict> verdicts;
    for (const auto& folder : order) {
        std::vector<const LabelledImage*> mine;
        for (const auto& l : labels)
            if (l.folder == folder) mine.push_back(&l);
        FolderSummary s;
        s.folder = folder;
        s.jobs = o.jobs;
        const auto start = std::chrono::steady_clock::now();
        run_images(
            mine.size(), o.jobs, [&](std::size_t i) { return analyse_file({mine[i]->image_path, false}, request); },
            [&](std::size_t i, ImageResult&& r) {
                bar.step();
                if (r.status != ImageStatus::ok) {
                    ++failed;
                    bar.finish();
                    std::fprintf(stderr, "platix: %s: %s\n", r.path.c_str(), r.error.c_str());
                }
                if (const std::string note = box_outside_note(*mine[i], r.width, r.height); !note.empty()) {
                    bar.finish();
                    std::fprintf(stderr, "platix: %s\n", note.c_str());
                }
                const PlateScore score = score_plate(r, *mine[i]);
                verdicts.push_back(verdict_of(r, *mine[i], score));
                s.add(r, score);
            },
            [&](std::size_t i) { return mine[i]->image_path; });
        s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total.merge(s);
        folders.push_back(std::move(s));
    }
    bar.finish();
    if (print_results(o, folders, total, verdicts) != 0) return 1;
    return failed > 0 ? 1 : 0;
}

}  // namespace platix

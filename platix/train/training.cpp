// The training passes: each reads every used image's plate, teaches what was
// read wrongly (and its variants) in one learning batch, and reports.
#include "training.h"

#include <cstdio>

#include "image_analysis.h"
#include "job_pool.h"
#include "progress.h"
#include "train_step.h"

namespace platix {

std::vector<ImageResult> analyse_labelled(const std::vector<LabelledImage>& labels, int depth, AnalysisKind analysis,
                                          int jobs, bool quiet, int* unreadable) {
    AnalysisRequest request;
    request.depth = depth;
    request.analysis = analysis;
    request.keep_bitmaps = true;
    std::vector<ImageResult> images(labels.size());
    ProgressBar bar(labels.size(), ProgressBar::wanted(quiet));
    run_images(
        labels.size(), jobs, [&](std::size_t i) { return analyse_file({labels[i].image_path, false}, request); },
        [&](std::size_t i, ImageResult&& r) {
            bar.step();
            if (r.status != ImageStatus::ok) {
                ++*unreadable;
                bar.finish();
                std::fprintf(stderr, "platix: %s: %s\n", r.path.c_str(), r.error.c_str());
            }
            if (const std::string note = box_outside_note(labels[i], r.width, r.height); !note.empty()) {
                bar.finish();
                std::fprintf(stderr, "platix: %s\n", note.c_str());
            }
            images[i] = std::move(r);
        },
        [&](std::size_t i) { return labels[i].image_path; });
    bar.finish();
    return images;
}

TrainSummary train_passes(ocr_io* io, std::vector<ImageResult>& images, const std::vector<LabelledImage>& labels,
                          const std::vector<std::size_t>& use, const TrainSettings& settings) {
    TrainSummary summary;
    for (int pass = 1; pass <= settings.passes; ++pass) {
        int used = 0, no_field = 0, mismatch = 0, taught = 0, right = 0, failed = 0, variants = 0;
        ProgressBar bar(use.size(), ProgressBar::wanted(settings.quiet));
        if (OCR_begin_learning_batch() != 1) {
            summary.written = false;
            break;
        }
        for (std::size_t i : use) {
            bar.step();
            if (images[i].status != ImageStatus::ok) continue;
            const auto outcome = train_image(io, images[i], labels[i], settings.augment, settings.region);
            switch (outcome.kind) {
            case TrainImageOutcome::used: ++used; break;
            case TrainImageOutcome::no_field: ++no_field; break;
            case TrainImageOutcome::count_mismatch: ++mismatch; break;
            }
            taught += outcome.taught;
            right += outcome.right;
            failed += outcome.failed;
            variants += outcome.variants;
        }
        bar.finish();
        const bool written = OCR_end_learning_batch() == 1;
        ++summary.passes;
        summary.taught += taught;
        summary.variants += variants;
        if (settings.report) {
            std::printf("pass %d: images used %d, skipped %d (no field %d, count mismatch %d), characters taught %d, "
                        "already right %d",
                        pass, used, no_field + mismatch, no_field, mismatch, taught, right);
            if (settings.augment > 0) std::printf(", variants taught %d", variants);
            if (failed > 0) std::printf(", not learned %d", failed);
            std::printf("\n");
            std::fflush(stdout);
        }
        if (!written) {
            summary.written = false;
            break;
        }
        if (taught == 0) break;
    }
    return summary;
}

}  // namespace platix

// platix read: analyse and read images, print one record per image.
#include <unistd.h>

#include <cstdio>

#include "annotation_names.h"
#include "commands.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "job_pool.h"
#include "net_reading.h"
#include "output_format.h"
#include "progress.h"
#include "walk.h"

#include <filesystem>

namespace platix {

void require_kb_files(const std::vector<KbArg>& kbs) {
    for (const auto& kb : kbs) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(kb.path, ec)) throw UsageError("--kb: no such file: " + kb.path);
    }
}

int run_read(const ReadOptions& o) {
    require_kb_files(o.kbs);
    const auto inputs = expand_inputs(o.paths);
    const auto model = model_for(o.recognition);
    EngineSession engine(model ? std::vector<KbArg>{} : o.kbs);
    if (!engine.error().empty()) {
        std::fprintf(stderr, "platix: %s\n", engine.error().c_str());
        return 1;
    }
    AnalysisRequest request;
    request.depth = o.depth;
    request.analysis = o.analysis;
    request.io = engine.io();
    request.model = model ? model->get() : nullptr;
    request.recognition = o.recognition;

    // Annotated copies are written by the workers under scratch names and
    // renamed here, in input order, so that equal file names from
    // different folders get NAME.png, NAME-2.png, ... whatever the job
    // count.
    const bool annotate = !o.annotate_dir.empty();
    AnnotationNames names;
    const long run_id = static_cast<long>(::getpid());
    if (annotate) {
        std::error_code ec;
        std::filesystem::create_directories(o.annotate_dir, ec);
        if (!std::filesystem::is_directory(o.annotate_dir, ec)) {
            std::fprintf(stderr, "platix: %s: cannot make the folder\n", o.annotate_dir.c_str());
            return 1;
        }
    }
    const auto work = [&](std::size_t i) {
        if (!annotate) return analyse_file(inputs[i], request);
        AnalysisRequest own = request;
        own.annotate_path = annotation_scratch_path(o.annotate_dir, run_id, i);
        return analyse_file(inputs[i], own);
    };
    const auto place_annotation = [&](std::size_t i, ImageResult& r) {
        const std::string scratch = annotation_scratch_path(o.annotate_dir, run_id, i);
        std::error_code ec;
        if (r.status != ImageStatus::ok) {
            std::filesystem::remove(scratch, ec);
            return;
        }
        const auto target = std::filesystem::path(o.annotate_dir) / names.claim(r.path);
        std::filesystem::rename(scratch, target, ec);
        if (ec) {
            std::filesystem::remove(scratch, ec);
            r.status = ImageStatus::failed;
            r.error = "cannot write the annotated copy: " + target.string();
        }
    };

    if (o.format == OutputFormat::csv) std::fputs(csv_header().c_str(), stdout);
    int failed = 0, skipped = 0;
    ProgressBar bar(inputs.size(), ProgressBar::wanted(o.quiet));
    run_images(
        inputs.size(), o.jobs, work,
        [&](std::size_t i, ImageResult&& r) {
            bar.step();
            if (annotate) place_annotation(i, r);
            if (r.status == ImageStatus::skipped) {
                ++skipped;
                return;
            }
            if (r.status == ImageStatus::failed) {
                ++failed;
                bar.finish();
                std::fprintf(stderr, "platix: %s: %s\n", r.path.c_str(), r.error.c_str());
            }
            std::string out;
            switch (o.format) {
            case OutputFormat::text: out = format_text_line(r); break;
            case OutputFormat::json:
                out = format_json_line(r, o.analysis, o.recognition.region != Region::none);
                break;
            case OutputFormat::csv: out = format_csv_rows(r); break;
            }
            std::fputs(out.c_str(), stdout);
            std::fflush(stdout);
        },
        [&](std::size_t i) { return inputs[i].path; });
    bar.finish();
    if (skipped > 0)
        std::fprintf(stderr, "platix: %d file%s skipped (not images)\n", skipped, skipped == 1 ? "" : "s");
    return failed > 0 ? 1 : 0;
}

}  // namespace platix

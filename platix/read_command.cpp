// platix read: analyse and read images, print one record per image.
#include <cstdio>

#include "commands.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "job_pool.h"
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
    EngineSession engine(o.kbs);
    if (!engine.error().empty()) {
        std::fprintf(stderr, "platix: %s\n", engine.error().c_str());
        return 1;
    }
    AnalysisRequest request;
    request.depth = o.depth;
    request.io = engine.io();
    request.recognition = o.recognition;
    request.annotate_dir = o.annotate_dir;

    if (o.format == OutputFormat::csv) std::fputs(csv_header().c_str(), stdout);
    int failed = 0, skipped = 0;
    ProgressBar bar(inputs.size(), ProgressBar::wanted(o.quiet));
    run_images(
        inputs.size(), o.jobs, [&](std::size_t i) { return analyse_file(inputs[i], request); },
        [&](std::size_t, ImageResult&& r) {
            bar.step();
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
            case OutputFormat::json: out = format_json_line(r); break;
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

// platix read: analyse and read images, print one record per image.
#include <unistd.h>

#include <cstdio>

#include "annotation_names.h"
#include "commands.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "decode/page_loader.h"
#include "default_data.h"
#include "job_pool.h"
#include "kb_check.h"
#include "net_reading.h"
#include "output_format.h"
#include "progress.h"
#include "stdin_copy.h"
#include "walk.h"

#include <filesystem>
#include <memory>

namespace platix {

void require_kb_files(const std::vector<KbArg>& kbs) {
    for (const auto& kb : kbs) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(kb.path, ec)) throw UsageError("--kb: no such file: " + kb.path);
    }
}

int run_read(const ReadOptions& o) {
    // With a model the fields are read by it and no base is loaded.
    const auto model = model_for(o.recognition, !o.kbs.empty(), o.quiet);
    const std::vector<KbArg> kbs = model ? std::vector<KbArg>{} : resolve_kbs(o.kbs, o.quiet);
    require_kb_files(kbs);
    EngineSession engine(kbs);
    if (const int status = refuse_unfit_for_reading(engine, kbs)) return status;
    // Files met in folders that are not images are counted, not read, so
    // that the progress counts images only.
    std::vector<InputFile> inputs;
    int skipped = 0;
    for (auto& in : expand_inputs(o.paths)) {
        if (in.from_folder && !decode::looks_like_image(in.path)) ++skipped;
        else inputs.push_back(std::move(in));
    }
    // "-" is standard input, copied once; its results keep the name "-".
    std::unique_ptr<StdinCopy> piped;
    for (const auto& in : inputs)
        if (in.path == "-" && !piped) piped = std::make_unique<StdinCopy>();
    const auto analyse_input = [&](std::size_t i, const AnalysisRequest& rq) {
        if (inputs[i].path != "-") return analyse_file(inputs[i], rq);
        ImageResult r = analyse_file({piped->path(), false}, rq);
        r.path = "-";
        return r;
    };
    AnalysisRequest request;
    request.depth = o.depth;
    request.analysis = o.analysis;
    request.io = engine.io();
    request.model = model ? model->get() : nullptr;
    request.recognition = o.recognition;
    request.max_pixels = o.max_pixels;

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
        if (!annotate) return analyse_input(i, request);
        AnalysisRequest own = request;
        own.annotate_path = annotation_scratch_path(o.annotate_dir, run_id, i);
        return analyse_input(i, own);
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
    int failed = 0;
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
    if (skipped > 0 && !o.quiet)
        std::fprintf(stderr, "platix: %d file%s skipped (not images)\n", skipped, skipped == 1 ? "" : "s");
    return failed > 0 ? 1 : 0;
}

}  // namespace platix

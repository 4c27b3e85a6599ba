// platix bench: read labelled images and measure how well plates are found
// and read, per folder.
#include <chrono>
#include <cstdio>
#include <fstream>

#include "bench_score.h"
#include "commands.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "job_pool.h"
#include "labels.h"
#include "progress.h"

namespace platix {

int run_bench(const BenchOptions& o) {
    require_kb_files(o.kbs);
    std::vector<std::string> problems;
    const auto labels = collect_labels(o.labels, problems);
    for (const auto& p : problems) std::fprintf(stderr, "platix: %s\n", p.c_str());
    if (labels.empty()) {
        std::fprintf(stderr, "platix: no labelled image found\n");
        return 1;
    }
    EngineSession engine(o.kbs);
    if (!engine.error().empty()) {
        std::fprintf(stderr, "platix: %s\n", engine.error().c_str());
        return 1;
    }
    AnalysisRequest request;
    request.depth = o.depth;
    request.analysis = o.analysis;
    request.io = engine.io();
    request.recognition = o.recognition;

    // Folders in order of first appearance.
    std::vector<std::string> order;
    for (const auto& l : labels)
        if (std::find(order.begin(), order.end(), l.folder) == order.end()) order.push_back(l.folder);

    std::vector<FolderSummary> folders;
    FolderSummary total;
    total.jobs = o.jobs;
    int failed = 0;
    ProgressBar bar(labels.size(), ProgressBar::wanted(o.quiet));
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
                s.add(r, score_plate(r, *mine[i]));
            },
            [&](std::size_t i) { return mine[i]->image_path; });
        s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total.merge(s);
        folders.push_back(std::move(s));
    }
    bar.finish();
    std::fputs(format_bench_table(folders, total).c_str(), stdout);
    if (!o.json_path.empty()) {
        std::ofstream out(o.json_path, std::ios::binary | std::ios::trunc);
        out << format_bench_json(folders, total, o.analysis);
        if (!out) {
            std::fprintf(stderr, "platix: %s: cannot be written\n", o.json_path.c_str());
            return 1;
        }
    }
    return failed > 0 ? 1 : 0;
}

}  // namespace platix

// Time of SEG_analyze_image per image in both analysis modes at depths 1, 3
// and 5, with the worker thread forced on and off: on a synthetic 800 x 600 street scene, and on
// a few labelled photographs of each folder when the folder of plates is
// at hand (those benchmarks are left out otherwise). Each photograph is
// loaded once before timing.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "driver_switches.h"
#include "plate_labels.h"
#include "plate_scene.h"
#include "rasterkit.h"

namespace {

// A page held by the benchmark, installed as the loaded image when used.
struct Page {
    std::string name;
    int columns = 0;
    int lines = 0;
    int bpl = 0;
    int xscale = 1;
    int yscale = 1;
    std::vector<unsigned char> pixels;
};

void install(Page& p) {
    ::videobuffer = p.pixels.data();
    ::MAXCOL = p.columns;
    ::MAXLIN = p.lines;
    ::BPL = p.bpl;
    ::XSCALE = p.xscale;
    ::YSCALE = p.yscale;
}

Page synthetic_scene() {
    samples::SceneOptions o;
    o.width = 800;
    o.height = 600;
    o.seed = 3;
    const testsupport::GrayImage g = samples::to_gray(samples::draw_scene(o));
    Page p;
    p.name = "synthetic";
    p.columns = p.bpl = g.width;
    p.lines = g.height;
    p.pixels = g.pixels;
    return p;
}

// The first `per_folder` photographs of each folder that open, loaded as
// the analysis would see them.
std::vector<Page> photographs(int per_folder) {
    std::vector<Page> pages;
    const std::string base = photos::plates_dir();
    if (base.empty()) return pages;
    for (const char* folder : {"eu", "us", "br"}) {
        int taken = 0;
        for (const photos::LabelledImage& l : photos::labelled_images(base + "/" + folder)) {
            if (taken == per_folder) break;
            SEG_set_image_file(l.image.c_str());
            if (SEG_open_image() != 1 || ::videobuffer == nullptr) continue;
            Page p;
            p.name = l.image;
            p.columns = ::MAXCOL;
            p.lines = ::MAXLIN;
            p.bpl = ::BPL;
            p.xscale = ::XSCALE;
            p.yscale = ::YSCALE;
            p.pixels.assign(::videobuffer, ::videobuffer + static_cast<std::size_t>(p.bpl) * p.lines);
            pages.push_back(std::move(p));
            SEG_close_image();
            ++taken;
        }
    }
    return pages;
}

// One iteration analyses every page of the set; the counter gives the time
// per image.
void analyse_all(benchmark::State& state, std::vector<Page>* pages, int depth, rk::WorkerPlan plan, int mode) {
    rk::set_worker_plan(plan);
    SEG_set_analysis_mode(mode);
    long fields = 0;
    for (auto _ : state) {
        for (Page& p : *pages) {
            SEG_clear_analysis_results();
            install(p);
            benchmark::DoNotOptimize(SEG_analyze_image(depth));
            fields += SEG_get_results_number();
        }
    }
    SEG_clear_analysis_results();
    ::videobuffer = nullptr;
    rk::set_worker_plan(rk::WorkerPlan::automatic);
    SEG_set_analysis_mode(0);
    const double images = static_cast<double>(pages->size());
    state.counters["s/image"] = benchmark::Counter(images, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
    state.counters["fields/image"] =
        benchmark::Counter(static_cast<double>(fields) / (images * static_cast<double>(state.iterations())));
}

}  // namespace

int main(int argc, char** argv) {
    static std::vector<Page> scene{synthetic_scene()};
    static std::vector<Page> photos = photographs(2);
    if (photos.empty()) std::fprintf(stderr, "no folder of labelled plates: photograph benchmarks left out\n");
    for (int mode : {0, 1}) {
        for (int depth : {1, 3, 5}) {
            for (bool worker : {false, true}) {
                const rk::WorkerPlan plan = worker ? rk::WorkerPlan::always : rk::WorkerPlan::never;
                const std::string suffix = std::string(mode == 1 ? "/extended" : "/specified") +
                                           "/depth:" + std::to_string(depth) + (worker ? "/worker" : "/sequential");
                benchmark::RegisterBenchmark(("BM_AnalyseSyntheticScene" + suffix).c_str(), analyse_all, &scene,
                                             depth, plan, mode)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
                if (!photos.empty())
                    benchmark::RegisterBenchmark(("BM_AnalysePhotograph" + suffix).c_str(), analyse_all, &photos,
                                                 depth, plan, mode)
                        ->Unit(benchmark::kMillisecond)
                        ->UseRealTime();
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

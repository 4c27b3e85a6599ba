// Analysed frames per second of platix watch's analyse-and-track path
// (page hand-over, analysis, reading with the bundled knowledge base, the
// passage tracker), without decoding: 1280 x 720 gray frames of a
// synthetic scene sliding 8 pixels per frame, made before timing. The
// frames-per-second counter is the figure; decoding is left out because it
// depends on the codec, not on this code.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_session.h"
#include "plate_scene.h"
#include "watch/frame_reads.h"
#include "watch/tracker.h"

namespace {

constexpr int kWidth = 1280, kHeight = 720, kFrames = 25, kStep = 8;

std::vector<platix::watch::GrayFrame> sliding_frames() {
    samples::SceneOptions o;
    o.width = kWidth - kStep * kFrames;
    o.height = kHeight;
    o.text = "KT 4821";
    o.seed = 7;
    const testsupport::GrayImage scene = samples::to_gray(samples::draw_scene(o));
    std::vector<platix::watch::GrayFrame> frames(kFrames);
    for (int k = 0; k < kFrames; ++k) {
        auto& f = frames[static_cast<std::size_t>(k)];
        f.width = kWidth;
        f.height = kHeight;
        f.index = k;
        f.t = k / 25.0;
        f.pixels.assign(static_cast<std::size_t>(kWidth) * kHeight, 128);
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(&scene.pixels[static_cast<std::size_t>(y) * scene.width], scene.width,
                        &f.pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(k * kStep)]);
    }
    return frames;
}

void BM_WatchAnalyseAndTrack(benchmark::State& state, int depth) {
    platix::EngineSession engine({platix::KbArg{std::string(ORVO_SOURCE_DIR) + "/data/kb/plates.kbf", -1}});
    if (engine.io() == nullptr) {
        state.SkipWithError(("the bundled knowledge base does not load: " + engine.error()).c_str());
        return;
    }
    platix::AnalysisRequest request;
    request.io = engine.io();
    request.depth = depth;
    const auto frames = sliding_frames();
    platix::watch::Tracker tracker;
    long reads = 0, frame_number = 0;
    std::size_t passages = 0;
    for (auto _ : state) {
        const auto& f = frames[static_cast<std::size_t>(frame_number % kFrames)];
        std::vector<platix::watch::PlateRead> found;
        platix::ImageResult result;
        const double t = frame_number / 25.0;
        if (!platix::watch::read_frame(f, t, frame_number, 0, request, found, result)) {
            state.SkipWithError("the page did not open");
            return;
        }
        reads += static_cast<long>(found.size());
        passages += tracker.add_frame(t, found).size();
        ++frame_number;
    }
    passages += tracker.flush().size();
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(frame_number), benchmark::Counter::kIsRate);
    state.counters["reads_per_frame"] = frame_number > 0 ? static_cast<double>(reads) / frame_number : 0;
    state.counters["passages"] = static_cast<double>(passages);
}

BENCHMARK_CAPTURE(BM_WatchAnalyseAndTrack, depth3, 3)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(BM_WatchAnalyseAndTrack, depth1, 1)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

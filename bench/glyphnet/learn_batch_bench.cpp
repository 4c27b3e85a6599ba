// Time to teach a fresh base 200 characters (the 7 glyphs of the test font
// at several sizes and positions): one learning call after the other, each
// rewriting both files, against the same calls inside one learning batch,
// which writes them once. Each call reads its glyph first, as a training
// does.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "glyph_font.h"
#include "glyphnet.h"
#include "orvosys.h"
#include "temp_dir.h"

namespace {

constexpr int kCharacters = 200;

int quiet(void*, const char*, const char*, unsigned) { return OSYS_IDOK; }

// Teaches the characters; returns the number of successful calls.
int teach_all(ocr_io* io) {
    const std::string glyphs = "ABC1238";
    int ok = 0;
    for (int i = 0; i < kCharacters; ++i) {
        const char g = glyphs[static_cast<std::size_t>(i) % glyphs.size()];
        const int scale = 3 + (i / 7) % 5;
        const int x = 6 + (i / 35) % 5;
        gntest::TestBitmap b(5 * scale + 20, 7 * scale + 20);
        gntest::draw_glyph(b, g, x, 10, scale);
        testsupport::show_whole_field(io, b);
        io->kb_index = 1;
        OCR_recognize_field();  // installs the bitmap that learning reads
        const char cls[2] = {g, 0};
        std::snprintf(io->taught_class, sizeof io->taught_class, "%s", cls);
        io->shown_class[0] = '\0';
        std::memset(io->prior_frame, 0, sizeof io->prior_frame);
        ok += OCR_learn_char();
    }
    return ok;
}

void learn(benchmark::State& state, bool batched) {
    osys_set_message_presenter(&quiet, nullptr, nullptr);
    int failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        testsupport::TempDir dir;
        const std::string list = "[0] " + dir.file("bench.kbf") + "\r\n";
        testsupport::write_bytes(dir.file("list.$$$"),
                                 std::vector<std::uint8_t>(list.begin(), list.end()));
        ocr_io* io = OCR_init(dir.file("list.$$$").c_str(), 0);
        state.ResumeTiming();
        if (batched) OCR_begin_learning_batch();
        int ok = teach_all(io);
        if (batched) ok = OCR_end_learning_batch() == 1 ? ok : 0;
        state.PauseTiming();
        if (ok != kCharacters) ++failures;
        OCR_cleanup();
        state.ResumeTiming();
    }
    osys_set_message_presenter(nullptr, nullptr, nullptr);
    if (failures > 0) state.SkipWithError("a learning call failed");
}

void BM_Learn200OneByOne(benchmark::State& state) { learn(state, false); }
void BM_Learn200InABatch(benchmark::State& state) { learn(state, true); }

BENCHMARK(BM_Learn200OneByOne)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Learn200InABatch)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

// Generated scenes at depths 1, 3, 5, both modes and worker plans against digests of a pixel-exact reference.
#include <gtest/gtest.h>

#include <cstdint>

#include "driver_switches.h"
#include "plate_scene.h"
#include "rasterkit.h"

namespace {

// A generated scene, its digest over depths 1, 3, 5 and modes 0, 1, and its number of fields.
struct Page { int width, height; const char* text; std::uint32_t seed; bool colour; std::uint64_t digest; int fields; };

// Recorded from the reference implementation.
const Page kPages[] = {
    {800, 600, "AB 123", 1, true, 0x44ec291a457f5d5eULL, 12},    {800, 600, "KA 4711", 2, true, 0x1f7afa186baab22ULL, 6},
    {800, 600, "XY 99 Z", 3, false, 0x6f4f79aa20b0ac24ULL, 6},   {640, 480, "HH 2024", 4, true, 0xd56b4db86cdf8d88ULL, 6},
    {1024, 400, "B MW 330", 5, false, 0x5f22d0e708caf9d4ULL, 12}, {700, 700, "7ABC123", 6, true, 0x965dad8bdafb2a02ULL, 6},
    {900, 500, "PA51 SYV", 7, true, 0x51a3541838f3dc62ULL, 6},   {600, 800, "002 LUW", 8, false, 0xd8cae8fb389ad5b2ULL, 6},
};

// FNV-1a over every field's rectangle, sizes and bitmap; the number of fields.
std::pair<std::uint64_t, int> analyse(const Page& p) {
    testsupport::GrayImage g = samples::to_gray(samples::draw_scene({p.width, p.height, p.text, p.seed, p.colour}));
    ::videobuffer = g.pixels.data();
    ::MAXCOL = ::BPL = g.width, ::MAXLIN = g.height;
    std::uint64_t hash = 1469598103934665603ULL;
    int fields = 0;
    const auto add = [&hash](const void* data, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ULL;
    };
    for (int depth : {1, 3, 5}) {
        for (int mode : {0, 1}) {
            SEG_clear_analysis_results();
            SEG_set_analysis_mode(mode);
            SEG_analyze_image(depth);
            const int step = depth * 10 + mode;
            add(&step, sizeof step);
            for (const seg_result* r = results; r != nullptr; r = r->next, ++fields) {
                for (int v : {r->left, r->top, r->right, r->bottom, r->columns, r->lines, r->bpl}) add(&v, sizeof v);
                if (r->bitmap != nullptr && r->bpl > 0 && r->lines > 0)
                    add(r->bitmap, static_cast<std::size_t>(r->bpl) * static_cast<std::size_t>(r->lines));
            }
        }
    }
    SEG_clear_analysis_results();
    SEG_set_analysis_mode(0);
    ::videobuffer = nullptr;
    return {hash, fields};
}

}  // namespace

TEST(AnalysisIdentity, GeneratedScenesGiveTheRecordedFieldsAndBitmaps) {
    for (rk::WorkerPlan plan : {rk::WorkerPlan::never, rk::WorkerPlan::always}) {
        rk::set_worker_plan(plan);
        for (const Page& p : kPages) {
            const auto [hash, fields] = analyse(p);
            EXPECT_EQ(hash, p.digest) << p.text << ": 0x" << std::hex << hash;
            EXPECT_EQ(fields, p.fields) << p.text;
        }
    }
    rk::set_worker_plan(rk::WorkerPlan::automatic);
}

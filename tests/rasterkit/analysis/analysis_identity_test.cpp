// Generated scenes at depths 1, 3, 5 in both modes and both worker plans
// against digests recorded from a pixel-by-pixel implementation of every stage.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver_switches.h"
#include "plate_scene.h"
#include "rasterkit.h"

namespace {

struct Digest {
    std::uint64_t hash = 1469598103934665603ULL;
    int fields = 0;
    void add(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            hash ^= b[i];
            hash *= 1099511628211ULL;
        }
    }
    void add(int v) { add(&v, sizeof v); }
};

struct Page {
    int width, height;
    const char* text;
    std::uint32_t seed;
    bool colour;
    std::uint64_t digest;  // over depths 1, 3, 5 and modes 0, 1
    int fields;
};

// Recorded from the reference implementation.
const Page kPages[] = {
    {800, 600, "AB 123", 1, true, 0x44ec291a457f5d5eULL, 12},
    {800, 600, "KA 4711", 2, true, 0x1f7afa186baab22ULL, 6},
    {800, 600, "XY 99 Z", 3, false, 0x6f4f79aa20b0ac24ULL, 6},
    {640, 480, "HH 2024", 4, true, 0xd56b4db86cdf8d88ULL, 6},
    {1024, 400, "B MW 330", 5, false, 0x5f22d0e708caf9d4ULL, 12},
    {700, 700, "7ABC123", 6, true, 0x965dad8bdafb2a02ULL, 6},
    {900, 500, "PA51 SYV", 7, true, 0x51a3541838f3dc62ULL, 6},
    {600, 800, "002 LUW", 8, false, 0xd8cae8fb389ad5b2ULL, 6},
};

Digest analyse(const Page& p) {
    samples::SceneOptions o;
    o.width = p.width;
    o.height = p.height;
    o.text = p.text;
    o.seed = p.seed;
    o.colour = p.colour;
    testsupport::GrayImage g = samples::to_gray(samples::draw_scene(o));
    ::videobuffer = g.pixels.data();
    ::MAXCOL = g.width;
    ::MAXLIN = g.height;
    ::BPL = g.width;
    Digest d;
    for (int depth : {1, 3, 5}) {
        for (int mode : {0, 1}) {
            SEG_clear_analysis_results();
            SEG_set_analysis_mode(mode);
            SEG_analyze_image(depth);
            d.add(depth * 10 + mode);
            for (const seg_result* r = results; r != nullptr; r = r->next) {
                ++d.fields;
                for (int v : {r->left, r->top, r->right, r->bottom, r->columns, r->lines, r->bpl}) d.add(v);
                if (r->bitmap != nullptr && r->bpl > 0 && r->lines > 0)
                    d.add(r->bitmap, static_cast<std::size_t>(r->bpl) * static_cast<std::size_t>(r->lines));
            }
        }
    }
    SEG_clear_analysis_results();
    SEG_set_analysis_mode(0);
    ::videobuffer = nullptr;
    return d;
}

}  // namespace

TEST(AnalysisIdentity, GeneratedScenesGiveTheRecordedFieldsAndBitmaps) {
    for (rk::WorkerPlan plan : {rk::WorkerPlan::never, rk::WorkerPlan::always}) {
        rk::set_worker_plan(plan);
        int fields = 0;
        for (const Page& p : kPages) {
            const Digest d = analyse(p);
            fields += d.fields;
            EXPECT_EQ(d.hash, p.digest) << p.text << ": {" << p.width << ", " << p.height << ", \"" << p.text << "\", "
                                        << p.seed << ", " << (p.colour ? "true" : "false") << ", 0x" << std::hex
                                        << d.hash << std::dec << "ULL, " << d.fields << "},";
            EXPECT_EQ(d.fields, p.fields) << p.text;
        }
        EXPECT_GT(fields, 8 * 6) << "the scenes must give fields to compare";
    }
    rk::set_worker_plan(rk::WorkerPlan::automatic);
}

// Blob filters of both modes on rows of rings: specks, frames, bars, poles, glued characters, limits, memory failures.
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "blobs.h"
#include "labelling.h"
#include "zero_alloc.h"

namespace {

// An "O" with strokes 3 thick, or a "C" without its right stroke.
struct Ring { int l, t, w, h; bool open; };
struct Rect { int l, t, r, b; };
struct Scene { int w, h; std::vector<Ring> rings; std::vector<Rect> ink; };
struct Probe { int x, y, ink; };

// n rings w x h at a pitch from column l, top t.
std::vector<Ring> row(int n, int l, int pitch, int t, int w = 12, int h = 24, bool open = false) {
    std::vector<Ring> v;
    for (int i = 0; i < n; ++i) v.push_back({l + pitch * i, t, w, h, open});
    return v;
}
std::vector<Rect> box(int l, int t, int r, int b, int thick) {
    return {{l, t, r, t + thick - 1}, {l, b - thick + 1, r, b}, {l, t, l + thick - 1, b}, {r - thick + 1, t, r, b}};
}
template <class T>
std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) { a.insert(a.end(), b.begin(), b.end()); return a; }

const std::vector<Ring> kFive = row(5, 25, 20, 8);       // on 150 x 40, rows 8..31
const std::vector<Ring> kSeven = row(7, 10, 20, 5, 14);  // on 160 x 34
const std::vector<Rect> kFrame = box(0, 1, 149, 38, 2) + std::vector<Rect>{{0, 1, 2, 38}, {147, 1, 149, 38}};
// The first ring glued to the left frame bar.
const Scene kGluedToFrame{150, 40, kFive, kFrame + std::vector<Rect>{{3, 19, 24, 21}}};

class Blobs : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    void TearDown() override { reset(); }
    void reset() { orvo::alloc_fail_at(0); rk::free_runs(a); rk::free_objectbitmap(a); }
    void draw(const Scene& s) {
        rktest::blank_bitmap(a, s.w, s.h);
        std::vector<Rect> ink = s.ink;
        for (const Ring& g : s.rings) {
            const std::vector<Rect> sides = box(g.l, g.t, g.l + g.w - 1, g.t + g.h - 1, 3);  // top, bottom, left, right
            ink.insert(ink.end(), sides.begin(), sides.end() - (g.open ? 1 : 0));
        }
        for (const Rect& r : ink) rktest::ink_rect(a, r.l, r.t, r.r, r.b);
    }
};

TEST_F(Blobs, ScenesLeaveTheExpectedInk) {
    // The middle ring replaced by one 12 x h.
    const auto short_ring = [](int h) {
        std::vector<Ring> v = kFive;
        v[2] = {65, 10, 12, h, false};
        return Scene{150, 40, v, {}};
    };
    std::vector<Rect> strokes;
    for (int i = 0; i < 5; ++i) strokes.push_back({40 + 8 * i, 8, 43 + 8 * i, 31});
    std::vector<Probe> arm{{20, 30, 1}}, below{{47, 35, 1}};
    for (int x = 0; x <= 16; ++x) arm.insert(arm.end(), {{x, 30, 0}, {x, 31, 0}});
    for (int y = 36; y <= 44; ++y) below.push_back({47, y, 0});
    const std::vector<Probe> top_bottom = {{5, 0, 0}, {27, 0, 0}, {50, 0, 0}, {5, 19, 0}, {27, 19, 0}, {50, 19, 0}};
    const Rect edge{0, 5, 2, 44}, tie{3, 20, 9, 22};  // a frame edge at columns 0-2, tied on rows 20-22
    const struct { const char* what; std::vector<int> modes; Scene scene; int result, components; std::vector<Probe> probes; }
        cases[] = {
        // Mode 0 splits the glued ring: the rows shared with the frame go with it.
        {"split from the frame", {0}, kGluedToFrame, 1, 5, {{25, 20, 0}, {25, 18, 1}, {35, 20, 1}, {1, 20, 0}}},
        {"lost with the frame", {1}, kGluedToFrame, 1, 4, {{30, 9, 0}}},
        {"specks, frame and underline dropped", {0, 1},
         {150, 40, kFive, kFrame + std::vector<Rect>{{10, 5, 11, 6}, {30, 33, 120, 35}}}, 1, 5,
         {{10, 5, 0}, {1, 20, 0}, {60, 34, 0}, {26, 20, 1}}},
        {"thin frame", {0, 1}, {160, 34, kSeven, box(3, 1, 156, 32, 1)}, 1, 7, {{80, 1, 0}}},
        {"solid bar", {1}, {160, 34, kSeven, {{148, 8, 157, 25}}}, 1, 7, {{150, 15, 0}}},
        {"tall pole kept", {0}, {150, 40, kFive, {{59, 5, 61, 34}}}, 1, 6, {{60, 5, 1}}},
        {"tall pole erased", {1}, {150, 40, kFive, {{59, 5, 61, 34}}}, 1, 5, {{60, 5, 0}}},
        {"one-pixel line", {0}, {150, 40, kFive, {{37, 19, 44, 19}}}, 1, 5, {{40, 19, 0}}},
        // 100 x 40, between 1.5 and 3 times as wide as high: cut at the row band.
        {"taller than the row", {0}, {100, 40, row(5, 10, 16, 8), {{42, 32, 53, 35}}}, 1, 5,
         {{47, 32, 0}, {47, 33, 0}, {47, 34, 0}, {47, 35, 0}, {47, 31, 1}}},
        {"long bitmap keeps the bar", {0}, {130, 40, row(5, 10, 16, 8), {{42, 32, 53, 35}}}, 1, 5, {{47, 34, 1}}},
        {"20 high fails the height filter", {0}, short_ring(20), 1, 4, {{65, 15, 0}}},
        {"21 x 21 = 441 >= 420 passes", {0}, short_ring(21), 1, 5, {}},
        {"plain strokes", {0}, {125, 40, {}, strokes}, 1, 5, {}},
        {"plain strokes", {1}, {125, 40, {}, strokes}, 0, 0, {}},
        {"a row in the left part", {1}, {250, 40, kFive, {}}, 0, 0, {}},
        {"gaps of 24 >= 3/2 of the width", {1}, {150, 40, row(4, 10, 36, 8), {}}, 0, 0, {}},
        {"ink only in the top and bottom rows", {0, 1}, {60, 20, {}, {{5, 0, 50, 0}, {5, 19, 50, 19}}}, 0, 0,
         top_bottom},
        {"a single character", {0, 1}, {150, 40, row(1, 60, 0, 8), {}}, 0, 0, {}},
        // The second's bottom moves to (29 + 28) / 2 = 28, so the first (ending at 25) stays.
        {"next bottom moves to the pair mean", {1},
         {160, 34, row(1, 10, 0, 5, 14, 21) + row(1, 30, 0, 5, 14, 25) + row(5, 50, 20, 5, 14), {}}, 1, 7,
         {{11, 20, 1}}},
        {"glued to a stroke below the row", {0}, {100, 50, row(5, 10, 18, 12), {{46, 36, 48, 44}}}, 1, 5, below},
        // Open characters: no short-run relabelling, the split ring's own stroke is redrawn.
        {"glued to the frame edge, redrawn", {0}, {100, 50, row(5, 10, 18, 12, 12, 24, true), {edge, tie}}, 1, 5,
         {{1, 30, 0}, {5, 21, 0}, {11, 20, 1}, {11, 21, 1}, {11, 22, 1}}},
        // Closed characters are relabelled first: the tied rows stay blank.
        {"glued to the frame edge, relabelled", {0}, {100, 50, row(5, 10, 18, 12), {edge, tie}}, 1, 5,
         {{5, 21, 0}, {11, 20, 0}, {11, 21, 0}, {11, 22, 0}, {11, 19, 1}}},
        {"few labels: nothing split", {0}, {100, 50, row(4, 10, 18, 12), {edge, tie}}, 1, 3, {{11, 30, 0}}},
        // A frame arm across a character's inside must not come back as a stub.
        {"frame arm across a character", {0}, {100, 50, row(5, 10, 18, 12), {edge, {3, 30, 16, 31}}}, 1, 5, arm},
    };
    for (const auto& c : cases)
        for (int mode : c.modes) {
            SCOPED_TRACE(std::string(c.what) + ", mode " + std::to_string(mode));
            draw(c.scene);
            EXPECT_EQ(rk::analyze_blobs(a, mode), c.result);
            EXPECT_EQ(a.n_components, c.components);
            for (const Probe& p : c.probes) EXPECT_EQ(rk::pixel_is_ink(a, p.x, p.y), p.ink) << p.x << "," << p.y;
            EXPECT_TRUE(a.runlist == nullptr && a.componenttable == nullptr);  // the working tables are freed
            reset();
        }
}

TEST_F(Blobs, EveryFailedAllocationEndsCleanly) {
    draw(kGluedToFrame);
    ASSERT_EQ(rk::analyze_blobs(a, 0), 1);
    const long n = orvo::alloc_count();
    reset();
    for (long k = 2; k <= n; ++k) {
        draw(kGluedToFrame);
        orvo::alloc_fail_at(k);
        const int r = rk::analyze_blobs(a, 0);
        orvo::alloc_fail_at(0);
        // 0 after a failed labelling or table (2: the first row index); 4 without the side split's optional array.
        EXPECT_TRUE(r == 0 ? a.n_components == 0 && a.runlist == nullptr && a.rowindex == nullptr
                           : (a.n_components == 5 || a.n_components == 4) && k != 2) << k;
        EXPECT_EQ(a.componenttable, nullptr);
        reset();
    }
}

}  // namespace

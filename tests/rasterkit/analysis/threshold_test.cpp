// Threshold estimation: the gray threshold from the edge histograms, the
// polarity vote, the per-row thresholds of wide rectangles, and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bitmap_draw.h"
#include "localise.h"
#include "zero_alloc.h"

namespace {

struct Bars {
    int t, b;
    unsigned char v;
};
struct Span {
    int from, to, v;  // rows from .. to - 1 take v
};

class ThresholdEstimate : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    rktest::Gray g{300, 80, 230};
    void TearDown() override { reset(); }
    void reset() {
        orvo::alloc_fail_at(0);
        orvo::zero_free(a.rowthresholds);
        a.rowthresholds = nullptr;
    }
    // Seven bars of 8 columns at x = 60, 80, ..., 180 on each band.
    void draw(unsigned char background, const std::vector<Bars>& bands, int edge = 20) {
        g = rktest::Gray(300, 80, background);
        for (const Bars& s : bands)
            for (int i = 0; i < 7; ++i) g.fill(60 + 20 * i, s.t, 67 + 20 * i, s.b, s.v);
        a.image = g.px.data();
        a.image_bpl = g.w;
        a.edgethreshold = edge;
    }
};

TEST_F(ThresholdEstimate, ThresholdPolarityAndRowThresholds) {
    struct Case {
        const char* what;
        unsigned char background;
        std::vector<Bars> bands;
        int edge;
        rk::Rect r;
        int threshold, polarity;
        std::vector<Span> rows;  // empty: no row thresholds
    } const cases[] = {
        // Steps 200/40 give pair means 200, 120 and 40 only: the sides touch at 120.
        {"two levels, 199 < 3 x 79 wide", 200, {{20, 39, 40}}, 20, {40, 0, 239, 79}, 120, 1, {}},
        // Dark mean 86, bright 214: t = 150, m = 157, lowered by 9; rows lowered by 5.
        {"overlapping sides lower a dark-on-light threshold", 230, {{20, 39, 40}, {45, 54, 130}}, 20,
         {20, 10, 259, 69}, 141, 1, {{0, 60, 136}, {10, 30, 130}, {35, 45, 175}}},
        // t = 101, m = 110, e = 9 added back; rows raised by 2 (85 + 17 reaches 101).
        {"light on dark gets the lowering back", 40, {{20, 29, 230}, {35, 54, 130}}, 20, {20, 10, 259, 69},
         101, 0, {{0, 10, 103}, {10, 20, 137}, {30, 45, 87}}},
        {"row thresholds from 3 x the height", 230, {{20, 39, 40}}, 20, {20, 10, 200, 70}, -1, 1,
         {{0, 0, 0}}},
        {"179 wide: none", 230, {{20, 39, 40}}, 20, {20, 10, 199, 70}, -1, 1, {}},
        // Edge threshold 135: edge-free rows 3 .. 9 above the first 135 row take 135 too.
        {"edge-free top rows", 230, {{20, 39, 40}, {45, 54, 60}}, 135, {20, 10, 259, 69}, 145, 1,
         {{0, 60, 140}, {3, 30, 130}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        draw(c.background, c.bands, c.edge);
        ASSERT_EQ(rk::estimate_threshold(a, c.r), 1);
        if (c.threshold >= 0) { EXPECT_EQ(a.graythreshold, c.threshold); }
        EXPECT_EQ(a.polarity, c.polarity);
        ASSERT_EQ(a.rowthresholds != nullptr, !c.rows.empty());
        std::vector<int> want(60, -1);  // later spans override earlier ones
        for (const Span& s : c.rows) std::fill(want.begin() + s.from, want.begin() + s.to, s.v);
        for (int k = 0; k < 60; ++k)
            if (want[k] >= 0) { EXPECT_EQ(a.rowthresholds[k], want[k]) << k; }
        reset();
    }
}

TEST_F(ThresholdEstimate, WithoutMemoryForRowThresholdsTheGlobalOneStands) {
    draw(230, {{20, 39, 40}, {45, 54, 130}});
    orvo::alloc_fail_at(1);
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 1);
    EXPECT_EQ(a.graythreshold, 141);
    EXPECT_EQ(a.rowthresholds, nullptr);
}

TEST_F(ThresholdEstimate, RejectsUniformInkOnlyAtTheEdgeAndOutsideRectangles) {
    draw(230, {});
    EXPECT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 0);
    g.fill(20, 10, 30, 69, 40);  // a dark band at the left edge only
    EXPECT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 0);
    draw(230, {{20, 39, 40}});
    for (const rk::Rect r : {rk::Rect{-1, 10, 259, 49}, rk::Rect{20, 10, 300, 49}, rk::Rect{20, 49, 259, 10}})
        EXPECT_EQ(rk::estimate_threshold(a, r), 0) << r.left << "," << r.right << "," << r.top;
    EXPECT_EQ(a.rowthresholds, nullptr);
}

}  // namespace

// Threshold estimation: memory failure and refusals (the recorded digests of
// the pipeline check the threshold arithmetic itself).
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "localise.h"
#include "zero_alloc.h"

namespace {

struct Bars {
    int t, b;
    unsigned char v;
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

// Threshold estimation: the gray threshold from the edge histograms, the
// polarity votes on dark-on-light and light-on-dark plates, uniform
// rectangles, and the per-row thresholds of wide rectangles.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "localise.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

class ThresholdEstimate : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    Gray g{300, 80, 230};
    void SetUp() override { a.edgethreshold = 20; }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        orvo::zero_free(a.rowthresholds);
        a.rowthresholds = nullptr;
    }
    void use() {
        a.image = g.px.data();
        a.image_bpl = g.w;
    }
    // Seven bars of 8 columns at x = 60, 80, ..., 180 on rows t .. b.
    void bars(int t, int b, unsigned char v) {
        for (int i = 0; i < 7; ++i) g.fill(60 + 20 * i, t, 67 + 20 * i, b, v);
    }
    std::vector<int> rows(int n) const { return std::vector<int>(a.rowthresholds, a.rowthresholds + n); }
};

TEST_F(ThresholdEstimate, TwoGrayLevelsSplitAtTheStepMeanDarkOnLight) {
    g = Gray(300, 80, 200);
    bars(20, 39, 40);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {40, 0, 239, 79}), 1);
    // Every step 200/40 yields pair means 200, 120 and 40 only: the sides
    // just touch at 120.
    EXPECT_EQ(a.graythreshold, 120);
    EXPECT_EQ(a.polarity, 1);
    EXPECT_EQ(a.rowthresholds, nullptr);  // 199 < 3 x 79
}

TEST_F(ThresholdEstimate, LightOnDarkHasPolarityZero) {
    g = Gray(300, 80, 40);
    bars(20, 39, 230);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 49}), 1);
    EXPECT_EQ(a.graythreshold, 135);
    EXPECT_EQ(a.polarity, 0);
}

TEST_F(ThresholdEstimate, OverlappingSidesLowerTheThresholdOfADarkOnLightPlate) {
    // Steps 230/40 (pair means 135) on 20 rows, steps 230/130 (180) on 10:
    // dark mean 86, bright mean 214, t = 150, m = 157, lowered by 9.
    bars(20, 39, 40);
    bars(45, 54, 130);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 1);
    EXPECT_EQ(a.polarity, 1);
    EXPECT_EQ(a.graythreshold, 141);
    ASSERT_NE(a.rowthresholds, nullptr);
    // Rows with no edge take 141, rows of the bars their own step mean
    // (135 and 180); polarity 1 then lowers each by 5.
    std::vector<int> want(60, 136);
    for (int k = 10; k < 30; ++k) want[k] = 130;
    for (int k = 35; k < 45; ++k) want[k] = 175;
    EXPECT_EQ(rows(60), want);
}

TEST_F(ThresholdEstimate, ALightOnDarkPlateGetsTheLoweringBack) {
    // Steps 40/230 on 10 rows and 40/130 on 20: t = 101, m = 110, e = 9;
    // polarity 0 adds e back.
    g = Gray(300, 80, 40);
    bars(20, 29, 230);
    bars(35, 54, 130);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 1);
    EXPECT_EQ(a.polarity, 0);
    EXPECT_EQ(a.graythreshold, 101);
    ASSERT_NE(a.rowthresholds, nullptr);
    // Polarity 0 raises row thresholds by 2: 101 -> 103, the 230 rows'
    // 135 -> 137, and the 130 rows' 85 -> 87 (85 + 17 reaches 101).
    EXPECT_EQ(a.rowthresholds[0], 103);
    EXPECT_EQ(a.rowthresholds[10], 137);
    EXPECT_EQ(a.rowthresholds[30], 87);
}

TEST_F(ThresholdEstimate, UniformRectangleIsRejected) {
    use();
    EXPECT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 0);
    EXPECT_EQ(a.rowthresholds, nullptr);
}

TEST_F(ThresholdEstimate, RectangleWithInkOnlyOutsideTheInteriorIsRejected) {
    g.fill(20, 10, 30, 69, 40);  // a dark band at the left edge only
    use();
    EXPECT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 0);
}

TEST_F(ThresholdEstimate, RowThresholdsStartAtThreeTimesTheHeight) {
    bars(20, 39, 40);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 200, 70}), 1);  // 180 = 3 x 60
    EXPECT_NE(a.rowthresholds, nullptr);
    orvo::zero_free(a.rowthresholds);
    a.rowthresholds = nullptr;
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 199, 70}), 1);  // 179
    EXPECT_EQ(a.rowthresholds, nullptr);
}

TEST_F(ThresholdEstimate, EdgeFreeTopRowsTakeTheEdgeThresholdNearTheFirstEdgeRow) {
    // With edge threshold 135 only the middle pairs of a step count: rows of
    // the 40 bars give 135 (= the edge threshold), rows of the 60 bars 145,
    // which is the global threshold, like the rows without edges. Rows 3
    // to 9 before the first 135 row take 135 as well.
    a.edgethreshold = 135;
    bars(20, 39, 40);
    bars(45, 54, 60);
    use();
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 1);
    EXPECT_EQ(a.graythreshold, 145);
    EXPECT_EQ(a.polarity, 1);
    ASSERT_NE(a.rowthresholds, nullptr);
    std::vector<int> want(60, 140);
    for (int k = 3; k < 30; ++k) want[k] = 130;
    EXPECT_EQ(rows(60), want);
}

TEST_F(ThresholdEstimate, WithoutMemoryForRowThresholdsTheGlobalOneStands) {
    bars(20, 39, 40);
    bars(45, 54, 130);
    use();
    orvo::alloc_fail_at(1);
    ASSERT_EQ(rk::estimate_threshold(a, {20, 10, 259, 69}), 1);
    EXPECT_EQ(a.graythreshold, 141);
    EXPECT_EQ(a.rowthresholds, nullptr);
}

TEST_F(ThresholdEstimate, RectanglesOutsideTheImageRowAreRejected) {
    bars(20, 39, 40);
    use();
    EXPECT_EQ(rk::estimate_threshold(a, {-1, 10, 259, 49}), 0);
    EXPECT_EQ(rk::estimate_threshold(a, {20, 10, 300, 49}), 0);
    EXPECT_EQ(rk::estimate_threshold(a, {20, 49, 259, 10}), 0);
}

}  // namespace

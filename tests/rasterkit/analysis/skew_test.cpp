// Skew and slant estimates on drawn rows of characters, their angle limits
// and the fallbacks when memory runs out.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "bitmap_draw.h"
#include "labelling.h"
#include "skew.h"
#include "zero_alloc.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

class SkewTest : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    double skew = 99.0, slant = 99.0;

    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
    // A character w x h whose rows shift right by lean x (rows above the bottom) / (h - 1).
    void glyph(int l, int t, int w, int h, int lean) {
        for (int y = t; y < t + h; ++y) {
            const int shift = lean * (t + h - 1 - y) / (h - 1);
            rktest::ink_rect(a, l + shift, y, l + shift + w - 1, y);
        }
    }
    // `n` 12 x 30 characters at a pitch of 20 whose tops descend by `angle` degrees.
    void tilted_row(int n, double angle, int lean = 0, int top = 30) {
        rktest::blank_bitmap(a, 40 + 20 * n, 90);
        for (int i = 0; i < n; ++i)
            glyph(20 + 20 * i, top + static_cast<int>(std::lround(20 * i * std::tan(angle * kDeg))), 12,
                  30, lean);
    }
    int run() { return rk::estimate_skew(a, &skew, &slant); }
    // Allocations made by labelling and the component table.
    long labelling_allocations() {
        orvo::alloc_fail_at(0);
        EXPECT_EQ(rk::label_bitmap(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1), 1);
        EXPECT_EQ(rk::build_component_table(a), 1);
        const long n = orvo::alloc_count();
        rk::free_runs(a);
        return n;
    }
};

TEST_F(SkewTest, UprightLevelRowIsLeftAloneWithNeitherAngle) {
    tilted_row(8, 0.0);
    const auto before = rktest::picture(a);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(skew, 0.0);
    EXPECT_EQ(slant, 0.0);
    EXPECT_EQ(rktest::picture(a), before);
    EXPECT_EQ(a.runblock, nullptr);
    EXPECT_EQ(a.componenttable, nullptr);
}

TEST_F(SkewTest, TiltedRowsGiveTheirSkew) {
    for (const auto& [angle, top] : {std::pair{3.0, 30}, std::pair{-5.0, 50}}) {
        tilted_row(8, angle, 0, top);
        EXPECT_EQ(run(), 1) << angle;
        EXPECT_NEAR(skew, angle * kDeg, 0.5 * kDeg) << angle;
        EXPECT_EQ(slant, 0.0);
        rk::free_objectbitmap(a);
    }
}

// Upright 12 x 30 characters at the given top-left corners, and the skew they must give.
TEST_F(SkewTest, PairAnglesOfPlacedCharacters) {
    struct Case {
        const char* what;
        int width, height;
        std::vector<std::pair<int, int>> corners;
        int result;
        double skew;
    } const cases[] = {
        {"blank", 100, 40, {}, 0, 0.0},
        {"one pair", 260, 90, {{20, 20}, {120, 37}}, 1, std::atan2(17.0, 100.0)},
        {"evenly tilted row", 360, 90, {{20, 20}, {120, 25}, {220, 30}}, 1, std::atan2(5.0, 100.0)},
        {"largest and smallest left out", 360, 90, {{20, 20}, {120, 25}, {220, 35}}, 1,
         std::atan2(15.0, 200.0)},
        // The three equal largest go; the one left is not removed again as the smallest.
        {"last angle left is kept", 420, 90, {{20, 10}, {120, 20}, {220, 30}, {320, 30}}, 1,
         std::atan2(20.0, 300.0)},
        {"35 degrees rejected", 260, 130, {{20, 10}, {120, 80}}, 0, 0.0},
        {"0.30 degrees rejected", 420, 90, {{20, 20}, {211, 21}}, 0, 0.0},
        {"0.44 degrees kept", 300, 90, {{20, 20}, {150, 21}}, 1, std::atan2(1.0, 130.0)},
        // A character wholly above another gives no point (it would cancel the skew).
        {"stacked characters", 260, 130, {{20, 80}, {120, 10}, {122, 85}}, 1, std::atan2(5.0, 102.0)},
    };
    for (const Case& c : cases) {
        rktest::blank_bitmap(a, c.width, c.height);
        for (const auto& [x, t] : c.corners) glyph(x, t, 12, 30, 0);
        skew = 99.0;
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_DOUBLE_EQ(skew, c.skew) << c.what;
        rk::free_objectbitmap(a);
    }
}

TEST_F(SkewTest, LeaningCharactersGiveTheirSlant) {
    struct Case {
        const char* what;
        int n, lean, result;
        double slant;
    } const cases[] = {
        {"one character gives a third", 1, 3, 1, std::atan2(3.0, 29.0) / 3.0},
        {"a third below 1.5 degrees is not reported", 1, 2, 0, 0.0},
        {"a row gives its angle", 6, 5, 1, std::atan2(5.0, 29.0)},
        {"leaning left is negative", 5, -4, 1, std::atan2(-4.0, 29.0)},
    };
    for (const Case& c : cases) {
        rktest::blank_bitmap(a, 200, 90);
        for (int i = 0; i < c.n; ++i) {
            const int x = c.lean < 0 ? 20 + 30 * i : 20 + 20 * i;
            if (c.lean >= 0) {
                glyph(x, 30, c.n == 1 ? 14 : 12, 30, c.lean);
            } else {
                for (int y = 30; y < 60; ++y) {
                    const int shift = -c.lean * (y - 30) / 29;
                    rktest::ink_rect(a, x + shift, y, x + shift + 13, y);
                }
            }
        }
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_EQ(skew, 0.0) << c.what;
        EXPECT_DOUBLE_EQ(slant, c.slant) << c.what;
        rk::free_objectbitmap(a);
    }
}

TEST_F(SkewTest, LabellingTableOrBoxFailureGivesZeroAndBothZero) {
    tilted_row(8, 3.0, 5);
    const long n = labelling_allocations();
    ASSERT_GE(n, 2);
    for (long k = 1; k <= n + 1; ++k) {
        orvo::alloc_fail_at(k);
        skew = slant = 99.0;
        EXPECT_EQ(run(), 0) << k;
        EXPECT_TRUE(skew == 0.0 && slant == 0.0) << k;
        EXPECT_EQ(a.runblock, nullptr) << k;
        EXPECT_EQ(a.componenttable, nullptr) << k;
    }
}

TEST_F(SkewTest, PointPairOrSlantListFailureSkipsOnlyItsAngle) {
    tilted_row(8, 3.0, 5);
    double full = 0.0, unused = 0.0;
    ASSERT_EQ(rk::estimate_skew(a, &full, &unused), 1);
    ASSERT_NE(full, 0.0);
    const long n = labelling_allocations();
    for (long k : {n + 2, n + 3, n + 4}) {
        orvo::alloc_fail_at(k);
        EXPECT_EQ(run(), 1) << k;
        EXPECT_DOUBLE_EQ(skew, k == n + 4 ? full : 0.0) << k;
        EXPECT_DOUBLE_EQ(slant, k == n + 4 ? 0.0 : std::atan2(5.0, 29.0)) << k;
    }
}

}  // namespace

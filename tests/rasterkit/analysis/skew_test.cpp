// Skew and slant estimates on drawn rows of characters: tilted rows,
// leaning characters, the angle limits and the fallbacks when memory runs
// out.
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
    double skew = 99.0;
    double slant = 99.0;

    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
    // A character w wide and h high whose rows are shifted right by
    // `lean` x (rows above the bottom) / (h - 1) pixels (integer).
    void glyph(int l, int t, int w, int h, int lean) {
        for (int y = t; y < t + h; ++y) {
            const int shift = lean * (t + h - 1 - y) / (h - 1);
            rktest::ink_rect(a, l + shift, y, l + shift + w - 1, y);
        }
    }
    // `n` upright 12 x 30 characters at a pitch of 20 whose tops descend
    // by `angle` (degrees) to the right, on a 200 x 90 field.
    void tilted_row(int n, double angle, int lean = 0) {
        rktest::blank_bitmap(a, 40 + 20 * n, 90);
        for (int i = 0; i < n; ++i) {
            const int x = 20 + 20 * i;
            const int t = 30 + static_cast<int>(std::lround((x - 20) * std::tan(angle * kDeg)));
            glyph(x, t, 12, 30, lean);
        }
    }
    int run() { return rk::estimate_skew(a, &skew, &slant); }
};

TEST_F(SkewTest, UprightLevelRowHasNeitherSkewNorSlant) {
    tilted_row(8, 0.0);
    const auto before = rktest::picture(a);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(skew, 0.0);
    EXPECT_EQ(slant, 0.0);
    EXPECT_EQ(rktest::picture(a), before);
    EXPECT_EQ(a.runblock, nullptr);
    EXPECT_EQ(a.componenttable, nullptr);
}

TEST_F(SkewTest, RowDescendingToTheRightGivesPositiveSkew) {
    tilted_row(8, 3.0);
    EXPECT_EQ(run(), 1);
    EXPECT_NEAR(skew, 3.0 * kDeg, 0.5 * kDeg);
    EXPECT_EQ(slant, 0.0);
}

TEST_F(SkewTest, RowRisingToTheRightGivesNegativeSkew) {
    rktest::blank_bitmap(a, 200, 90);
    for (int i = 0; i < 8; ++i) {
        const int x = 20 + 20 * i;
        glyph(x, 50 - static_cast<int>(std::lround((x - 20) * std::tan(5.0 * kDeg))), 12, 30, 0);
    }
    EXPECT_EQ(run(), 1);
    EXPECT_NEAR(skew, -5.0 * kDeg, 0.5 * kDeg);
}

// Upright 12 x 30 characters at the given top-left corners, and the skew
// they must give (0 and result 0 when every pair is rejected).
struct Placement {
    const char* what;
    int width, height;
    std::vector<std::pair<int, int>> corners;
    int result;
    double skew;
};

const Placement kPlacements[] = {
    // Centres 100 apart, 17 lower.
    {"two characters give their pair angle", 260, 90, {{20, 20}, {120, 37}}, 1, std::atan2(17.0, 100.0)},
    // Three characters 100 apart, each 5 lower: all pair angles agree.
    {"an evenly tilted row", 360, 90, {{20, 20}, {120, 25}, {220, 30}}, 1, std::atan2(5.0, 100.0)},
    // Steps of 5 and 10: of 5/100, 10/100 and 15/200 only the middle one stays.
    {"largest and smallest pair angles left out", 360, 90, {{20, 20}, {120, 25}, {220, 35}}, 1,
     std::atan2(15.0, 200.0)},
    // Three in a line 10 lower every 100 columns and a fourth level with the
    // third (its flat pair is rejected): the three equal 10/100 angles are
    // the largest and go; the one left, 20/300, is not removed again as the
    // smallest.
    {"the last angle left is kept", 420, 90, {{20, 10}, {120, 20}, {220, 30}, {320, 30}}, 1,
     std::atan2(20.0, 300.0)},
    // atan(70 / 100) = 35 degrees.
    {"a pair of 35 degrees is rejected", 260, 130, {{20, 10}, {120, 80}}, 0, 0.0},
    // 1 in 191: 0.30 degrees.
    {"a pair below 0.4 degrees is rejected", 420, 90, {{20, 20}, {211, 21}}, 0, 0.0},
    // 1 in 130: 0.44 degrees.
    {"a pair just above 0.4 degrees is kept", 300, 90, {{20, 20}, {150, 21}}, 1, std::atan2(1.0, 130.0)},
    // The upper of two stacked characters would turn two of the three pairs
    // into steep, rejected ones and so cancel the skew; it gives no point,
    // and the centres (25, 94) and (127, 99) give their pair angle.
    {"a character wholly above another gives no point", 260, 130, {{20, 80}, {120, 10}, {122, 85}}, 1,
     std::atan2(5.0, 102.0)},
};

TEST_F(SkewTest, PairAnglesOfPlacedCharacters) {
    for (const Placement& c : kPlacements) {
        rktest::blank_bitmap(a, c.width, c.height);
        for (const auto& [x, t] : c.corners) glyph(x, t, 12, 30, 0);
        skew = 99.0;
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_DOUBLE_EQ(skew, c.skew) << c.what;
        rk::free_objectbitmap(a);
    }
}

TEST_F(SkewTest, SingleLeaningCharacterGivesAThirdOfItsAngle) {
    rktest::blank_bitmap(a, 80, 90);
    glyph(20, 30, 14, 30, 3);  // top row 3 pixels right of the bottom row
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(skew, 0.0);
    EXPECT_DOUBLE_EQ(slant, std::atan2(3.0, 29.0) / 3.0);
}

TEST_F(SkewTest, RowOfLeaningCharactersGivesTheirAngle) {
    tilted_row(6, 0.0, 5);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(skew, 0.0);
    EXPECT_DOUBLE_EQ(slant, std::atan2(5.0, 29.0));
}

TEST_F(SkewTest, CharactersLeaningLeftGiveNegativeSlant) {
    rktest::blank_bitmap(a, 200, 90);
    for (int i = 0; i < 5; ++i) {
        // Rows shifted left towards the top.
        for (int y = 30; y < 60; ++y) {
            const int shift = 4 * (y - 30) / 29;
            rktest::ink_rect(a, 20 + 30 * i + shift, y, 20 + 30 * i + shift + 13, y);
        }
    }
    EXPECT_EQ(run(), 1);
    EXPECT_DOUBLE_EQ(slant, std::atan2(-4.0, 29.0));
}

TEST_F(SkewTest, SlightLeanBelowTheLimitIsNotReported) {
    // One character at 4 degrees: a third of it is below 1.5 degrees.
    rktest::blank_bitmap(a, 80, 90);
    glyph(20, 30, 14, 30, 2);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(slant, 0.0);
}

TEST_F(SkewTest, BlankBitmapGivesZero) {
    rktest::blank_bitmap(a, 100, 40);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(skew, 0.0);
    EXPECT_EQ(slant, 0.0);
}

class SkewWithoutMemory : public SkewTest {
protected:
    // A tilted row of leaning characters: both angles non-zero.
    void both_angles() { tilted_row(8, 3.0, 5); }
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

TEST_F(SkewWithoutMemory, ReferenceRowHasBothAngles) {
    both_angles();
    EXPECT_EQ(run(), 1);
    EXPECT_NE(skew, 0.0);
    EXPECT_DOUBLE_EQ(slant, std::atan2(5.0, 29.0));
}

TEST_F(SkewWithoutMemory, LabellingTableOrBoxFailureGivesZeroAndBothZero) {
    both_angles();
    const long n = labelling_allocations();
    ASSERT_GE(n, 2);
    for (long k = 1; k <= n + 1; ++k) {
        orvo::alloc_fail_at(k);
        skew = slant = 99.0;
        EXPECT_EQ(run(), 0) << k;
        EXPECT_EQ(skew, 0.0) << k;
        EXPECT_EQ(slant, 0.0) << k;
        EXPECT_EQ(a.runblock, nullptr) << k;
        EXPECT_EQ(a.componenttable, nullptr) << k;
    }
}

TEST_F(SkewWithoutMemory, PointOrPairListFailureSkipsOnlyTheSkew) {
    both_angles();
    const long n = labelling_allocations();
    for (long k : {n + 2, n + 3}) {
        orvo::alloc_fail_at(k);
        EXPECT_EQ(run(), 1) << k;
        EXPECT_EQ(skew, 0.0) << k;
        EXPECT_DOUBLE_EQ(slant, std::atan2(5.0, 29.0)) << k;
    }
}

TEST_F(SkewWithoutMemory, SlantListFailureSkipsOnlyTheSlant) {
    both_angles();
    orvo::alloc_fail_at(0);
    double full = 0.0;
    double unused = 0.0;
    ASSERT_EQ(rk::estimate_skew(a, &full, &unused), 1);
    const long n = labelling_allocations();
    orvo::alloc_fail_at(n + 4);
    EXPECT_EQ(run(), 1);
    EXPECT_DOUBLE_EQ(skew, full);
    EXPECT_EQ(slant, 0.0);
}

}  // namespace

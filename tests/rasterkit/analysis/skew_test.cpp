// Skew and slant estimates on drawn characters, their angle limits and the fallbacks when memory runs out.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "bitmap_draw.h"
#include "labelling.h"
#include "skew.h"
#include "zero_alloc.h"

namespace {

class SkewTest : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    double skew = 99.0, slant = 99.0;

    void TearDown() override { orvo::alloc_fail_at(0); rk::free_objectbitmap(a); }
    // A character w x h whose rows shift right by lean x (rows above the bottom) / (h - 1).
    void glyph(int l, int t, int w, int h, int lean) {
        for (int y = t; y < t + h; ++y) {
            const int shift = lean >= 0 ? lean * (t + h - 1 - y) / (h - 1) : -lean * (y - t) / (h - 1);
            rktest::ink_rect(a, l + shift, y, l + shift + w - 1, y);
        }
    }
    int run() { return rk::estimate_skew(a, &skew, &slant); }
};

// Upright 12 x 30 characters at the given top-left corners, and the skew they must give.
TEST_F(SkewTest, PairAnglesOfPlacedCharacters) {
    const struct { const char* what; int width, height; std::vector<std::pair<int, int>> corners; int result; double skew; }
        cases[] = {
        {"blank", 100, 40, {}, 0, 0.0},
        {"one pair", 260, 90, {{20, 20}, {120, 37}}, 1, std::atan2(17.0, 100.0)},
        {"rising pair", 260, 90, {{20, 37}, {120, 20}}, 1, std::atan2(-17.0, 100.0)},
        {"largest and smallest left out", 360, 90, {{20, 20}, {120, 25}, {220, 35}}, 1, std::atan2(15.0, 200.0)},
        // The three equal largest go; the one left is not removed again as the smallest.
        {"last angle left is kept", 420, 90, {{20, 10}, {120, 20}, {220, 30}, {320, 30}}, 1, std::atan2(20.0, 300.0)},
        {"35 degrees rejected", 260, 130, {{20, 10}, {120, 80}}, 0, 0.0},
        {"0.30 degrees rejected", 420, 90, {{20, 20}, {211, 21}}, 0, 0.0},
        {"0.44 degrees kept", 300, 90, {{20, 20}, {150, 21}}, 1, std::atan2(1.0, 130.0)},
        // A character wholly above another gives no point (it would cancel the skew).
        {"stacked characters", 260, 130, {{20, 80}, {120, 10}, {122, 85}}, 1, std::atan2(5.0, 102.0)},
    };
    for (const auto& c : cases) {
        rktest::blank_bitmap(a, c.width, c.height);
        for (const auto& [x, t] : c.corners) glyph(x, t, 12, 30, 0);
        skew = 99.0;
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_DOUBLE_EQ(skew, c.skew) << c.what;
        rk::free_objectbitmap(a);
    }
}

// A failed labelling, table or box gives 0 and both angles 0; a failed point pair or slant list skips only its angle.
TEST_F(SkewTest, MemoryFailures) {
    rktest::blank_bitmap(a, 200, 90);  // eight 12 x 30 characters whose tops descend by 3 degrees, leaning by 5
    const double tan3 = std::tan(3.0 * std::numbers::pi / 180.0);
    for (int i = 0; i < 8; ++i) glyph(20 + 20 * i, 30 + static_cast<int>(std::lround(20 * i * tan3)), 12, 30, 5);
    double full = 0.0, unused = 0.0;
    ASSERT_EQ(rk::estimate_skew(a, &full, &unused), 1);
    ASSERT_NE(full, 0.0);
    orvo::alloc_fail_at(0);
    ASSERT_EQ(rk::label_bitmap(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1), 1);
    ASSERT_EQ(rk::build_component_table(a), 1);
    const long n = orvo::alloc_count();  // those of labelling and the component table
    rk::free_runs(a);
    ASSERT_GE(n, 2);
    for (long k = 1; k <= n + 4; ++k) {
        orvo::alloc_fail_at(k);
        skew = slant = 99.0;
        EXPECT_EQ(run(), k <= n + 1 ? 0 : 1) << k;
        EXPECT_DOUBLE_EQ(skew, k == n + 4 ? full : 0.0) << k;
        EXPECT_DOUBLE_EQ(slant, k <= n + 1 || k == n + 4 ? 0.0 : std::atan2(5.0, 29.0)) << k;
        EXPECT_TRUE(a.runblock == nullptr && a.componenttable == nullptr) << k;
    }
}

}  // namespace

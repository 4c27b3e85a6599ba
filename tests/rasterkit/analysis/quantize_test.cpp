// Posterisation of an image rectangle: exact level values and bounds, the
// rectangle and stride respected, and every refusal leaving the image alone.
#include <gtest/gtest.h>

#include <vector>

#include "driver.h"
#include "zero_alloc.h"

namespace {

// A w x h image (stride bpl) whose pixel (x, y) is f(x, y).
template <typename F>
std::vector<unsigned char> image_of(int w, int h, int bpl, F f) {
    std::vector<unsigned char> px(static_cast<std::size_t>(bpl) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * bpl + x] = static_cast<unsigned char>(f(x, y));
    return px;
}

class QuantizeLevels : public ::testing::Test {
protected:
    void TearDown() override { orvo::alloc_fail_at(0); }
};

TEST_F(QuantizeLevels, MapsEachValueToItsLevel) {
    // Values 0..99 in one row: step 10, levels 5, 15, ... 95; a level
    // takes the values up to and including its upper bound.
    auto px = image_of(100, 1, 100, [](int x, int) { return x; });
    ASSERT_EQ(rk::quantize_levels(px.data(), 100, rk::Rect{0, 0, 99, 0}, 10), 1);
    EXPECT_EQ(px[0], 5);
    EXPECT_EQ(px[10], 5);
    EXPECT_EQ(px[11], 15);
    EXPECT_EQ(px[20], 15);
    EXPECT_EQ(px[21], 25);
    EXPECT_EQ(px[90], 85);
    EXPECT_EQ(px[91], 95);
    EXPECT_EQ(px[99], 95);
}

TEST_F(QuantizeLevels, LastLevelReachesTheMaximum) {
    // 3..40: range 38, step 9; values 7, 16, 25, 34; bounds 12, 21, 30 and
    // the maximum 40 for the last level.
    auto px = image_of(38, 1, 38, [](int x, int) { return 3 + x; });
    ASSERT_EQ(rk::quantize_levels(px.data(), 38, rk::Rect{0, 0, 37, 0}, 4), 1);
    std::vector<unsigned char> want;
    for (int v = 3; v <= 40; ++v) want.push_back(v <= 12 ? 7 : v <= 21 ? 16 : v <= 30 ? 25 : 34);
    EXPECT_EQ(std::vector<unsigned char>(px.begin(), px.end()), want);
}

TEST_F(QuantizeLevels, KeepsToTheRectangleAndTheStride) {
    // 6 x 4 pixels in rows of 8 bytes; only columns 1-4 of rows 1-2 change.
    auto px = image_of(6, 4, 8, [](int x, int y) { return 40 * y + 10 * x; });
    px[8 + 6] = px[8 + 7] = 77;  // padding bytes of row 1
    const auto before = px;
    ASSERT_EQ(rk::quantize_levels(px.data(), 8, rk::Rect{1, 1, 4, 2}, 2), 1);
    // Inside: values 50..120, range 71, step 35: 67 up to 85, else 102.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 8 + x;
            if (y >= 1 && y <= 2 && x >= 1 && x <= 4)
                EXPECT_EQ(px[i], before[i] <= 85 ? 67 : 102) << x << "," << y;
            else
                EXPECT_EQ(px[i], before[i]) << x << "," << y;
        }
}

TEST_F(QuantizeLevels, TwoHundredFiftySixLevelsNeedMoreValues) {
    auto px = image_of(256, 1, 256, [](int x, int) { return x; });
    const auto before = px;
    EXPECT_EQ(rk::quantize_levels(px.data(), 256, rk::Rect{0, 0, 255, 0}, 256), 0);
    EXPECT_EQ(px, before);
    EXPECT_EQ(rk::quantize_levels(px.data(), 256, rk::Rect{0, 0, 255, 0}, 255), 1);
    // Step 1: level i has the value i and takes pixels up to i + 1.
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 1);
    EXPECT_EQ(px[254], 253);
    EXPECT_EQ(px[255], 254);
}

class QuantizeLevelsRefuses : public QuantizeLevels {};

TEST_F(QuantizeLevelsRefuses, MissingImageOrTooManyLevels) {
    auto px = image_of(50, 2, 50, [](int x, int) { return 4 * x; });
    const auto before = px;
    EXPECT_EQ(rk::quantize_levels(nullptr, 50, rk::Rect{0, 0, 49, 1}, 10), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{0, 0, 49, 1}, 257), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{0, 0, 49, 1}, 0), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{0, 0, 49, 1}, -3), 0);
    EXPECT_EQ(px, before);
}

TEST_F(QuantizeLevelsRefuses, EmptyOrOutsideRectangles) {
    auto px = image_of(50, 2, 50, [](int x, int) { return 4 * x; });
    const auto before = px;
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{10, 0, 9, 1}, 10), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{0, 1, 49, 0}, 10), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{-1, 0, 49, 1}, 10), 0);
    EXPECT_EQ(rk::quantize_levels(px.data(), 50, rk::Rect{0, 0, 50, 1}, 10), 0);  // past the row
    EXPECT_EQ(px, before);
}

TEST_F(QuantizeLevelsRefuses, FlatOrFewValues) {
    auto flat = image_of(20, 3, 20, [](int, int) { return 128; });
    EXPECT_EQ(rk::quantize_levels(flat.data(), 20, rk::Rect{0, 0, 19, 2}, 10), 0);
    // Eleven values 0..10: too few for 11 levels, enough for 10.
    auto few = image_of(11, 1, 11, [](int x, int) { return x; });
    const auto before = few;
    EXPECT_EQ(rk::quantize_levels(few.data(), 11, rk::Rect{0, 0, 10, 0}, 11), 0);
    EXPECT_EQ(few, before);
    EXPECT_EQ(rk::quantize_levels(few.data(), 11, rk::Rect{0, 0, 10, 0}, 10), 1);
    EXPECT_EQ(few[0], 0);
    EXPECT_EQ(few[1], 0);
    EXPECT_EQ(few[10], 9);  // step 1: the last level takes 10 alone
}

TEST_F(QuantizeLevelsRefuses, WorkTablesOutOfMemory) {
    auto px = image_of(100, 1, 100, [](int x, int) { return x; });
    const auto before = px;
    for (long k : {1L, 2L}) {
        orvo::alloc_fail_at(k);
        EXPECT_EQ(rk::quantize_levels(px.data(), 100, rk::Rect{0, 0, 99, 0}, 10), 0) << k;
        EXPECT_EQ(px, before) << k;
    }
}

}  // namespace

// Field bitmaps: binarisation of gray windows, bar removal with and without frame bands, the straightened frame.
#include <gtest/gtest.h>

#include <array>

#include "bitmap_draw.h"
#include "field_bitmap.h"
#include "instance.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;
using Picture = std::vector<std::string>;

class FieldBitmap : public ::testing::Test {
protected:
    rk::AnalysisInstance a;  // own storage: the exported variables stay untouched
    void TearDown() override { reset(); }
    void reset() { orvo::alloc_fail_at(0); rk::free_objectbitmap(a); }
    // A line w wide inked at the columns given and from..to.
    static std::string line(int w, std::vector<int> ink, int from = 1, int to = 0) {
        std::string s(static_cast<std::size_t>(w), '.');
        for (int c = from; c <= to; ++c) ink.push_back(c);
        for (int c : ink) s[static_cast<std::size_t>(c)] = '#';
        return s;
    }
    // A bitmap of w x h with the inclusive rectangles inked.
    void draw(int w, int h, const std::vector<std::array<int, 4>>& ink) {
        reset();
        rktest::blank_bitmap(a, w, h);
        for (const auto& [l, t, r, b] : ink) rktest::ink_rect(a, l, t, r, b);
    }
};

TEST_F(FieldBitmap, BinarizeWindowPacksPolarityRowThresholdsAndStride) {
    Gray g(20, 5, 200);
    g.fill(3, 1, 11, 3, 10);  // a 9 x 3 window all dark: the 9th pixel ink, 7 padding bits set
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {3, 1, 11, 3}, 100, nullptr, 1), 1);
    EXPECT_EQ((std::vector<int>{a.BMP_columns, a.BMP_lines, a.BMP_bpl, a.bmp_size}), (std::vector<int>{9, 3, 2, 6}));
    EXPECT_EQ(std::vector<int>(a.objectbitmap, a.objectbitmap + 6), (std::vector<int>{0, 0x7F, 0, 0x7F, 0, 0x7F}));
    reset();
    const unsigned char row[4] = {99, 100, 101, 0};
    for (const auto& [polarity, want] : {std::pair{1, "#..#"}, std::pair{0, ".##."}, std::pair{7, ".##."}}) {
        ASSERT_EQ(rk::binarize_window(a, row, 4, {0, 0, 3, 0}, 100, nullptr, polarity), 1);
        EXPECT_EQ(rktest::picture(a)[0], want) << polarity;
        reset();
    }
    const unsigned char two[6] = {100, 110, 120, 100, 110, 120};
    const int rows[2] = {0x100 + 110, 0x200 + 121};  // only the low bytes count
    ASSERT_EQ(rk::binarize_window(a, two, 3, {0, 0, 2, 1}, 255, rows, 1), 1);
    EXPECT_EQ(rktest::picture(a), (Picture{"#..", "###"}));
    reset();
    Gray wide(10, 4, 255);
    wide.at(6, 2) = 0;
    ASSERT_EQ(rk::binarize_window(a, wide.px.data(), 10, {5, 1, 7, 3}, 128, nullptr, 1), 1);
    EXPECT_EQ(rktest::picture(a), (Picture{"...", ".#.", "..."}));
    reset();
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::binarize_window(a, wide.px.data(), 10, {0, 0, 7, 3}, 128, nullptr, 1), 0);
    EXPECT_EQ(a.objectbitmap, nullptr);
}

TEST_F(FieldBitmap, EraseBarsRemovesBarsAndTheLinesTheyTouch) {
    // 100 x 40 is not wider than 3 times its height: no column is protected.
    draw(100, 40, {{20, 0, 20, 39}, {0, 10, 99, 11}, {10, 30, 78, 31}});  // a pole, a bar, 69 columns
    rk::erase_bars(a, 0, 0, 99, 39);
    // Bars start on lines 9, 10 and 11 (each with its line below): the pole loses 9 to 12.
    const auto pic = rktest::picture(a);
    for (int y = 0; y < 40; ++y) {
        const std::vector<int> pole = y < 9 || y > 12 ? std::vector{20} : std::vector<int>{};
        EXPECT_EQ(pic[y], y == 30 || y == 31 ? line(100, {}, 10, 78) : line(100, pole)) << y;
    }
    draw(150, 60, {{1, 5, 71, 5}, {80, 12, 148, 12}, {0, 20, 69, 20}, {71, 20, 145, 20}});
    rk::erase_bars(a, 0, 0, 149, 59);
    // From an odd column only the bar from 2 fits; 69 columns stay; a gap at 70, then bars up to 145.
    EXPECT_EQ((Picture{rktest::picture(a)[5], rktest::picture(a)[12], rktest::picture(a)[20]}),
              (Picture{line(150, {1}), line(150, {}, 80, 148), line(150, {71})}));
    draw(100, 40, {{0, 10, 99, 11}});
    orvo::alloc_fail_at(3);  // the third bar start cannot be recorded: nothing is erased
    rk::erase_bars(a, 0, 0, 99, 39);
    EXPECT_EQ(rktest::ink_count(a), 200);
}

TEST_F(FieldBitmap, EraseBarsProtectsTheBorderBandsOfAWideFrame) {
    draw(200, 20, {{10, 0, 12, 19}, {187, 0, 189, 19}, {5, 5, 194, 6}});  // frame edges and top bar
    rk::erase_bars(a, 0, 0, 199, 19);
    // Bars cover columns 6 to 193; the bands 10-12 and 187-190 keep their ink.
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[5], line(200, {5, 10, 11, 12, 187, 188, 189, 190, 194}));
    EXPECT_EQ(pic[6], pic[5]);
    EXPECT_EQ(pic[4], line(200, {10, 11, 12, 187, 188, 189}));
    EXPECT_EQ(pic[7], pic[4]);
}

TEST_F(FieldBitmap, DeskewDropsTheFrameAndBlanksTheLastFourLines) {
    draw(20, 12, {{0, 0, 19, 11}});
    rk::deskew_bitmap(a, 0.01, 0.0);
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[0], std::string(20, '.'));
    EXPECT_EQ(std::vector<int>(&a.objectbitmap[8 * 3], &a.objectbitmap[12 * 3]), std::vector(12, 0xFF));  // lines 8-11
    for (int y = 1; y < 8; ++y) EXPECT_TRUE(pic[y].front() == '.' && pic[y].back() == '.') << y;
    EXPECT_GT(rktest::ink_count(a), 100);
}

TEST_F(FieldBitmap, ZeroAnglesOrNoMemoryLeaveTheBitmapUntouched) {
    for (long fail_at : {0L, 1L}) {
        draw(30, 20, {{3, 3, 10, 19}});
        const unsigned char* before = a.objectbitmap;
        const auto pic = rktest::picture(a);
        orvo::alloc_fail_at(fail_at);
        rk::deskew_bitmap(a, fail_at ? 0.2 : 0.0, fail_at ? 0.1 : 0.0);
        EXPECT_EQ(a.objectbitmap, before);
        EXPECT_EQ(rktest::picture(a), pic);
        reset();
    }
}

TEST(PixelHelpers, IgnorePointsOutsideTheBitmap) {
    rk::AnalysisInstance a;
    rktest::blank_bitmap(a, 9, 2);
    for (const auto& [x, y] : {std::pair{9, 0}, std::pair{-1, 0}, std::pair{0, 2}}) rk::pixel_set_ink(a, x, y);
    EXPECT_EQ(a.objectbitmap[1], 0xFF);  // the padding bit stays background
    EXPECT_EQ(rktest::ink_count(a), 0);
    EXPECT_EQ(rk::pixel_is_ink(a, 100, 100), 0);
    rk::pixel_set_ink(a, 8, 1);
    EXPECT_EQ(a.objectbitmap[3], 0x7F);
    rk::pixel_set_white(a, 8, 1);
    EXPECT_EQ(a.objectbitmap[3], 0xFF);
    rk::free_objectbitmap(a);
    EXPECT_EQ((std::vector<int>{a.BMP_lines, a.BMP_columns, a.BMP_bpl, a.bmp_size}), std::vector<int>(4, 0));
    EXPECT_EQ(a.objectbitmap, nullptr);
}

}  // namespace

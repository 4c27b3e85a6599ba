// Field bitmaps: binarisation of gray windows, removal of horizontal bars
// with and without protected frame bands, straightening by known angles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    void reset() {
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
    // A line w wide inked at the given columns.
    static std::string line(int w, std::vector<int> ink) {
        std::string s(static_cast<std::size_t>(w), '.');
        for (int c : ink) s[static_cast<std::size_t>(c)] = '#';
        return s;
    }
    static std::vector<int> span(int from, int to) {
        std::vector<int> v;
        for (int c = from; c <= to; ++c) v.push_back(c);
        return v;
    }
    // Mean ink row of column x, or mean ink column of row y (-1 when empty).
    double mean(int at, bool of_column) {
        int n = 0, sum = 0;
        for (int k = 0; k < (of_column ? a.BMP_lines : a.BMP_columns); ++k)
            if (of_column ? rk::pixel_is_ink(a, at, k) : rk::pixel_is_ink(a, k, at)) {
                ++n;
                sum += k;
            }
        return n ? static_cast<double>(sum) / n : -1;
    }
};

TEST_F(FieldBitmap, BinarizeWindowPacksPolarityRowThresholdsAndStride) {
    Gray g(20, 5, 200);
    g.fill(3, 1, 11, 3, 10);  // a 9 x 3 window all dark: the 9th pixel ink, 7 padding bits set
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {3, 1, 11, 3}, 100, nullptr, 1), 1);
    EXPECT_EQ((std::vector<int>{a.BMP_columns, a.BMP_lines, a.BMP_bpl, a.bmp_size}),
              (std::vector<int>{9, 3, 2, 6}));
    EXPECT_EQ(std::vector<int>(a.objectbitmap, a.objectbitmap + 6), (std::vector<int>{0, 0x7F, 0, 0x7F, 0, 0x7F}));
    reset();
    Gray row(4, 1, 0);
    row.px = {99, 100, 101, 0};
    for (const auto& [polarity, want] : {std::pair{1, "#..#"}, std::pair{0, ".##."}, std::pair{7, ".##."}}) {
        ASSERT_EQ(rk::binarize_window(a, row.px.data(), 4, {0, 0, 3, 0}, 100, nullptr, polarity), 1);
        EXPECT_EQ(rktest::picture(a)[0], want) << polarity;
        reset();
    }
    Gray two(3, 2, 0);
    two.px = {100, 110, 120, 100, 110, 120};
    const int rows[2] = {0x100 + 110, 0x200 + 121};  // only the low bytes count
    ASSERT_EQ(rk::binarize_window(a, two.px.data(), 3, {0, 0, 2, 1}, 255, rows, 1), 1);
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
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 20, 0, 20, 39);  // a pole
    rktest::ink_rect(a, 0, 10, 99, 11);  // a bar of two lines
    rktest::ink_rect(a, 10, 30, 78, 31);  // 69 columns: not a bar
    rk::erase_bars(a, 0, 0, 99, 39);
    // Bars start on lines 9, 10 and 11 (each with its line below): the pole loses 9 to 12.
    const auto pic = rktest::picture(a);
    for (int y = 0; y < 40; ++y) {
        std::vector<int> ink = (y < 9 || y > 12) ? std::vector<int>{20} : std::vector<int>{};
        if (y == 30 || y == 31) ink = span(10, 78);
        EXPECT_EQ(pic[static_cast<std::size_t>(y)], line(100, ink)) << "line " << y;
    }
}

TEST_F(FieldBitmap, EraseBarsProtectsTheBorderBandsOfAWideFrame) {
    rktest::blank_bitmap(a, 200, 20);
    rktest::ink_rect(a, 10, 0, 12, 19);    // left frame edge
    rktest::ink_rect(a, 187, 0, 189, 19);  // right frame edge
    rktest::ink_rect(a, 5, 5, 194, 6);     // top frame bar
    rk::erase_bars(a, 0, 0, 199, 19);
    // Bars cover columns 6 to 193; the bands 10-12 and 187-190 keep their ink.
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[5], line(200, {5, 10, 11, 12, 187, 188, 189, 190, 194}));
    EXPECT_EQ(pic[6], pic[5]);
    EXPECT_EQ(pic[4], line(200, {10, 11, 12, 187, 188, 189}));
    EXPECT_EQ(pic[7], pic[4]);
}

TEST_F(FieldBitmap, EraseBarsStartAtEvenColumnsAndStopAtAGap) {
    rktest::blank_bitmap(a, 150, 60);
    rktest::ink_rect(a, 1, 5, 71, 5);     // 71 columns from an odd one: only the bar from 2 fits
    rktest::ink_rect(a, 80, 12, 148, 12);  // 69 columns
    rktest::ink_rect(a, 0, 20, 69, 20);    // 70 columns, a gap at 70,
    rktest::ink_rect(a, 71, 20, 145, 20);  // then bars from 72, 74 and 76 up to 145
    rk::erase_bars(a, 0, 0, 149, 59);
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[5], line(150, {1}));
    EXPECT_EQ(pic[12], line(150, span(80, 148)));
    EXPECT_EQ(pic[20], line(150, {71}));
}

TEST_F(FieldBitmap, EraseBarsErasesNothingWhenTheBarListCannotGrow) {
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 0, 10, 99, 11);
    orvo::alloc_fail_at(3);  // the third bar start cannot be recorded
    rk::erase_bars(a, 0, 0, 99, 39);
    EXPECT_EQ(rktest::ink_count(a), 200);
}

TEST_F(FieldBitmap, DeskewTurnsLinesAboutTheCentre) {
    rktest::blank_bitmap(a, 61, 41);
    rktest::ink_rect(a, 5, 18, 55, 22);  // a bar through the centre (30, 20)
    rk::deskew_bitmap(a, 0.1, 0.0);      // lifts the right side: 20 columns out move 2 lines
    EXPECT_NEAR(mean(50, true), 18.0, 1.0);
    EXPECT_NEAR(mean(10, true), 22.0, 1.0);
    EXPECT_NEAR(mean(30, true), 20.0, 0.6);
    EXPECT_EQ(mean(4, true), -1);  // columns do not move without a slant
    EXPECT_GE(mean(55, true), 0);
    reset();
    rktest::blank_bitmap(a, 41, 61);
    rktest::ink_rect(a, 18, 5, 22, 55);
    rk::deskew_bitmap(a, 0.0, 0.1);
    EXPECT_NEAR(mean(10, false), 18.0, 1.0);
    EXPECT_NEAR(mean(50, false), 22.0, 1.0);
    EXPECT_NEAR(mean(30, false), 20.0, 0.6);
}

TEST_F(FieldBitmap, DeskewDropsTheFrameAndBlanksTheLastFourLines) {
    rktest::blank_bitmap(a, 20, 12);
    rktest::ink_rect(a, 0, 0, 19, 11);
    rk::deskew_bitmap(a, 0.01, 0.0);
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[0], std::string(20, '.'));
    for (int y = 8; y < 12; ++y)
        EXPECT_EQ(std::vector<int>(a.objectbitmap + y * 3, a.objectbitmap + y * 3 + 3), std::vector<int>(3, 0xFF));
    for (int y = 1; y < 8; ++y) EXPECT_TRUE(pic[y].front() == '.' && pic[y].back() == '.') << y;
    EXPECT_GT(rktest::ink_count(a), 100);
}

TEST_F(FieldBitmap, ZeroAnglesOrNoMemoryLeaveTheBitmapUntouched) {
    for (long fail_at : {0L, 1L}) {
        rktest::blank_bitmap(a, 30, 20);
        rktest::ink_rect(a, 3, 3, 10, 19);
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
    EXPECT_EQ(a.objectbitmap, nullptr);
    EXPECT_EQ((std::vector<int>{a.BMP_lines, a.BMP_columns, a.BMP_bpl, a.bmp_size}), std::vector<int>(4, 0));
}

}  // namespace

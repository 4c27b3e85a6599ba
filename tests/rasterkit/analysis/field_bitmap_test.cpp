// Field bitmaps: binarisation of gray windows, removal of horizontal bars
// with and without frame border bands, and straightening by known angles.
#include <gtest/gtest.h>

#include <cmath>

#include "bitmap_draw.h"
#include "field_bitmap.h"
#include "instance.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

class FieldBitmap : public ::testing::Test {
protected:
    rk::AnalysisInstance a;  // own storage: the exported variables stay untouched
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
};

class BinarizeWindow : public FieldBitmap {};

TEST_F(BinarizeWindow, NinePixelsGiveTwoBytesWithBackgroundPadding) {
    Gray g(20, 5, 200);
    g.fill(3, 1, 11, 3, 10);  // the 9 x 3 window is all dark
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {3, 1, 11, 3}, 100, nullptr, 1), 1);
    EXPECT_EQ(a.BMP_columns, 9);
    EXPECT_EQ(a.BMP_lines, 3);
    EXPECT_EQ(a.BMP_bpl, 2);
    EXPECT_EQ(a.bmp_size, 6);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(a.objectbitmap[2 * y], 0x00);
        EXPECT_EQ(a.objectbitmap[2 * y + 1], 0x7F);  // the 9th pixel ink, 7 padding bits set
    }
}

TEST_F(BinarizeWindow, PolarityOneInksBelowTheThresholdOnly) {
    Gray g(4, 1, 0);
    g.at(0, 0) = 99;
    g.at(1, 0) = 100;
    g.at(2, 0) = 101;
    g.at(3, 0) = 0;
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {0, 0, 3, 0}, 100, nullptr, 1), 1);
    EXPECT_EQ(rktest::picture(a)[0], "#..#");
    rk::free_objectbitmap(a);
    // Any other polarity inks at or above the threshold.
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {0, 0, 3, 0}, 100, nullptr, 0), 1);
    EXPECT_EQ(rktest::picture(a)[0], ".##.");
    rk::free_objectbitmap(a);
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {0, 0, 3, 0}, 100, nullptr, 7), 1);
    EXPECT_EQ(rktest::picture(a)[0], ".##.");
}

TEST_F(BinarizeWindow, RowThresholdsUseTheirLowByte) {
    Gray g(3, 2, 0);
    for (int x = 0; x < 3; ++x) {
        g.at(x, 0) = static_cast<unsigned char>(100 + 10 * x);  // 100 110 120
        g.at(x, 1) = static_cast<unsigned char>(100 + 10 * x);
    }
    const int rows[2] = {0x100 + 110, 0x200 + 121};  // low bytes 110 and 121
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {0, 0, 2, 1}, 255, rows, 1), 1);
    EXPECT_EQ(rktest::picture(a), (std::vector<std::string>{"#..", "###"}));
}

TEST_F(BinarizeWindow, ReadsTheWindowThroughTheStride) {
    Gray g(10, 4, 255);
    g.at(6, 2) = 0;
    ASSERT_EQ(rk::binarize_window(a, g.px.data(), g.w, {5, 1, 7, 3}, 128, nullptr, 1), 1);
    EXPECT_EQ(rktest::picture(a), (std::vector<std::string>{"...", ".#.", "..."}));
}

TEST_F(BinarizeWindow, FailsWithoutABitmapWhenMemoryRunsOut) {
    Gray g(8, 8, 0);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::binarize_window(a, g.px.data(), g.w, {0, 0, 7, 7}, 128, nullptr, 1), 0);
    EXPECT_EQ(a.objectbitmap, nullptr);
}

class EraseBars : public FieldBitmap {};

TEST_F(EraseBars, RemovesBarsAndTheLinesTheyTouchInANarrowBitmap) {
    // 100 x 40 is not wider than 3 times its height: no column is protected.
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 20, 0, 20, 39);  // a pole
    rktest::ink_rect(a, 0, 10, 99, 11);  // a bar of two lines
    rk::erase_bars(a, 0, 0, 99, 39);
    const auto pic = rktest::picture(a);
    // The bar starts on lines 9, 10 and 11 (each with its line below), so
    // the pole loses lines 9 to 12.
    for (int y = 0; y < 40; ++y) {
        const bool pole = y < 9 || y > 12;
        EXPECT_EQ(pic[static_cast<std::size_t>(y)], std::string(20, '.') + (pole ? "#" : ".") + std::string(79, '.'))
            << "line " << y;
    }
}

TEST_F(EraseBars, LeavesStrokesShorterThanSeventyColumns) {
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 10, 10, 78, 11);  // 69 columns
    rk::erase_bars(a, 0, 0, 99, 39);
    EXPECT_EQ(rktest::ink_count(a), 2 * 69);
}

TEST_F(EraseBars, ProtectsTheBorderBandsOfAWideFrame) {
    rktest::blank_bitmap(a, 200, 20);
    rktest::ink_rect(a, 10, 0, 12, 19);    // left frame edge
    rktest::ink_rect(a, 187, 0, 189, 19);  // right frame edge
    rktest::ink_rect(a, 5, 5, 194, 6);     // top frame bar
    rk::erase_bars(a, 0, 0, 199, 19);
    const auto pic = rktest::picture(a);
    // Bars start at even columns 6 to 124 and cover columns 6 to 193; the
    // bands 10-12 and 187-190 keep their ink.
    std::string line(200, '.');
    for (int c : {5, 10, 11, 12, 187, 188, 189, 190, 194}) line[static_cast<std::size_t>(c)] = '#';
    EXPECT_EQ(pic[5], line);
    EXPECT_EQ(pic[6], line);
    std::string edge(200, '.');
    for (int c : {10, 11, 12, 187, 188, 189}) edge[static_cast<std::size_t>(c)] = '#';
    EXPECT_EQ(pic[4], edge);
    EXPECT_EQ(pic[7], edge);
}

TEST_F(EraseBars, BarsStartAtEvenColumnsAndStopAtAGap) {
    // 150 x 60 is not wide enough for protected bands.
    rktest::blank_bitmap(a, 150, 60);
    rktest::ink_rect(a, 1, 5, 71, 6);     // 71 columns from an odd one
    rktest::ink_rect(a, 80, 12, 148, 13);  // 69 columns
    rktest::ink_rect(a, 0, 20, 69, 21);    // 70 columns, a gap at 70,
    rktest::ink_rect(a, 71, 20, 145, 21);  // then 75 from an odd column
    rk::erase_bars(a, 0, 0, 149, 59);
    const auto pic = rktest::picture(a);
    const auto stroke = [](int from, int to) {
        std::string line(150, '.');
        for (int c = from; c <= to; ++c) line[static_cast<std::size_t>(c)] = '#';
        return line;
    };
    // Only the bar from column 2 fits the first stroke.
    EXPECT_EQ(pic[5], stroke(1, 1));
    EXPECT_EQ(pic[6], stroke(1, 1));
    EXPECT_EQ(pic[12], stroke(80, 148));
    EXPECT_EQ(pic[13], stroke(80, 148));
    // The bar from column 0 ends before the gap; the next ones start at 72,
    // 74 and 76 (up to 145), so only column 71 is left.
    EXPECT_EQ(pic[20], stroke(71, 71));
    EXPECT_EQ(pic[21], pic[20]);
}

TEST_F(EraseBars, ErasesNothingWhenTheBarListCannotGrow) {
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 0, 10, 99, 11);
    const int before = rktest::ink_count(a);
    orvo::alloc_fail_at(3);  // the third bar start cannot be recorded
    rk::erase_bars(a, 0, 0, 99, 39);
    EXPECT_EQ(rktest::ink_count(a), before);
}

class DeskewBitmap : public FieldBitmap {
protected:
    // Mean ink row of column x (-1 when the column is empty).
    double mean_row(int x) {
        int n = 0, sum = 0;
        for (int y = 0; y < a.BMP_lines; ++y)
            if (rk::pixel_is_ink(a, x, y)) {
                ++n;
                sum += y;
            }
        return n ? static_cast<double>(sum) / n : -1;
    }
    double mean_col(int y) {
        int n = 0, sum = 0;
        for (int x = 0; x < a.BMP_columns; ++x)
            if (rk::pixel_is_ink(a, x, y)) {
                ++n;
                sum += x;
            }
        return n ? static_cast<double>(sum) / n : -1;
    }
};

TEST_F(DeskewBitmap, ZeroAnglesLeaveTheBitmapUntouched) {
    rktest::blank_bitmap(a, 30, 20);
    rktest::ink_rect(a, 3, 3, 10, 19);
    const unsigned char* before = a.objectbitmap;
    const auto pic = rktest::picture(a);
    rk::deskew_bitmap(a, 0.0, 0.0);
    EXPECT_EQ(a.objectbitmap, before);
    EXPECT_EQ(rktest::picture(a), pic);
}

TEST_F(DeskewBitmap, SkewTurnsLinePositionsAboutTheCentre) {
    rktest::blank_bitmap(a, 61, 41);
    rktest::ink_rect(a, 5, 18, 55, 22);  // horizontal bar through the centre (30, 20)
    rk::deskew_bitmap(a, 0.1, 0.0);
    // A positive skew lifts the right side: 20 columns off the centre move
    // by about 2 lines.
    EXPECT_NEAR(mean_row(50), 18.0, 1.0);
    EXPECT_NEAR(mean_row(10), 22.0, 1.0);
    EXPECT_NEAR(mean_row(30), 20.0, 0.6);
    // Column positions do not move without a slant.
    EXPECT_EQ(mean_row(4), -1);
    EXPECT_GE(mean_row(55), 0);
}

TEST_F(DeskewBitmap, SlantTurnsColumnPositionsAboutTheCentre) {
    rktest::blank_bitmap(a, 41, 61);
    rktest::ink_rect(a, 18, 5, 22, 55);  // vertical bar through the centre (20, 30)
    rk::deskew_bitmap(a, 0.0, 0.1);
    EXPECT_NEAR(mean_col(10), 18.0, 1.0);
    EXPECT_NEAR(mean_col(50), 22.0, 1.0);
    EXPECT_NEAR(mean_col(30), 20.0, 0.6);
}

TEST_F(DeskewBitmap, DropsTheFrameAndBlanksTheLastFourLines) {
    rktest::blank_bitmap(a, 20, 12);
    rktest::ink_rect(a, 0, 0, 19, 11);
    rk::deskew_bitmap(a, 0.01, 0.0);
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[0], std::string(20, '.'));
    for (int y = 8; y < 12; ++y) {
        EXPECT_EQ(a.objectbitmap[y * a.BMP_bpl], 0xFF);
        EXPECT_EQ(a.objectbitmap[y * a.BMP_bpl + 1], 0xFF);
        EXPECT_EQ(a.objectbitmap[y * a.BMP_bpl + 2], 0xFF);
    }
    for (int y = 1; y < 8; ++y) {
        EXPECT_EQ(pic[static_cast<std::size_t>(y)].front(), '.');
        EXPECT_EQ(pic[static_cast<std::size_t>(y)].back(), '.');
    }
    EXPECT_GT(rktest::ink_count(a), 100);
}

TEST_F(DeskewBitmap, KeepsTheBitmapWhenMemoryRunsOut) {
    rktest::blank_bitmap(a, 30, 20);
    rktest::ink_rect(a, 3, 3, 10, 19);
    const unsigned char* before = a.objectbitmap;
    const auto pic = rktest::picture(a);
    orvo::alloc_fail_at(1);
    rk::deskew_bitmap(a, 0.2, 0.1);
    EXPECT_EQ(a.objectbitmap, before);
    EXPECT_EQ(rktest::picture(a), pic);
}

TEST(PixelHelpers, IgnorePointsOutsideTheBitmap) {
    rk::AnalysisInstance a;
    rktest::blank_bitmap(a, 9, 2);
    rk::pixel_set_ink(a, 9, 0);   // the padding bit stays background
    rk::pixel_set_ink(a, -1, 0);
    rk::pixel_set_ink(a, 0, 2);
    EXPECT_EQ(a.objectbitmap[1], 0xFF);
    EXPECT_EQ(rktest::ink_count(a), 0);
    EXPECT_EQ(rk::pixel_is_ink(a, 100, 100), 0);
    rk::pixel_set_ink(a, 8, 1);
    EXPECT_EQ(a.objectbitmap[3], 0x7F);
    EXPECT_EQ(rk::pixel_is_ink(a, 8, 1), 1);
    rk::pixel_set_white(a, 8, 1);
    EXPECT_EQ(a.objectbitmap[3], 0xFF);
    rk::free_objectbitmap(a);
    EXPECT_EQ(a.objectbitmap, nullptr);
    EXPECT_EQ(a.BMP_lines, 0);
    EXPECT_EQ(a.BMP_columns, 0);
    EXPECT_EQ(a.BMP_bpl, 0);
    EXPECT_EQ(a.bmp_size, 0);
}

}  // namespace

// Field bitmaps: the straightened frame, and pixel access at the bitmap's edges.
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "field_bitmap.h"
#include "instance.h"
#include "zero_alloc.h"

namespace {

class FieldBitmap : public ::testing::Test {
protected:
    rk::AnalysisInstance a;  // own storage: the exported variables stay untouched
    void TearDown() override { orvo::alloc_fail_at(0); rk::free_objectbitmap(a); }
};

TEST_F(FieldBitmap, DeskewDropsTheFrameAndBlanksTheLastFourLines) {
    rktest::blank_bitmap(a, 20, 12);
    rktest::ink_rect(a, 0, 0, 19, 11);
    rk::deskew_bitmap(a, 0.01, 0.0);
    const auto pic = rktest::picture(a);
    EXPECT_EQ(pic[0], std::string(20, '.'));
    EXPECT_EQ(std::vector<int>(&a.objectbitmap[8 * 3], &a.objectbitmap[12 * 3]), std::vector(12, 0xFF));  // lines 8-11
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
        EXPECT_TRUE(a.objectbitmap == before && rktest::picture(a) == pic) << fail_at;
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
}

TEST_F(FieldBitmap, PixelHelpersIgnorePointsOutsideTheBitmap) {
    rktest::blank_bitmap(a, 9, 2);
    for (const auto& [x, y] : {std::pair{9, 0}, std::pair{-1, 0}, std::pair{0, 2}}) rk::pixel_set_ink(a, x, y);
    EXPECT_TRUE(a.objectbitmap[1] == 0xFF && rktest::ink_count(a) == 0 && rk::pixel_is_ink(a, 100, 100) == 0);
    rk::pixel_set_ink(a, 8, 1);  // the last pixel: the padding bits stay background
    EXPECT_EQ(a.objectbitmap[3], 0x7F);
    rk::pixel_set_white(a, 8, 1);
    EXPECT_EQ(a.objectbitmap[3], 0xFF);
    rk::free_objectbitmap(a);
    EXPECT_EQ((std::vector<int>{a.BMP_lines, a.BMP_columns, a.BMP_bpl, a.bmp_size}), std::vector<int>(4, 0));
    EXPECT_EQ(a.objectbitmap, nullptr);
}

}  // namespace

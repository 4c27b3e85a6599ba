// Character framing: tiny rectangles, specks, colon shapes, gap-tolerant
// edges and the text band; and the pixel tests of the current bitmap.
#include <gtest/gtest.h>

#include "engine/request.h"
#include "image/bitmap_view.h"
#include "image/framing.h"
#include "test_bitmap.h"

namespace {

using gntest::TestBitmap;

class Framing : public ::testing::Test {
protected:
    void SetUp() override { gn::request() = gn::Request{}; }
    void install(const TestBitmap& b) { gn::install_bitmap(b.bits.data(), b.height, b.bpr); }
};

TEST_F(Framing, NeverFramesFewerThanNinePixels) {
    TestBitmap b(16, 16);
    b.fill(0, 0, 16, 16);
    install(b);
    EXPECT_FALSE(gn::frame_char(2, 2, 2, 4));
    EXPECT_FALSE(gn::frame_char(2, 2, 3, 3));  // no run of 4 rows
    EXPECT_TRUE(gn::frame_char(2, 2, 3, 4));
}

TEST_F(Framing, DropsASpeckAboveTheCharacter) {
    TestBitmap b(40, 40);
    b.fill(10, 10, 6, 20);  // the character, rows 10-29
    b.set(12, 5);           // a speck 5 rows above it
    install(b);
    ASSERT_TRUE(gn::frame_char(0, 0, 40, 40));
    const gn::Frame f = gn::current_frame();
    EXPECT_EQ(f.left, 10);
    EXPECT_EQ(f.top, 10);
    EXPECT_EQ(f.width, 6);
    EXPECT_EQ(f.height, 20);
    gn::request().gap_tolerant = true;
    ASSERT_TRUE(gn::frame_char(0, 0, 40, 40));
    EXPECT_EQ(gn::current_frame().top, 10);
    EXPECT_EQ(gn::current_frame().height, 20);
}

TEST_F(Framing, KeepsBothBlobsOfAColon) {
    TestBitmap b(20, 30);
    b.fill(5, 5, 3, 5);   // rows 5-9
    b.fill(5, 14, 3, 5);  // rows 14-18 after 4 blank rows
    install(b);
    ASSERT_TRUE(gn::frame_char(5, 0, 3, 30));
    const gn::Frame f = gn::current_frame();
    EXPECT_EQ(f.left, 5);
    EXPECT_EQ(f.top, 5);
    EXPECT_EQ(f.width, 3);
    EXPECT_EQ(f.height, 14);
}

TEST_F(Framing, BridgesShortGapsAndStopsAtLongOnes) {
    TestBitmap b(30, 60);
    b.fill(5, 10, 8, 16);  // main band rows 10-25, g = 16
    b.fill(5, 28, 8, 6);   // 2 blank rows (< g / 4): joins below
    b.fill(5, 44, 8, 6);   // 10 blank rows (>= g / 2): stops
    install(b);
    ASSERT_TRUE(gn::frame_char(0, 0, 30, 60));
    EXPECT_EQ(gn::current_frame().top, 10);
    EXPECT_EQ(gn::current_frame().height, 24);
}

TEST_F(Framing, FindsTheTextBandOfAField) {
    TestBitmap b(60, 40);
    b.fill(0, 0, 60, 2);    // a border line of 2 rows
    b.fill(5, 10, 40, 20);  // the text
    install(b);
    int top = 0, bottom = 40;
    gn::text_band(0, 60, &top, &bottom);
    EXPECT_EQ(top, 10);
    EXPECT_EQ(bottom, 30);
}

TEST_F(Framing, TestsRowsAndColumnsWithinTheBitmap) {
    TestBitmap b(20, 5);
    b.set(9, 2);
    install(b);
    EXPECT_TRUE(gn::is_ink(9, 2));
    EXPECT_FALSE(gn::is_ink(9, 3));
    EXPECT_FALSE(gn::is_ink(-1, 2));
    EXPECT_FALSE(gn::is_ink(9, 99));
    EXPECT_EQ(gn::row_bytes_empty(2, 0, 1), 1);
    EXPECT_EQ(gn::row_bytes_empty(2, 0, 2), 0);
    EXPECT_EQ(gn::row_bytes_empty(2, -5, 99), 0);
    EXPECT_EQ(gn::row_address(99), b.bits.data() + 4 * b.bpr);  // clamped
    EXPECT_TRUE(gn::col_has_ink(9, 0, 5));
    EXPECT_FALSE(gn::col_has_ink(9, 3, 5));
}

TEST_F(Framing, ReadsRowsPastTheLastAsTheLastRow) {
    TestBitmap b(20, 5);
    b.set(9, 4);  // last row
    b.set(3, 0);  // first row
    install(b);
    EXPECT_TRUE(gn::is_ink(9, 5));
    EXPECT_TRUE(gn::is_ink(9, 99));
    EXPECT_FALSE(gn::is_ink(8, 99));
    EXPECT_TRUE(gn::row_has_ink(7, 0, 20));
    EXPECT_FALSE(gn::row_has_ink(7, 0, 9));
    EXPECT_TRUE(gn::col_has_ink(9, 5, 8));
    EXPECT_TRUE(gn::col_has_ink(9, 3, 99));
    EXPECT_FALSE(gn::col_has_ink(9, 7, 7));  // no rows
    // Rows above the first stay background.
    EXPECT_FALSE(gn::is_ink(3, -1));
    EXPECT_FALSE(gn::row_has_ink(-1, 0, 20));
    EXPECT_FALSE(gn::col_has_ink(3, -4, 0));
    EXPECT_TRUE(gn::col_has_ink(3, -4, 1));
}

}  // namespace

// Quarter and half turns of the page.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rasterkit.h"
#include "rotate.h"
#include "zero_alloc.h"

namespace {

class RotateImage : public ::testing::Test {
protected:
    // A 3 x 2 page with distinct pixels: row 0 = 1 2 3, row 1 = 4 5 6.
    void SetUp() override {
        videobuffer = static_cast<unsigned char*>(orvo::zero_alloc(6));
        for (int i = 0; i < 6; ++i) videobuffer[i] = static_cast<unsigned char>(i + 1);
        MAXCOL = BPL = 3;
        MAXLIN = 2;
        XSCALE = 2;
        YSCALE = 3;
    }
    void TearDown() override {
        orvo::zero_free(videobuffer);
        videobuffer = nullptr;
        orvo::alloc_fail_at(0);
    }
    std::vector<int> page() const { return {videobuffer, videobuffer + MAXCOL * MAXLIN}; }
};

TEST_F(RotateImage, QuarterTurnCounterClockwiseMovesRightColumnToTop) {
    ASSERT_EQ(SEG_do_rotate_image(90), 1);
    EXPECT_EQ(MAXCOL, 2);
    EXPECT_EQ(MAXLIN, 3);
    EXPECT_EQ(BPL, 2);
    EXPECT_EQ(page(), (std::vector<int>{3, 6, 2, 5, 1, 4}));
    EXPECT_EQ(XSCALE, 2);
    EXPECT_EQ(YSCALE, 3);
}

TEST_F(RotateImage, QuarterTurnClockwiseMovesLeftColumnToTop) {
    ASSERT_EQ(SEG_do_rotate_image(270), 1);
    EXPECT_EQ(page(), (std::vector<int>{4, 1, 5, 2, 6, 3}));
}

TEST_F(RotateImage, HalfTurnReversesThePage) {
    ASSERT_EQ(SEG_do_rotate_image(180), 1);
    EXPECT_EQ(MAXCOL, 3);
    EXPECT_EQ(page(), (std::vector<int>{6, 5, 4, 3, 2, 1}));
}

TEST_F(RotateImage, TurnsUndoEachOther) {
    const std::vector<int> before = page();
    ASSERT_EQ(SEG_do_rotate_image(90), 1);
    ASSERT_EQ(SEG_do_rotate_image(270), 1);
    EXPECT_EQ(page(), before);
    ASSERT_EQ(SEG_do_rotate_image(180), 1);
    ASSERT_EQ(SEG_do_rotate_image(180), 1);
    EXPECT_EQ(page(), before);
    EXPECT_EQ(MAXCOL, 3);
}

TEST_F(RotateImage, OtherAnglesAndMemoryFailureLeaveThePage) {
    const std::vector<int> before = page();
    unsigned char* buffer = videobuffer;
    for (int angle : {0, 45, -90, 360, 91}) EXPECT_EQ(SEG_do_rotate_image(angle), 0) << angle;
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_do_rotate_image(90), 0);
    EXPECT_EQ(videobuffer, buffer);
    EXPECT_EQ(MAXCOL, 3);
    EXPECT_EQ(page(), before);
}

}  // namespace

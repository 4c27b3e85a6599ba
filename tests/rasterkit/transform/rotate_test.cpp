// Quarter and half turns of the page.
#include <gtest/gtest.h>

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
        MAXCOL = BPL = 3, MAXLIN = 2, XSCALE = 2, YSCALE = 3;
    }
    void TearDown() override { orvo::zero_free(videobuffer); videobuffer = nullptr; orvo::alloc_fail_at(0); }
    // The page's sizes and factors, then its pixels.
    std::vector<int> page() const {
        std::vector<int> v{MAXCOL, MAXLIN, BPL, XSCALE, YSCALE};
        v.insert(v.end(), videobuffer, videobuffer + MAXCOL * MAXLIN);
        return v;
    }
};

TEST_F(RotateImage, TurnsMoveThePixelsAndKeepTheFactors) {
    const struct { std::vector<int> angles, want; } cases[] = {
        {{90}, {2, 3, 2, 2, 3, 3, 6, 2, 5, 1, 4}},  // counter-clockwise: right column on top
        {{270}, {2, 3, 2, 2, 3, 4, 1, 5, 2, 6, 3}},
        {{180}, {3, 2, 3, 2, 3, 6, 5, 4, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        for (int angle : c.angles) ASSERT_EQ(SEG_do_rotate_image(angle), 1) << angle;
        EXPECT_EQ(page(), c.want) << c.angles[0];
    }
}

TEST_F(RotateImage, OtherAnglesAndMemoryFailureLeaveThePage) {
    const std::vector<int> before = page();
    unsigned char* buffer = videobuffer;
    for (int angle : {0, 45, -90, 360, 91}) EXPECT_EQ(SEG_do_rotate_image(angle), 0) << angle;
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_do_rotate_image(90), 0);
    EXPECT_EQ(videobuffer, buffer);
    EXPECT_EQ(page(), before);
}

}  // namespace

// Size normalisation: the plan for each page shape, the pixel arithmetic of
// reduction and enlargement, and the page variables after SEG_scale_image.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rasterkit.h"
#include "scale.h"
#include "zero_alloc.h"

namespace {

using Kind = rk::ScalePlan::Kind;

struct PlanCase {
    int w, h;
    Kind kind;
    int fx, fy, nw, nh;
};

class ScalePlanFor : public ::testing::TestWithParam<PlanCase> {};

TEST_P(ScalePlanFor, GivesFactorsAndSize) {
    const PlanCase c = GetParam();
    rk::ScalePlan p = rk::plan_scale(c.w, c.h);
    EXPECT_EQ(p.kind, c.kind);
    EXPECT_EQ(p.factor_x, c.fx);
    EXPECT_EQ(p.factor_y, c.fy);
    if (c.kind != Kind::keep) {
        EXPECT_EQ(p.new_width, c.nw);
        EXPECT_EQ(p.new_height, c.nh);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PageShapes, ScalePlanFor,
    ::testing::Values(PlanCase{1600, 1200, Kind::keep, 1, 1, 0, 0},
                      PlanCase{1601, 1200, Kind::reduce, -2, -2, 800, 600},
                      PlanCase{4000, 3000, Kind::reduce, -3, -3, 1333, 1000},
                      PlanCase{2000, 1000, Kind::reduce, -2, -2, 1000, 500},
                      PlanCase{800, 600, Kind::keep, 1, 1, 0, 0},
                      PlanCase{640, 240, Kind::enlarge, 1, 2, 640, 480},
                      PlanCase{200, 100, Kind::enlarge, 3, 3, 600, 300},
                      PlanCase{600, 300, Kind::enlarge, 1, 2, 600, 600},
                      // very tall: fx = 700 / 200
                      PlanCase{200, 700, Kind::enlarge, 3, 1, 600, 700},
                      // tiny page: m = 1 gives g = 550 in both directions
                      PlanCase{1, 1, Kind::enlarge, 550, 550, 550, 550},
                      // very wide strip: fy = 1600
                      PlanCase{1600, 1, Kind::enlarge, 1, 1600, 1600, 1600},
                      // exactly 2.66 to 1 counts as very wide
                      PlanCase{266, 100, Kind::enlarge, 3, 6, 798, 600}));

TEST(ScalePixels, ReductionAveragesBlocksAndTruncates) {
    // 5 x 3 page reduced by 2: one 2 x 2 block per output pixel, the last
    // column and line dropped.
    const std::vector<std::uint8_t> src = {10, 11, 200, 0,   9,   //
                                           12, 14, 100, 101, 9,   //
                                           9,  9,  9,   9,   9};
    std::vector<std::uint8_t> dst(2, 0xEE);
    rk::reduce_pixels(src.data(), 5, 3, 5, 2, dst.data());
    EXPECT_EQ(dst[0], (10 + 11 + 12 + 14) / 4);   // 11
    EXPECT_EQ(dst[1], (200 + 0 + 100 + 101) / 4);  // 100
}

TEST(ScalePixels, EnlargementInterpolatesFirstHalfOfEachRun) {
    // Two pixels 0 and 200 widened 4 times: the first copy of the first
    // pixel is plain, the first two copies of the second step from the
    // output pixel before; lines likewise with fy = 2.
    const std::vector<std::uint8_t> src = {0, 200, 100, 100};
    std::vector<std::uint8_t> line(8), dst(8 * 4);
    rk::enlarge_pixels(src.data(), 2, 2, 2, 4, 2, line.data(), dst.data());
    const std::vector<std::uint8_t> row0 = {0, 0, 0, 0, 100, 150, 200, 200};
    const std::vector<std::uint8_t> row1 = {100, 100, 100, 100, 100, 100, 100, 100};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(dst[0 * 8 + x], row0[x]) << x;  // first file line: plain copies
        EXPECT_EQ(dst[1 * 8 + x], row0[x]) << x;
        EXPECT_EQ(dst[2 * 8 + x], (row0[x] + row1[x]) >> 1) << x;  // mean with line before
        EXPECT_EQ(dst[3 * 8 + x], row1[x]) << x;
    }
}

class ScaleImage : public ::testing::Test {
protected:
    void SetUp() override { hold_page(1, 1, 0); }
    void TearDown() override {
        SEG_free_temp_scaled_image();
        orvo::zero_free(videobuffer);
        videobuffer = nullptr;
        orvo::alloc_fail_at(0);
    }
    void hold_page(int w, int h, std::uint8_t value) {
        orvo::zero_free(videobuffer);
        videobuffer = static_cast<unsigned char*>(orvo::zero_alloc(static_cast<size_t>(w) * h));
        for (int i = 0; i < w * h; ++i) videobuffer[i] = value;
        MAXCOL = BPL = w;
        MAXLIN = h;
        XSCALE = YSCALE = 7;
    }
};

TEST_F(ScaleImage, ReducedPageReplacesSizesButNotTheBuffer) {
    hold_page(2000, 1000, 77);
    unsigned char* before = videobuffer;
    unsigned char* scaled = SEG_scale_image();
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(videobuffer, before);
    EXPECT_EQ(MAXCOL, 1000);
    EXPECT_EQ(MAXLIN, 500);
    EXPECT_EQ(BPL, 1000);
    EXPECT_EQ(XSCALE, -2);
    EXPECT_EQ(YSCALE, -2);
    EXPECT_EQ(scaled[0], 77);
    EXPECT_EQ(scaled[1000 * 500 - 1], 77);
}

TEST_F(ScaleImage, KeptPageGivesNullAndFactorsOne) {
    hold_page(800, 600, 5);
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    EXPECT_EQ(MAXCOL, 800);
}

TEST_F(ScaleImage, NoPageChangesNothing) {
    orvo::zero_free(videobuffer);
    videobuffer = nullptr;
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(XSCALE, 7);
}

TEST_F(ScaleImage, MemoryFailureKeepsThePageAtFileSize) {
    hold_page(200, 100, 5);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(MAXCOL, 200);
    EXPECT_EQ(MAXLIN, 100);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    orvo::alloc_fail_at(2);  // the line buffer
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(MAXCOL, 200);
}

TEST_F(ScaleImage, ReductionToAnEmptySideKeepsThePage) {
    hold_page(3300, 1, 5);  // k = 3 leaves no line
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(MAXCOL, 3300);
    EXPECT_EQ(MAXLIN, 1);
}

}  // namespace

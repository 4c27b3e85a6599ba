// Size normalisation: the plan for each page shape, reduction and enlargement arithmetic, SEG_scale_image.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rasterkit.h"
#include "scale.h"
#include "zero_alloc.h"

namespace {

using Kind = rk::ScalePlan::Kind;
using Bytes = std::vector<std::uint8_t>;

TEST(ScalePlan, GivesFactorsAndSizeForEachPageShape) {
    const struct { int w, h; Kind kind; int fx, fy, nw, nh; } cases[] = {
        {1600, 1200, Kind::keep, 1, 1, 0, 0},        {1601, 1200, Kind::reduce, -2, -2, 800, 600},
        {4000, 3000, Kind::reduce, -3, -3, 1333, 1000}, {2000, 1000, Kind::reduce, -2, -2, 1000, 500},
        {800, 600, Kind::keep, 1, 1, 0, 0},          {640, 240, Kind::enlarge, 1, 2, 640, 480},
        {200, 100, Kind::enlarge, 3, 3, 600, 300},   {600, 300, Kind::enlarge, 1, 2, 600, 600},
        {200, 700, Kind::enlarge, 3, 1, 600, 700},   // very tall: fx = 700 / 200
        {1, 1, Kind::enlarge, 550, 550, 550, 550},   // tiny: m = 1 gives 550 both ways
        {1600, 1, Kind::enlarge, 1, 1600, 1600, 1600},  // very wide strip
        {266, 100, Kind::enlarge, 3, 6, 798, 600},   // exactly 2.66 to 1 counts as very wide
    };
    for (const auto& c : cases) {
        const rk::ScalePlan p = rk::plan_scale(c.w, c.h);
        const bool keep = p.kind == Kind::keep;  // a kept page has no new size
        EXPECT_EQ((std::vector<int>{int(p.kind), p.factor_x, p.factor_y, keep ? 0 : p.new_width, keep ? 0 : p.new_height}),
                  (std::vector<int>{int(c.kind), c.fx, c.fy, c.nw, c.nh})) << c.w << " x " << c.h;
    }
}

TEST(ScalePixels, ReductionAveragesBlocksAndTruncates) {
    // 5 x 3 reduced by 2: one 2 x 2 block per output pixel, the last column and line dropped.
    const Bytes src = {10, 11, 200, 0, 9, 12, 14, 100, 101, 9, 9, 9, 9, 9, 9};
    Bytes dst(2, 0xEE);
    rk::reduce_pixels(src.data(), 5, 3, 5, 2, dst.data());
    EXPECT_EQ(dst, (Bytes{(10 + 11 + 12 + 14) / 4, (200 + 0 + 100 + 101) / 4}));
}

TEST(ScalePixels, EnlargementInterpolatesFirstHalfOfEachRun) {
    // Widened 4 times, the first copies of a step come from the pixel before; lines likewise (fy 2), line 0 copied.
    const Bytes src = {0, 200, 100, 100};
    Bytes line(8), dst(8 * 4);
    rk::enlarge_pixels(src.data(), 2, 2, 2, 4, 2, line.data(), dst.data());
    const Bytes row0 = {0, 0, 0, 0, 100, 150, 200, 200}, row1(8, 100), mean = {50, 50, 50, 50, 100, 125, 150, 150};
    Bytes want = row0;
    for (const Bytes* r : {&row0, &mean, &row1}) want.insert(want.end(), r->begin(), r->end());
    EXPECT_EQ(dst, want);
}

class ScaleImage : public ::testing::Test {
protected:
    void TearDown() override { SEG_free_temp_scaled_image(); drop_page(); orvo::alloc_fail_at(0); }
    static void drop_page() { orvo::zero_free(videobuffer); videobuffer = nullptr; }
    void hold_page(int w, int h, std::uint8_t value) {
        drop_page();
        videobuffer = static_cast<unsigned char*>(orvo::zero_alloc(static_cast<size_t>(w) * h));
        std::fill_n(videobuffer, w * h, value);
        MAXCOL = BPL = w, MAXLIN = h, XSCALE = YSCALE = 7;
    }
    static std::vector<int> sizes() { return {MAXCOL, MAXLIN, BPL, XSCALE, YSCALE}; }
};

TEST_F(ScaleImage, UnscaledPagesGiveNull) {
    hold_page(800, 600, 5);  // kept: factors one
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_EQ(sizes(), (std::vector<int>{800, 600, 800, 1, 1}));
    hold_page(3300, 1, 5);  // a reduction by 3 leaves no line
    EXPECT_EQ(SEG_scale_image(), nullptr);
    EXPECT_TRUE(MAXCOL == 3300 && MAXLIN == 1);
    for (long fail_at : {1L, 2L}) {  // the page, then the line buffer: kept at file size
        hold_page(200, 100, 5);
        orvo::alloc_fail_at(fail_at);
        EXPECT_EQ(SEG_scale_image(), nullptr);
        orvo::alloc_fail_at(0);
        EXPECT_EQ(sizes(), (std::vector<int>{200, 100, 200, 1, 1})) << fail_at;
    }
    drop_page();
    XSCALE = 7;
    EXPECT_EQ(SEG_scale_image(), nullptr);  // no page changes nothing
    EXPECT_EQ(XSCALE, 7);
}

}  // namespace

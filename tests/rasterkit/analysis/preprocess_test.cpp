// Pre-processing in detail: exact filter values, the two pruning sweeps on
// a drawn cell map, region sizes at their limits with the retry widening,
// run gaps and merging, and the four modes on one drawn scene.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "cell_map.h"
#include "image_filters.h"
#include "preprocess.h"
#include "regions.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

class Preprocess : public ::testing::Test {
protected:
    rk::AnalysisInstance a;  // own storage; only the page size is shared
    int saved_lines = 0, saved_cols = 0;
    void SetUp() override {
        saved_lines = ::MAXLIN;
        saved_cols = ::MAXCOL;
    }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_cellmap(a);
        rk::clear_results(a);
        ::MAXLIN = saved_lines;
        ::MAXCOL = saved_cols;
    }
    void use(Gray& g) {
        ::MAXLIN = g.h;
        ::MAXCOL = g.w;
        a.image = g.px.data();
        a.image_bpl = g.w;
    }
    std::vector<rk::Rect> candidates() {
        std::vector<rk::Rect> out;
        for (const seg_result* r = a.results; r != nullptr; r = r->next) out.push_back({r->left, r->top, r->right, r->bottom});
        return out;
    }
    // A binary cell map of the pass's tuning over a page of lines x cols.
    void cell_page(int p, int lines, int cols) {
        ::MAXLIN = lines;
        ::MAXCOL = cols;
        rk::load_tuning(a, p);
        ASSERT_EQ(rk::alloc_cellmap(a), 1);
    }
    void set_cells(int r0, int r1, int c0, int c1, unsigned char v) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) a.cellmap[r][c] = v;
    }
};

class GrayFilters : public Preprocess {};

TEST_F(GrayFilters, BoxSmoothAveragesTheInnerPixelsFromTheInput) {
    Gray g(5, 4, 0);
    g.at(2, 1) = 90;
    g.at(3, 2) = 9;
    const rk::Rect r{0, 0, 4, 3};
    ASSERT_EQ(rk::box_smooth(g.px.data(), 5, &r, 3), 1);
    EXPECT_EQ(g.at(1, 1), 10);   // 90 / 9
    EXPECT_EQ(g.at(2, 1), 11);   // 99 / 9, from the unfiltered input
    EXPECT_EQ(g.at(3, 1), 11);
    EXPECT_EQ(g.at(1, 2), 10);
    EXPECT_EQ(g.at(3, 2), 11);
    EXPECT_EQ(g.at(2, 0), 0);    // the border keeps its values
    EXPECT_EQ(g.at(4, 2), 0);
    EXPECT_EQ(rk::box_smooth(nullptr, 5, &r, 3), 0);
    EXPECT_EQ(rk::box_smooth(g.px.data(), 5, nullptr, 3), 0);
}

TEST_F(GrayFilters, BoxSmoothFailsWhenMemoryRunsOut) {
    Gray g(5, 5, 7);
    g.at(2, 2) = 97;
    const rk::Rect r{0, 0, 4, 4};
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::box_smooth(g.px.data(), 5, &r, 3), 0);
    EXPECT_EQ(g.at(2, 2), 97);
}

TEST_F(GrayFilters, StretchMapsTheRangeOntoFullScale) {
    Gray g(3, 1, 0);
    g.at(0, 0) = 50;
    g.at(1, 0) = 100;
    g.at(2, 0) = 149;
    const rk::Rect r{0, 0, 2, 0};
    ASSERT_EQ(rk::stretch_contrast(g.px.data(), 3, &r), 1);
    EXPECT_EQ(g.at(0, 0), 2);    // 1 * 255 / 100
    EXPECT_EQ(g.at(1, 0), 130);  // 51 * 255 / 100
    EXPECT_EQ(g.at(2, 0), 255);
}

TEST_F(GrayFilters, StretchLeavesFullRangeAndFlatImagesAlone) {
    Gray g(2, 1, 0);
    g.at(1, 0) = 255;
    const rk::Rect r{0, 0, 1, 0};
    EXPECT_EQ(rk::stretch_contrast(g.px.data(), 2, &r), 0);
    EXPECT_EQ(g.at(1, 0), 255);
    Gray f(4, 2, 77);
    const rk::Rect rf{0, 0, 3, 1};
    EXPECT_EQ(rk::stretch_contrast(f.px.data(), 4, &rf), 0);
    EXPECT_EQ(f.at(3, 1), 77);
}

class PolePruning : public Preprocess {};

TEST_F(PolePruning, RemovesTallRunsAndIsolatedStrokes) {
    cell_page(0, 200, 280);  // 100 cell rows, 20 cell columns
    a.edgethreshold = 60;    // t2 = 40
    set_cells(5, 50, 3, 3, 90);    // 46 rows: too long
    set_cells(0, 4, 6, 6, 90);     // starts at the top row
    set_cells(80, 98, 8, 8, 90);   // reaches the bottom of the filled map
    set_cells(10, 20, 0, 0, 90);   // the first column
    set_cells(10, 40, 11, 11, 90);  // 31 rows, no strong neighbour
    set_cells(10, 40, 14, 14, 90);  // 31 rows, but flanked by column 15
    set_cells(20, 22, 15, 15, 90);
    set_cells(10, 30, 17, 17, 90);  // 21 rows: short enough
    rk::prune_cellmap(a);
    EXPECT_EQ(rk::cell(a, 20, 3), 0);
    EXPECT_EQ(rk::cell(a, 2, 6), 0);
    EXPECT_EQ(rk::cell(a, 90, 8), 0);
    EXPECT_EQ(rk::cell(a, 15, 0), 0);
    EXPECT_EQ(rk::cell(a, 25, 11), 0);
    EXPECT_EQ(rk::cell(a, 25, 14), 90);
    EXPECT_EQ(rk::cell(a, 21, 15), 90);
    EXPECT_EQ(rk::cell(a, 25, 17), 90);
}

class RegionSizes : public Preprocess {};

// One block of 1-cells in columns 5..8 and rows 10..20 of a direct mode.
TEST_F(RegionSizes, ExactlyTheMinimumWidthIsRejected) {
    cell_page(1, 100, 136);  // right edge clamps at 135: width 135 - 63 = 72
    set_cells(10, 20, 5, 8, 1);
    rk::extract_regions(a);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(RegionSizes, OnePixelMoreIsAccepted) {
    cell_page(1, 100, 137);
    set_cells(10, 20, 5, 8, 1);
    rk::extract_regions(a);
    const auto c = candidates();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].left, 63);
    EXPECT_EQ(c[0].top, 18);
    EXPECT_EQ(c[0].right, 136);
    EXPECT_EQ(c[0].bottom, 44);  // (20 + 2) * 2
}

TEST_F(RegionSizes, TheRetryWideningRaisesTheMinimumWidth) {
    cell_page(1, 100, 157);  // step 14: 63 .. 147, width 84 > 72
    set_cells(10, 20, 5, 8, 1);
    rk::extract_regions(a);
    EXPECT_EQ(candidates().size(), 1u);
    rk::clear_results(a);
    rk::free_cellmap(a);
    a.retry = 1;
    cell_page(1, 100, 157);  // step 16: 72 .. 156, width 84 = the minimum
    set_cells(10, 20, 5, 8, 1);
    rk::extract_regions(a);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(RegionSizes, TooLowRegionsAreRejected) {
    cell_page(1, 100, 300);
    set_cells(10, 16, 2, 12, 1);  // (16 - 10 + 3) * 2 = 18, not above 18
    set_cells(30, 37, 2, 12, 1);  // 20
    rk::extract_regions(a);
    const auto c = candidates();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].top, 58);
    EXPECT_EQ(c[0].bottom, 78);
}

TEST_F(RegionSizes, RunsJoinOverGapsShorterThanTheRunGap) {
    cell_page(1, 100, 300);  // set 0: a gap of one cell joins
    set_cells(10, 20, 2, 3, 1);
    set_cells(10, 20, 5, 6, 1);
    rk::extract_regions(a);
    const auto c = candidates();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].left, 21);
    EXPECT_EQ(c[0].right, 119);  // (6 + 2) * 14 + 7
}

TEST_F(RegionSizes, TwoRegionsMergeWhenARunMeetsBoth) {
    cell_page(1, 100, 400);
    set_cells(10, 20, 2, 4, 1);
    set_cells(12, 20, 10, 12, 1);
    set_cells(21, 24, 2, 12, 1);  // bridges them
    rk::extract_regions(a);
    const auto c = candidates();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].left, 21);
    EXPECT_EQ(c[0].top, 18);
    EXPECT_EQ(c[0].right, 203);  // (12 + 2) * 14 + 7
    EXPECT_EQ(c[0].bottom, 52);
}

class PreparePass : public Preprocess {
protected:
    // A light plate with a row of dark characters inside a cluttered,
    // darker scene.
    Gray scene() {
        Gray g(480, 240, 110);
        g.fill(20, 20, 70, 60, 40);      // clutter: blocks and a frame
        g.fill(380, 150, 460, 230, 170);
        g.fill(300, 20, 470, 22, 30);
        g.fill(140, 100, 340, 150, 230);  // the plate
        for (int i = 0; i < 7; ++i) {
            const int x = 156 + 26 * i;
            g.fill(x, 110, x + 15, 113, 20);  // top and bottom strokes
            g.fill(x, 137, x + 15, 140, 20);
            g.fill(x, 110, x + 3, 140, 20);   // two sides
            g.fill(x + 12, 110, x + 15, 140, 20);
        }
        return g;
    }
};

TEST_F(PreparePass, FindsTheRowOfCharacters) {
    Gray g = scene();
    use(g);
    for (int p : {12, 13, 14, 15}) {  // modes 0-3; a worker instance runs these
        rk::clear_results(a);
        ASSERT_EQ(rk::prepare_pass(a, p), 1) << p;
        bool around = false;
        for (const rk::Rect& r : candidates())
            around = around || (r.left <= 160 && r.right >= 330 && r.top <= 112 && r.bottom >= 138);
        EXPECT_TRUE(around) << p;
    }
    EXPECT_NE(a.smoothbuffer, nullptr);  // kept for the later smoothing passes
}

}  // namespace

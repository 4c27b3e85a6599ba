// Pre-processing: the pass tuning, exact filter values, the cell statistics
// on uniform images, the pruning sweeps, region sizes at their limits with
// the retry widening, run gaps and merging, and the four modes on one
// drawn scene.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "cell_map.h"
#include "image_filters.h"
#include "preprocess.h"
#include "regions.h"
#include "rasterkit.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

class PassPreparation : public ::testing::Test {
protected:
    // A worker instance: it takes the phase-2 passes 12-23, which repeat the
    // table of 0-11; the page sizes are read from MAXLIN and MAXCOL.
    rk::AnalysisInstance a;
    int saved_lin = 0, saved_col = 0;
    void SetUp() override {
        saved_lin = ::MAXLIN;
        saved_col = ::MAXCOL;
    }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_cellmap(a);
        rk::clear_results(a);
        orvo::zero_free(a.smoothbuffer);
        a.smoothbuffer = nullptr;
        ::MAXLIN = saved_lin;
        ::MAXCOL = saved_col;
    }
    void use(Gray& g) {
        ::MAXCOL = g.w;
        ::MAXLIN = g.h;
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

TEST_F(PassPreparation, TuningFollowsTheParameterSetModeAndRetry) {
    rk::load_tuning(a, 0);
    EXPECT_EQ(a.tuning.win_w, 24);
    EXPECT_EQ(a.tuning.cell_step, 14);
    EXPECT_EQ(a.tuning.edge_dist, 4);
    EXPECT_EQ(a.tuning.min_h_factor, 9);
    EXPECT_EQ(a.tuning.mode, 0);
    EXPECT_EQ(a.tuning.edge_floor, 18);
    EXPECT_EQ(a.tuning.empty_bin, 11);
    rk::load_tuning(a, 8);  // set 1, mode 4
    EXPECT_EQ(a.tuning.win_w, 26);
    EXPECT_EQ(a.tuning.cell_step, 15);
    EXPECT_EQ(a.tuning.region_life, 1);
    EXPECT_EQ(a.tuning.mode, 4);
    EXPECT_EQ(a.tuning.edge_min, 0);
    rk::load_tuning(a, 9);  // mode 5 keeps the constants of mode 4
    EXPECT_EQ(a.tuning.mode, 5);
    EXPECT_EQ(a.tuning.edge_floor, 0);
    a.retry = 1;
    rk::load_tuning(a, 12);  // phase 2 repeats the table
    EXPECT_EQ(a.tuning.mode, 0);
    EXPECT_EQ(a.tuning.win_w, 28);
    EXPECT_EQ(a.tuning.cell_step, 16);
    EXPECT_EQ(a.tuning.min_w_factor * a.tuning.win_w, 84);
    EXPECT_EQ(a.tuning.edge_min, 21);
}

TEST_F(PassPreparation, BoxSmoothAveragesTheInnerPixelsFromTheInput) {
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

TEST_F(PassPreparation, BoxSmoothFailsWhenMemoryRunsOut) {
    Gray g(5, 5, 7);
    g.at(2, 2) = 97;
    const rk::Rect r{0, 0, 4, 4};
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::box_smooth(g.px.data(), 5, &r, 3), 0);
    EXPECT_EQ(g.at(2, 2), 97);
}

TEST(ImageFilters, StretchContrastMapsTheRangeOrLeavesItAlone) {
    std::vector<unsigned char> img = {10, 19, 14};
    const rk::Rect r{0, 0, 2, 0};
    ASSERT_EQ(rk::stretch_contrast(img.data(), 3, &r), 1);
    EXPECT_EQ(img, (std::vector<unsigned char>{25, 255, 127}));  // ((p-10)+1)*255/10
    std::vector<unsigned char> full = {0, 255, 7};
    EXPECT_EQ(rk::stretch_contrast(full.data(), 3, &r), 0);
    EXPECT_EQ(full[2], 7);
    std::vector<unsigned char> flat = {5, 5, 5};
    EXPECT_EQ(rk::stretch_contrast(flat.data(), 3, &r), 0);
}

TEST_F(PassPreparation, UniformImageHasTooFewEdgesInModesZeroToThree) {
    Gray g(200, 100, 128);
    use(g);
    rk::load_tuning(a, 0);
    ASSERT_EQ(rk::alloc_cellmap(a), 1);
    EXPECT_EQ(rk::build_cellmap(a), 0);
    EXPECT_EQ(a.edgethreshold, 12);
}

TEST_F(PassPreparation, UniformImagePassesInModeFourButYieldsNothing) {
    Gray g(200, 100, 128);
    use(g);
    rk::load_tuning(a, 8);
    ASSERT_EQ(rk::alloc_cellmap(a), 1);
    EXPECT_EQ(rk::build_cellmap(a), 1);
    EXPECT_EQ(a.edgethreshold, 1);
    rk::free_cellmap(a);
    for (int p = 12; p < 24; ++p) EXPECT_EQ(rk::prepare_pass(a, p), 1);
    EXPECT_EQ(rk::results_number(a), 0);
}

TEST_F(PassPreparation, AnImageSmallerThanOneCellFindsNothing) {
    Gray g(24, 40, 0);
    for (int x = 0; x < 24; x += 2) g.fill(x, 0, x, 39, 255);
    use(g);
    rk::load_tuning(a, 0);
    ASSERT_EQ(rk::alloc_cellmap(a), 1);
    EXPECT_EQ(rk::build_cellmap(a), 0);
    EXPECT_EQ(rk::prepare_pass(a, 12), 1);
    EXPECT_EQ(rk::results_number(a), 0);
}

TEST_F(PassPreparation, PruningRemovesPolesBordersAndLoneTallRuns) {
    ::MAXLIN = 200;  // 100 cell rows
    ::MAXCOL = 300;  // 21 cell columns of 14 pixels
    rk::load_tuning(a, 0);
    ASSERT_EQ(rk::alloc_cellmap(a), 1);
    ASSERT_EQ(a.celllin, 100);
    ASSERT_EQ(a.cellcol, 21);
    a.edgethreshold = 30;
    auto column = [&](int c, int r0, int r1) {
        for (int r = r0; r <= r1; ++r) a.cellmap[r][c] = 100;
    };
    column(5, 10, 60);   // 51 cells: a pole
    column(10, 10, 20);  // 11 cells: kept
    column(0, 30, 33);   // on the border column
    column(15, 10, 40);  // 31 cells with no strong neighbour
    column(17, 10, 40);  // 31 cells, with a strong neighbour on row 20
    column(18, 20, 20);
    column(8, 0, 3);     // touching the top of the map
    column(12, 80, 98);  // reaching the bottom of the filled map
    rk::prune_cellmap(a);
    auto count = [&](int c) {
        int n = 0;
        for (int r = 0; r < a.celllin; ++r) n += a.cellmap[r][c] != 0;
        return n;
    };
    EXPECT_EQ(count(5), 0);
    EXPECT_EQ(count(10), 11);
    EXPECT_EQ(count(0), 0);
    EXPECT_EQ(count(15), 0);
    EXPECT_EQ(count(17), 31);
    EXPECT_EQ(count(18), 1);
    EXPECT_EQ(count(8), 0);
    EXPECT_EQ(count(12), 0);
    rk::binarize_cellmap(a);
    EXPECT_EQ(a.cellmap[10][10], 1);
    EXPECT_EQ(a.cellmap[9][10], 0);
}

TEST_F(PassPreparation, ReportsMemoryFailuresOfTheBuffersAndFreesThem) {
    Gray g(200, 100, 128);
    use(g);
    orvo::alloc_fail_at(1);  // smoothbuffer
    EXPECT_EQ(rk::prepare_pass(a, 13), 0);
    EXPECT_EQ(a.smoothbuffer, nullptr);
    orvo::alloc_fail_at(3);  // the work copy, after smoothbuffer and its 3 x 3 filter
    EXPECT_EQ(rk::prepare_pass(a, 13), 0);
    EXPECT_EQ(a.smoothbuffer, nullptr);
    orvo::alloc_fail_at(1);  // the cell map's row pointers in a plain mode
    EXPECT_EQ(rk::prepare_pass(a, 12), 0);
    EXPECT_EQ(a.cellmap, nullptr);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::prepare_pass(a, 13), 1);
    EXPECT_NE(a.smoothbuffer, nullptr);  // kept for the later passes of the phase
}

TEST_F(PassPreparation, IgnoresPassNumbersOutsideTheTable) {
    Gray g(200, 100, 128);
    use(g);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::prepare_pass(a, 24), 1);
    EXPECT_EQ(rk::prepare_pass(a, 0), 1);  // phase-1 passes are not the worker's
    EXPECT_EQ(rk::prepare_pass(a, -1), 1);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

class RegionSizes : public PassPreparation {};

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

class PreparePass : public PassPreparation {
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
        for (const rk::Rect& r : candidates()) {
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, g.w - 1);
            EXPECT_LE(r.bottom, g.h - 1);
            around = around || (r.left <= 160 && r.right >= 330 && r.top <= 112 && r.bottom >= 138);
        }
        EXPECT_TRUE(around) << p;
    }
    EXPECT_NE(a.smoothbuffer, nullptr);  // kept for the later smoothing passes
}

}  // namespace

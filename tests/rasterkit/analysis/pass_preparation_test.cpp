// Pre-processing: the pass tuning, the image filters, the cell statistics
// on uniform images, pole removal, and candidates around a drawn plate.
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
    // A light plate with seven dark outlined characters, its box returned.
    static rk::Rect draw_plate(Gray& g, int l, int t) {
        g.fill(l, t, l + 189, t + 49, 225);
        for (int i = 0; i < 7; ++i) {
            const int x = l + 12 + 25 * i, y = t + 10;
            g.fill(x, y, x + 15, y + 3, 25);
            g.fill(x, y + 26, x + 15, y + 29, 25);
            g.fill(x, y, x + 3, y + 29, 25);
            g.fill(x + 12, y, x + 15, y + 29, 25);
        }
        return {l, t, l + 189, t + 49};
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

TEST(ImageFilters, BoxSmoothAveragesTheInteriorOnly) {
    std::vector<unsigned char> img = {0, 0, 0, 0,  //
                                      0, 90, 9, 0,  //
                                      0, 0, 0, 0};
    const rk::Rect r{0, 0, 3, 2};
    ASSERT_EQ(rk::box_smooth(img.data(), 4, &r, 3), 1);
    // (90 + 9) / 9 at both interior pixels, read from the unfiltered input.
    EXPECT_EQ(img, (std::vector<unsigned char>{0, 0, 0, 0, 0, 11, 11, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rk::box_smooth(nullptr, 4, &r, 3), 0);
    EXPECT_EQ(rk::box_smooth(img.data(), 4, nullptr, 3), 0);
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

TEST_F(PassPreparation, FindsACandidateAroundADrawnPlateInClutter) {
    Gray g(640, 400, 120);
    // Clutter: a few blocks of other grays and a dark car edge.
    g.fill(20, 20, 140, 90, 60);
    g.fill(480, 40, 600, 70, 180);
    g.fill(0, 300, 639, 305, 40);
    const rk::Rect plate = draw_plate(g, 220, 180);
    use(g);
    ASSERT_EQ(rk::prepare_pass(a, 12), 1);
    const int cx = (plate.left + plate.right) / 2, cy = (plate.top + plate.bottom) / 2;
    bool around = false;
    for (const seg_result* r = a.results; r != nullptr; r = r->next) {
        EXPECT_GE(r->left, 0);
        EXPECT_LE(r->right, g.w - 1);
        EXPECT_LE(r->bottom, g.h - 1);
        if (r->left <= cx && cx <= r->right && r->top <= cy && cy <= r->bottom && r->left <= plate.left + 30 &&
            r->right >= plate.right - 30)
            around = true;
    }
    EXPECT_TRUE(around);
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
    rk::binarize_cellmap(a);
    EXPECT_EQ(a.cellmap[10][10], 1);
    EXPECT_EQ(a.cellmap[9][10], 0);
}

TEST_F(PassPreparation, RegionsBecomeCandidatesOnlyAboveTheMinimumSizes) {
    ::MAXLIN = 200;
    ::MAXCOL = 300;
    rk::load_tuning(a, 13);  // set 0, mode 1: rectangles are not refined
    ASSERT_EQ(rk::alloc_cellmap(a), 1);
    auto block = [&](int c0, int c1, int r0, int r1) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) a.cellmap[r][c] = 1;
    };
    block(2, 5, 10, 20);    // 84 x 26 pixels: a candidate
    block(10, 12, 10, 20);  // 70 pixels wide: not more than 72
    block(16, 19, 50, 55);  // 16 lines high: not more than 18
    rk::extract_regions(a);
    ASSERT_EQ(rk::results_number(a), 1);
    const seg_result* r = a.results;
    EXPECT_EQ(r->left, 2 * 14 - 7);
    EXPECT_EQ(r->top, (10 - 1) * 2);
    EXPECT_EQ(r->right, (5 + 2) * 14 + 7);
    EXPECT_EQ(r->bottom, (20 + 2) * 2);
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

}  // namespace

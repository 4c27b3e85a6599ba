// Worker pass pre-processing: region size limits, run gaps and merging, memory failures.
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "bitmap_draw.h"
#include "cell_map.h"
#include "image_filters.h"
#include "preprocess.h"
#include "rasterkit.h"
#include "regions.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

// A worker instance: its passes 12-23 repeat the table of 0-11; the page sizes come from MAXLIN and MAXCOL.
class PassPreparation : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    int saved_lin = ::MAXLIN, saved_col = ::MAXCOL;
    void TearDown() override { orvo::alloc_fail_at(0); reset(); ::MAXLIN = saved_lin, ::MAXCOL = saved_col; }
    void reset() { rk::free_cellmap(a); rk::clear_results(a); orvo::zero_free(std::exchange(a.smoothbuffer, nullptr)); }
    void use(Gray& g) { ::MAXCOL = a.image_bpl = g.w; ::MAXLIN = g.h; a.image = g.px.data(); }
    // A binary cell map of the pass's tuning over a page of lines x cols.
    void cell_page(int p, int lines, int cols) {
        ::MAXLIN = lines, ::MAXCOL = cols;
        rk::load_tuning(a, p);
        ASSERT_EQ(rk::alloc_cellmap(a), 1);
    }
    void set_cells(int r0, int r1, int c0, int c1, unsigned char v) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) a.cellmap[r][c] = v;
    }
};

TEST_F(PassPreparation, MemoryFailuresOfTheBuffersAreReportedAndFreed) {
    Gray g(200, 100, 128);
    use(g);
    // smoothbuffer; the work copy after smoothbuffer and its 3 x 3 filter; a plain mode's cell rows.
    for (const auto& [k, pass] : {std::pair{1L, 13}, std::pair{3L, 13}, std::pair{1L, 12}}) {
        orvo::alloc_fail_at(k);
        EXPECT_EQ(rk::prepare_pass(a, pass), 0) << k << " " << pass;
        EXPECT_TRUE(a.smoothbuffer == nullptr && a.cellmap == nullptr);
    }
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::prepare_pass(a, 13), 1);
    EXPECT_NE(a.smoothbuffer, nullptr);  // kept for the later passes of the phase
    reset();
    const rk::Rect page{0, 0, 199, 99};  // the filter refuses a missing image or rectangle
    EXPECT_TRUE(rk::box_smooth(nullptr, 200, &page, 3) == 0 && rk::box_smooth(g.px.data(), 200, nullptr, 3) == 0);
    orvo::alloc_fail_at(1);  // passes outside the worker's table do nothing
    for (int p : {24, 0, -1}) EXPECT_EQ(rk::prepare_pass(a, p), 1) << p;
    EXPECT_EQ(orvo::alloc_count(), 0);
}

TEST_F(PassPreparation, RegionSizesAtTheirLimits) {
    // Cells: rows r0..r1, columns c0..c1.
    const struct { const char* what; int cols, retry; std::vector<std::array<int, 4>> cells, want; } cases[] = {
        {"width 135 - 63 = 72 is the minimum: rejected", 136, 0, {{10, 20, 5, 8}}, {}},
        {"one pixel more", 137, 0, {{10, 20, 5, 8}}, {{63, 18, 136, 44}}},
        {"step 14: width 84", 157, 0, {{10, 20, 5, 8}}, {{63, 18, 147, 44}}},
        {"retry step 16: width 84 is the minimum", 157, 1, {{10, 20, 5, 8}}, {}},
        {"height (16 - 10 + 3) x 2 = 18 rejected, 20 kept", 300, 0, {{10, 16, 2, 12}, {30, 37, 2, 12}}, {{21, 58, 203, 78}}},
        {"runs join over a gap of one cell", 300, 0, {{10, 20, 2, 3}, {10, 20, 5, 6}}, {{21, 18, 119, 44}}},
        {"a run meeting two regions merges them", 400, 0, {{10, 20, 2, 4}, {12, 20, 10, 12}, {21, 24, 2, 12}},
         {{21, 18, 203, 52}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        a.retry = c.retry;
        cell_page(1, 100, c.cols);
        for (const auto& [r0, r1, c0, c1] : c.cells) set_cells(r0, r1, c0, c1, 1);
        rk::extract_regions(a);
        std::vector<std::array<int, 4>> got;
        for (const seg_result* r = a.results; r != nullptr; r = r->next) got.push_back({r->left, r->top, r->right, r->bottom});
        EXPECT_EQ(got, c.want);
        reset();
    }
}

}  // namespace

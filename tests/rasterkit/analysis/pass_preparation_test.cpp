// Worker pass pre-processing: memory failures of its buffers, the filter's refusals, passes outside its table.
#include <gtest/gtest.h>

#include <utility>

#include "bitmap_draw.h"
#include "cell_map.h"
#include "image_filters.h"
#include "preprocess.h"
#include "rasterkit.h"
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

}  // namespace

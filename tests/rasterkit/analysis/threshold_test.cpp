// Threshold estimation: memory failure and refusals (the pipeline digests check the arithmetic).
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "localise.h"
#include "zero_alloc.h"

namespace {

TEST(ThresholdEstimate, RefusalsAndAMissingRowTableLeaveTheGlobalThreshold) {
    rk::AnalysisInstance a;
    rktest::Gray g{300, 80, 230};
    a.image = g.px.data();
    a.image_bpl = g.w;
    a.edgethreshold = 20;
    const rk::Rect field{20, 10, 259, 69};
    EXPECT_EQ(rk::estimate_threshold(a, field), 0);  // uniform
    g.fill(20, 10, 30, 69, 40);                      // a dark band at the left edge only
    EXPECT_EQ(rk::estimate_threshold(a, field), 0);
    g.fill(20, 10, 30, 69, 230);
    for (int i = 0; i < 7; ++i) g.fill(60 + 20 * i, 20, 67 + 20 * i, 39, 40);  // seven bars
    for (const rk::Rect r : {rk::Rect{-1, 10, 259, 49}, rk::Rect{20, 10, 300, 49}, rk::Rect{20, 49, 259, 10}})
        EXPECT_EQ(rk::estimate_threshold(a, r), 0) << r.left << "," << r.right << "," << r.top;
    EXPECT_EQ(a.rowthresholds, nullptr);
    for (int i = 0; i < 7; ++i) g.fill(60 + 20 * i, 45, 67 + 20 * i, 54, 130);  // and seven lighter below
    orvo::alloc_fail_at(1);
    ASSERT_EQ(rk::estimate_threshold(a, field), 1);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(a.graythreshold, 141);
    EXPECT_EQ(a.rowthresholds, nullptr);
}

}  // namespace

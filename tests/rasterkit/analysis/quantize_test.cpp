// Posterisation of an image rectangle: every refusal leaves the image alone (the pipeline's digests check the levels).
#include <gtest/gtest.h>

#include <vector>

#include "driver.h"
#include "zero_alloc.h"

namespace {

using Px = std::vector<unsigned char>;

// A w x h image (stride bpl) whose pixel (x, y) is from + x + 10 y.
Px ramp(int w, int h, int bpl, int from = 0) {
    Px px(static_cast<std::size_t>(bpl) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * bpl + x] = static_cast<unsigned char>(from + x + 10 * y);
    return px;
}

TEST(QuantizeLevels, RefusalsLeaveTheImageAlone) {
    const struct { const char* what; Px px; int bpl; rk::Rect r; int levels; long fail_at; } cases[] = {
        {"no image", {}, 50, {0, 0, 49, 1}, 10, 0},
        {"257 levels", ramp(50, 1, 50), 50, {0, 0, 49, 0}, 257, 0},
        {"0 levels", ramp(50, 1, 50), 50, {0, 0, 49, 0}, 0, 0},
        {"right before left", ramp(50, 1, 50), 50, {10, 0, 9, 0}, 10, 0},
        {"bottom before top", ramp(50, 2, 50), 50, {0, 1, 49, 0}, 10, 0},
        {"left outside", ramp(50, 1, 50), 50, {-1, 0, 49, 0}, 10, 0},
        {"past the row", ramp(50, 1, 50), 50, {0, 0, 50, 0}, 10, 0},
        {"flat", Px(60, 128), 20, {0, 0, 19, 2}, 10, 0},
        {"256 values for 256 levels", ramp(256, 1, 256), 256, {0, 0, 255, 0}, 256, 0},
        {"11 values for 11 levels", ramp(11, 1, 11), 11, {0, 0, 10, 0}, 11, 0},
        {"first work table", ramp(100, 1, 100), 100, {0, 0, 99, 0}, 10, 1},
        {"second work table", ramp(100, 1, 100), 100, {0, 0, 99, 0}, 10, 2},
    };
    for (const auto& c : cases) {
        Px px = c.px;
        orvo::alloc_fail_at(c.fail_at);
        EXPECT_EQ(rk::quantize_levels(px.empty() ? nullptr : px.data(), c.bpl, c.r, c.levels), 0) << c.what;
        orvo::alloc_fail_at(0);
        EXPECT_EQ(px, c.px) << c.what;
    }
}

}  // namespace

// Crops at their edges: a flat page (no contrast to normalise) and a crop far beyond the page (the border repeated).
#include <gtest/gtest.h>

#include <cmath>

#include "crop/crop.h"

using namespace platenet;

TEST(Crop, FlatPageGivesZerosAndTheBorderRepeats) {
    std::vector<std::uint8_t> page(40 * 20, 128);
    std::vector<float> out(8 * 16);
    crop_input({page.data(), 40, 20, 40}, {5, 5, 35, 15}, 8, 16, out.data());
    for (float v : out) EXPECT_NEAR(v, 0.0f, 1e-5);
    // Far beyond a page dark left and light right: the border repeated. (Ordinary crops: every reading of platix.)
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = i % 40 < 20 ? 60 : 200;
    crop_input({page.data(), 40, 20, 40}, {-100, -100, 140, 120}, 8, 16, out.data());
    for (float v : out) EXPECT_TRUE(std::isfinite(v));
    EXPECT_LT(out[0], out[15]);
}

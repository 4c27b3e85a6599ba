// Crops: resampling and normalisation, the page border repeated, and the widening around a field.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "crop/crop.h"

using namespace platenet;

TEST(Crop, FlatPageGivesZerosContrastIsNormalisedAndTheBorderRepeats) {
    std::vector<std::uint8_t> page(40 * 20, 128);
    std::vector<float> out(8 * 16), strong(8 * 16), weak(8 * 16);
    crop_input({page.data(), 40, 20, 40}, {5, 5, 35, 15}, 8, 16, out.data());
    for (float v : out) EXPECT_NEAR(v, 0.0f, 1e-5);
    // Left half dark, right half light: the same crop at two contrasts.
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = i % 40 < 20 ? 60 : 200;
    crop_input({page.data(), 40, 20, 40}, {4, 0, 36, 20}, 8, 16, strong.data());
    for (auto& v : page) v = v == 60 ? 110 : 150;
    crop_input({page.data(), 40, 20, 40}, {4, 0, 36, 20}, 8, 16, weak.data());
    EXPECT_NEAR(std::accumulate(strong.begin(), strong.end(), 0.0) / strong.size(), 0.0, 1e-4);
    EXPECT_TRUE(strong[0] < -0.9f && strong[15] > 0.9f);
    for (std::size_t i = 0; i < strong.size(); ++i) EXPECT_NEAR(strong[i], weak[i], 0.05f) << i;
    // Far beyond the page: the border repeated, dark left and light right.
    crop_input({page.data(), 40, 20, 40}, {-100, -100, 140, 120}, 8, 16, out.data());
    for (float v : out) EXPECT_TRUE(std::isfinite(v));
    EXPECT_LT(out[0], out[15]);
    const RectF r = field_crop(100, 50, 300, 90);
    EXPECT_EQ(std::vector<float>({r.x0, r.y0, r.x1, r.y1}), std::vector<float>({80, 40, 320, 100}));
}

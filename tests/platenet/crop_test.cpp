// Crops: resampling and normalisation, and the widening around a field.
#include <gtest/gtest.h>

#include <cmath>

#include "crop/crop.h"

using namespace platenet;

TEST(Crop, FlatPageGivesZerosAndContrastIsNormalised) {
    std::vector<std::uint8_t> page(40 * 20, 128);
    std::vector<float> out(8 * 16);
    crop_input({page.data(), 40, 20, 40}, {5, 5, 35, 15}, 8, 16, out.data());
    for (float v : out) EXPECT_NEAR(v, 0.0f, 1e-5);

    // Left half dark, right half light: the same crop at two contrasts.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) page[static_cast<std::size_t>(y * 40 + x)] = x < 20 ? 60 : 200;
    std::vector<float> strong(8 * 16), weak(8 * 16);
    crop_input({page.data(), 40, 20, 40}, {4, 0, 36, 20}, 8, 16, strong.data());
    for (auto& v : page) v = v == 60 ? 110 : 150;
    crop_input({page.data(), 40, 20, 40}, {4, 0, 36, 20}, 8, 16, weak.data());
    double mean = 0;
    for (float v : strong) mean += v;
    EXPECT_NEAR(mean / strong.size(), 0.0, 1e-4);
    EXPECT_LT(strong[0], -0.9f);
    EXPECT_GT(strong[15], 0.9f);
    for (std::size_t i = 0; i < strong.size(); ++i) EXPECT_NEAR(strong[i], weak[i], 0.05f) << i;
}

TEST(Crop, RectangleBeyondThePageRepeatsTheBorderAndFieldCropsWidenByTheHeight) {
    std::vector<std::uint8_t> page(10 * 10);
    for (int i = 0; i < 100; ++i) page[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 10 * 20);
    std::vector<float> out(8 * 8);
    crop_input({page.data(), 10, 10, 10}, {-30, -30, 50, 50}, 8, 8, out.data());
    for (float v : out) EXPECT_TRUE(std::isfinite(v));
    EXPECT_LT(out[0], out[7]);  // dark left border, light right border
    const RectF r = field_crop(100, 50, 300, 90);
    EXPECT_EQ(std::vector<float>({r.x0, r.y0, r.x1, r.y1}), std::vector<float>({80, 40, 320, 100}));
}

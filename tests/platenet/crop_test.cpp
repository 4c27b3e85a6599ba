// Crops at their edges: a flat page (no contrast to normalise) and a crop far beyond the page (the border repeated);
// the rows a plate-shaped rectangle is read from.
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

// A plate-shaped rectangle (narrower than two and a half times its height) is
// read from its middle three fifths of rows; a row of characters as it is.
TEST(Crop, PlateShapedRectanglesKeepTheirMiddleRows) {
    struct Case {
        int left, right, top, bottom;
        bool narrowed;
        int want_top, want_bottom;
    };
    for (const Case c : {Case{0, 100, 10, 60, true, 20, 50},     // a US plate, twice as wide as high
                         Case{5, 129, 0, 50, true, 10, 40},      // just under the limit
                         Case{5, 130, 0, 50, false, 0, 50},      // at it: a row of five characters
                         Case{0, 470, 0, 100, false, 0, 100},    // a European plate
                         Case{7, 7, 0, 50, false, 0, 50}}) {     // empty
        int top = c.top, bottom = c.bottom;
        EXPECT_EQ(keep_character_rows(c.left, c.right, &top, &bottom), c.narrowed) << c.right << "x" << c.bottom;
        EXPECT_EQ(top, c.want_top);
        EXPECT_EQ(bottom, c.want_bottom);
    }
}

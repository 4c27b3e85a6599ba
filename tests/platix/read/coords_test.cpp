// Mapping boxes from the page and the field bitmaps to the file's pixels: the clipping and the doubled fields.
#include <gtest/gtest.h>

#include "coords.h"

using namespace platix;

TEST(Coords, BoxesStayInTheFileAndOnThePageAndDoubledFieldsAreHalved) {
    EXPECT_EQ(page_to_file({10, 5, 20, 8}, -2, -2, 2001, 1001), (Box{20, 10, 41, 17}));  // whole blocks
    EXPECT_EQ(page_to_file({30, 31, 59, 62}, 3, 3, 200, 100), (Box{10, 10, 19, 20}));
    EXPECT_EQ(page_to_file({-3, 0, 999, 999}, -2, -2, 101, 51), (Box{0, 0, 100, 50}));
    const int plain[4] = {3, 1, 9, 20}, doubled[4] = {6, 2, 19, 41};  // right and bottom exclusive
    EXPECT_EQ(bitmap_box_to_page(plain, {100, 50, 199, 79}, 30, 640, 480), (Box{103, 51, 108, 69}));
    EXPECT_EQ(bitmap_box_to_page(doubled, {100, 50, 199, 79}, 60, 640, 480), (Box{103, 51, 109, 70}));
    EXPECT_TRUE(centre_inside({10, 10, 20, 20}, 15, 15, 1, 1) && centre_inside({10, 10, 21, 20}, 15, 15, 2, 1));
    EXPECT_FALSE(centre_inside({10, 10, 21, 20}, 15, 15, 1, 1) || centre_inside({0, 0, 4, 4}, 3, 0, 10, 10));  // 15.5: outside
}

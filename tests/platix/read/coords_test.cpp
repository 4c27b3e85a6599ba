// Mapping boxes from the page and the field bitmaps to the file's pixels.
#include <gtest/gtest.h>

#include "coords.h"

using namespace platix;

TEST(FileSizeFromPage, UndoesEnlargementAndReduction) {
    int w = 0, h = 0;
    file_size_from_page(600, 300, 3, 3, &w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    file_size_from_page(1000, 500, -2, -2, &w, &h);
    EXPECT_EQ(w, 2000);
    EXPECT_EQ(h, 1000);
    file_size_from_page(640, 480, 1, 2, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 240);
}

TEST(PageToFile, ReducedPageCoversWholeBlocks) {
    // Page reduced by 2: page pixel 10 covers file pixels 20 and 21.
    const Box b = page_to_file({10, 5, 20, 8}, -2, -2, 2001, 1001);
    EXPECT_EQ(b, (Box{20, 10, 41, 17}));
}

TEST(PageToFile, EnlargedPageDividesBack) {
    // Page enlarged 3 times: page pixels 30..32 all come from file pixel 10.
    const Box b = page_to_file({30, 31, 59, 62}, 3, 3, 200, 100);
    EXPECT_EQ(b, (Box{10, 10, 19, 20}));
}

TEST(PageToFile, ClampsToTheFile) {
    const Box b = page_to_file({-3, 0, 999, 999}, -2, -2, 101, 51);
    EXPECT_EQ(b, (Box{0, 0, 100, 50}));
}

TEST(BitmapBoxToPage, PlainFieldAddsTheCorner) {
    const int box[4] = {3, 1, 9, 20};  // right and bottom exclusive
    const Box b = bitmap_box_to_page(box, {100, 50, 199, 79}, 30, 640, 480);
    EXPECT_EQ(b, (Box{103, 51, 108, 69}));
}

TEST(BitmapBoxToPage, DoubledFieldIsHalved) {
    // A 30-row field whose bitmap has 60 rows is the doubled copy.
    const int box[4] = {6, 2, 19, 41};
    const Box b = bitmap_box_to_page(box, {100, 50, 199, 79}, 60, 640, 480);
    EXPECT_EQ(b, (Box{103, 51, 109, 70}));
}

TEST(DrawnCharFrame, HasOnePixelOfMarginAndStaysOnThePage) {
    const int box[4] = {0, 0, 10, 20};
    EXPECT_EQ(drawn_char_frame(box, {0, 0, 99, 29}, 30, 640, 480), (Box{0, 0, 11, 21}));
    const int edge[4] = {90, 8, 100, 30};
    EXPECT_EQ(drawn_char_frame(edge, {540, 450, 639, 479}, 30, 640, 480), (Box{629, 457, 639, 479}));
    const int doubled[4] = {4, 4, 10, 20};
    EXPECT_EQ(drawn_char_frame(doubled, {10, 10, 59, 24}, 30, 640, 480), (Box{11, 11, 16, 21}));
}

TEST(CentreInside, UsesTheExactCentre) {
    EXPECT_TRUE(centre_inside({10, 10, 20, 20}, 15, 15, 1, 1));
    EXPECT_FALSE(centre_inside({10, 10, 21, 20}, 15, 15, 1, 1));  // centre 15.5
    EXPECT_TRUE(centre_inside({10, 10, 21, 20}, 15, 15, 2, 1));
    EXPECT_FALSE(centre_inside({0, 0, 4, 4}, 3, 0, 10, 10));
}

// Names of annotated copies: repeated file names are numbered in order.
#include <gtest/gtest.h>

#include "annotation_names.h"

using namespace platix;

TEST(AnnotationNamesClaim, RepeatedStemsAreNumberedFromTwo) {
    AnnotationNames n;
    EXPECT_EQ(n.claim("a/car.jpg"), "car.png");
    EXPECT_EQ(n.claim("b/car.png"), "car-2.png");
    EXPECT_EQ(n.claim("car.tif"), "car-3.png");
    EXPECT_EQ(n.claim("van.jpg"), "van.png");
}

TEST(AnnotationNamesClaim, ANameAlreadyTakenByNumberingIsSkipped) {
    AnnotationNames n;
    EXPECT_EQ(n.claim("x/car.jpg"), "car.png");
    EXPECT_EQ(n.claim("y/car.jpg"), "car-2.png");
    // An image really called car-2 cannot take that name any more.
    EXPECT_EQ(n.claim("car-2.jpg"), "car-2-2.png");
    EXPECT_EQ(n.claim("z/car.jpg"), "car-3.png");
}

TEST(AnnotationNamesClaim, OnlyTheLastExtensionGoesAndEmptyStemsGetAName) {
    AnnotationNames n;
    EXPECT_EQ(n.claim("d/plate.v2.jpg"), "plate.v2.png");
    EXPECT_EQ(n.claim("d/"), "image.png");
}

TEST(AnnotationScratchPath, IsHiddenInTheFolderAndUniquePerRunAndImage) {
    EXPECT_EQ(annotation_scratch_path("out", 42, 7), "out/.platix-42-7.png.part");
    EXPECT_NE(annotation_scratch_path("out", 42, 7), annotation_scratch_path("out", 43, 7));
    EXPECT_NE(annotation_scratch_path("out", 42, 7), annotation_scratch_path("out", 42, 8));
}

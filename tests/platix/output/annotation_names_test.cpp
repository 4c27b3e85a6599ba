// Names of annotated copies: repeated file names are numbered in order.
#include <gtest/gtest.h>

#include "annotation_names.h"

using namespace platix;

TEST(AnnotationNamesClaim, RepeatedStemsAreNumberedFromTwoSkippingTakenNames) {
    AnnotationNames n;
    const std::pair<const char*, const char*> claims[] = {
        {"a/car.jpg", "car.png"},   {"b/car.png", "car-2.png"},        {"car-2.jpg", "car-2-2.png"},
        {"car.tif", "car-3.png"},   {"d/plate.v2.jpg", "plate.v2.png"}, {"d/", "image.png"},
    };
    for (const auto& [path, name] : claims) EXPECT_EQ(n.claim(path), name) << path;
    EXPECT_EQ(annotation_scratch_path("out", 42, 7), "out/.platix-42-7.png.part");
}

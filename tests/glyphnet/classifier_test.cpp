// The box-net decision's tables: feature grid widths and confusion groups.
#include <gtest/gtest.h>

#include <vector>

#include "classify/features.h"
#include "classify/groups.h"

namespace {

TEST(FeatureGrid, LaysNarrowAndWideCellsAlternately) {
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {23, {3, 4, 3, 4, 3, 3, 3}}, {26, {3, 4, 3, 4, 4, 4, 4}}, {21, {3, 3, 3, 3, 3, 3, 3}}};
    int w[7];
    for (const auto& [width, cells] : cases) {
        ASSERT_TRUE(gn::cell_sizes(width, w));
        EXPECT_EQ(std::vector<int>(w, w + 7), cells) << width;
    }
    EXPECT_FALSE(gn::cell_sizes(6, w));
}

TEST(ConfusionGroups, CoverTheTable) {
    const int cases[][3] = {{'o', '_', 2}, {'0', '_', 2}, {'B', '_', 11}, {'l', '_', 1},
                            {0xCD, '_', 1}, {0xE9, '_', 105}, {'X', '_', 0}, {'o', 'o', 0}};
    for (const auto& c : cases)
        EXPECT_EQ(gn::confusion_group(static_cast<unsigned char>(c[0]), static_cast<unsigned char>(c[1])), c[2]) << c[0];
}

}  // namespace

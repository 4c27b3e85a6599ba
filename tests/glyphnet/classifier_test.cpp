// The box-net decision: feature grid widths, confusion groups, the choice among containing nets.
#include <gtest/gtest.h>

#include <vector>

#include "classify/classifier.h"
#include "classify/features.h"
#include "classify/groups.h"
#include "kb/net.h"
#include "zero_alloc.h"

namespace {

using Vec = std::vector<std::int16_t>;

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

// A net with one node: bounds [lo, hi] on every feature, centre c.
gn::Net* box_net(unsigned char c1, int shape, int lo, int hi, int centre) {
    gn::Net* n = gn::net_new(c1, '_', static_cast<unsigned char>(shape));
    n->nodes = static_cast<gn::Node*>(orvo::zero_alloc(sizeof(gn::Node)));
    n->node_count = 1;
    for (int m = 0; m < 49; ++m) {
        n->nodes[0].lo[m] = static_cast<std::int16_t>(lo);
        n->nodes[0].hi[m] = static_cast<std::int16_t>(hi);
        n->nodes[0].centre[m] = static_cast<std::int16_t>(centre);
    }
    return n;
}

TEST(ClassifyInNets, PrefersTheSameShapeThenTheNearerGroupMember) {
    gn::Net* x = box_net('X', 1, 0, 4, 0);
    x->next = box_net('o', 5, -16, 16, 8);
    x->next->next = box_net('0', 6, -16, 16, 2);
    struct Case { int value, shape; bool found; unsigned char c1; int distance; };  // distance -1: unchecked
    const Case cases[] = {
        {3, 5, true, '0', 49},      // 'o' met first, '0' of its group nearer
        {3, 1, true, 'X', 49 * 9},  // the same shape code first, no group
        {3, 2, true, 'X', -1},      // no shape match: the first containing net
        {-16, 1, true, '0', -1}, {17, 1, false, 0, -1}};
    for (const Case& c : cases) {
        const Vec v(49, static_cast<std::int16_t>(c.value));
        const gn::ClassAnswer a = gn::classify_in(c.shape == 5 ? x->next : x, v.data(), c.shape);
        ASSERT_EQ(a.found, c.found) << c.value << " " << c.shape;
        if (!c.found) continue;
        EXPECT_EQ(a.c1, c.c1) << c.value << " " << c.shape;
        if (c.distance >= 0) { EXPECT_EQ(a.distance, c.distance); }
    }
    gn::nets_free(x);
}

}  // namespace

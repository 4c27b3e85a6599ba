// Features and the box-net decision: grid widths, the narrow-frame widening,
// the contrast stretch, the shape code, confusion groups, and the
// nearest-prototype fall-back.
#include <gtest/gtest.h>

#include "classify/classifier.h"
#include "classify/features.h"
#include "classify/groups.h"
#include "classify/nearest_prototype.h"
#include "image/bitmap_view.h"
#include "kb/kb_store.h"
#include "test_bitmap.h"
#include "zero_alloc.h"

namespace {

using gntest::TestBitmap;

TEST(FeatureGrid, LaysNarrowAndWideCellsAlternately) {
    int w[7];
    ASSERT_TRUE(gn::cell_sizes(23, w));
    EXPECT_EQ(std::vector<int>(w, w + 7), (std::vector<int>{3, 4, 3, 4, 3, 3, 3}));
    ASSERT_TRUE(gn::cell_sizes(26, w));
    EXPECT_EQ(std::vector<int>(w, w + 7), (std::vector<int>{3, 4, 3, 4, 4, 4, 4}));
    ASSERT_TRUE(gn::cell_sizes(21, w));
    EXPECT_EQ(std::vector<int>(w, w + 7), (std::vector<int>{3, 3, 3, 3, 3, 3, 3}));
    EXPECT_FALSE(gn::cell_sizes(6, w));
}

TEST(FeatureValues, WidenNarrowFramesAndCountOnlyInside) {
    TestBitmap b(60, 40);
    b.fill(0, 0, 60, 40);  // all ink; only the frame's 5 columns count
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::FeatureVector f;
    ASSERT_TRUE(gn::extract_features(20, 5, 5, 30, &f));
    // Grid 21 wide from x = 12: cells 12-14, 15-17, 18-20, 21-23, 24-26 ...
    // The frame 20-24 covers 1 column of cell 2, 3 of cell 3, 1 of cell 4.
    // Raw values: 1/3 -> 32/3 - 16 = -6, full 16, others -16; stretched
    // ((v + 16) * 32) / 32 - 16 leaves them.
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(f.v[r * 7 + 0], -16);
        EXPECT_EQ(f.v[r * 7 + 2], -6);
        EXPECT_EQ(f.v[r * 7 + 3], 16);
        EXPECT_EQ(f.v[r * 7 + 4], -6);
        EXPECT_EQ(f.v[r * 7 + 6], -16);
    }
    EXPECT_EQ(gn::shape_code(f.v), 1);  // only the middle column sums above 0
    ASSERT_TRUE(gn::extract_features(0, 0, 30, 30, &f));
    for (int m = 0; m < 49; ++m) EXPECT_EQ(f.v[m], 16);  // stretch leaves equals
    EXPECT_EQ(gn::shape_code(f.v), 7);
}

TEST(FeatureValues, StretchContrastToTheFullRange) {
    TestBitmap b(21, 21);
    b.fill(0, 0, 3, 3);  // the top-left cell full
    b.set(20, 20);       // one pixel of the last cell: 32 / 9 - 16 = -13
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::FeatureVector f;
    ASSERT_TRUE(gn::extract_features(0, 0, 21, 21, &f));
    EXPECT_EQ(f.v[0], 16);
    EXPECT_EQ(f.v[48], ((-13 + 16) * 32) / 32 - 16);
    EXPECT_EQ(f.v[1], -16);
}

TEST(ConfusionGroups, CoverTheTable) {
    EXPECT_EQ(gn::confusion_group('o', '_'), 2);
    EXPECT_EQ(gn::confusion_group('0', '_'), 2);
    EXPECT_EQ(gn::confusion_group('B', '_'), 11);
    EXPECT_EQ(gn::confusion_group('l', '_'), 1);
    EXPECT_EQ(gn::confusion_group(0xCD, '_'), 1);
    EXPECT_EQ(gn::confusion_group(0xE9, '_'), 105);
    EXPECT_EQ(gn::confusion_group('X', '_'), 0);
    EXPECT_EQ(gn::confusion_group('o', 'o'), 0);
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

std::vector<std::int16_t> vec(int value) { return std::vector<std::int16_t>(49, static_cast<std::int16_t>(value)); }

TEST(ClassifyInNets, PrefersTheSameShapeThenTheNearerGroupMember) {
    gn::Net* o = box_net('o', 5, -16, 16, 8);
    gn::Net* zero = box_net('0', 6, -16, 16, 2);
    o->next = zero;
    const auto v = vec(3);
    gn::ClassAnswer a = gn::classify_in(o, v.data(), 5);
    // 'o' is met first, but '0' of the same group has the nearer centre.
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.c1, '0');
    EXPECT_EQ(a.distance, 49);
    gn::Net* x = box_net('X', 1, 0, 4, 0);
    x->next = o;
    a = gn::classify_in(x, v.data(), 1);
    EXPECT_EQ(a.c1, 'X');  // same shape code first, no group
    EXPECT_EQ(a.distance, 49 * 9);
    a = gn::classify_in(x, v.data(), 2);  // no shape match: first containing net
    EXPECT_EQ(a.c1, 'X');
    const auto far = vec(-16);
    a = gn::classify_in(x, far.data(), 1);
    EXPECT_EQ(a.c1, '0');
    EXPECT_FALSE(gn::classify_in(x, vec(17).data(), 1).found);
    gn::nets_free(x);
}

class NearestPrototype : public ::testing::Test {
protected:
    void SetUp() override {
        gn::ListEntry list[1];
        std::snprintf(list[0].path, sizeof list[0].path, "x.kbf");
        gn::set_entries(list, 1);
        gn::KbEntry& e = gn::kb_store().entries[0];
        e.loaded = e.selected = true;
        // Boxes that contain nothing useful: a point at the centre.
        e.nets = box_net('K', 0, 5, 5, 5);
        e.nets->next = box_net('L', 0, -3, -3, -3);
    }
    void TearDown() override { gn::release_all_kbs(); }
};

TEST_F(NearestPrototype, AnswersAnExactCentre) {
    const auto v = vec(-3);
    const gn::PrototypeAnswer a = gn::nearest_prototype(v.data());
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.c1, 'L');
}

TEST_F(NearestPrototype, WalksAShortWayButNotAFarOne) {
    auto v = vec(-3);
    for (int m = 0; m < 10; ++m) v[m] = 4;  // 10 features 7 away from L: 70
    gn::PrototypeAnswer a = gn::nearest_prototype(v.data());
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.c1, 'L');
    auto w = vec(-3);
    for (int m = 0; m < 25; ++m) w[m] = 5;  // 25 x 8 = 200 to L, 24 x 8 to K
    a = gn::nearest_prototype(w.data());
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.c1, 'K');  // 192 <= 196
    auto z = vec(16);  // 11 x 49 from K
    EXPECT_FALSE(gn::nearest_prototype(z.data()).found);
}

}  // namespace

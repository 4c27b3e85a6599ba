// Training variants: cutting a character out, what each kind does to drawn
// strokes at the box's edges, and their order.
#include <gtest/gtest.h>

#include <set>

#include "augment.h"

using namespace platix;

namespace {

// A picture of w x h pixels plus the variant margin, with the given
// rectangles (in box coordinates, without the margin) inked.
struct Rect {
    int x, y, w, h;
};
CharImage drawn(int w, int h, std::initializer_list<Rect> strokes) {
    const int m = kVariantMargin;
    CharImage c(w + 2 * m, h + 2 * m);
    for (const Rect& r : strokes)
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) c.set_ink(x + m, y + m);
    return c;
}

// The inked bounding box: left, top, right, bottom (inclusive); all -1
// for an empty picture.
std::array<int, 4> ink_box(const CharImage& c) {
    std::array<int, 4> b{-1, -1, -1, -1};
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.ink(x, y)) {
                if (b[0] < 0 || x < b[0]) b[0] = x;
                if (b[1] < 0) b[1] = y;
                b[2] = std::max(b[2], x);
                b[3] = y;
            }
    return b;
}

// Inked pixels in row y.
int row_ink(const CharImage& c, int y) {
    int n = 0;
    for (int x = 0; x < c.width; ++x) n += c.ink(x, y) ? 1 : 0;
    return n;
}

}  // namespace

TEST(CutCharacter, CopiesTheBoxWithAMarginAndClipsAtTheField) {
    // A 20 x 10 field with one ink pixel at (5, 4) and one at (19, 9).
    CharImage field(20, 10);
    field.set_ink(5, 4);
    field.set_ink(19, 9);
    const int box[4] = {4, 3, 8, 7};
    const CharImage c = cut_character(field.bits.data(), field.width, field.height, field.bpl, box);
    EXPECT_EQ(c.width, 4 + 2 * kVariantMargin);
    EXPECT_EQ(c.height, 4 + 2 * kVariantMargin);
    EXPECT_EQ(c.ink_count(), 1);
    EXPECT_TRUE(c.ink(1 + kVariantMargin, 1 + kVariantMargin));
    // A box reaching past the field keeps only the field's part.
    const int past[4] = {18, 8, 30, 40};
    const CharImage p = cut_character(field.bits.data(), field.width, field.height, field.bpl, past);
    EXPECT_EQ(p.width, 2 + 2 * kVariantMargin);
    EXPECT_EQ(p.height, 2 + 2 * kVariantMargin);
    EXPECT_TRUE(p.ink(1 + kVariantMargin, 1 + kVariantMargin));
    const int empty[4] = {8, 3, 8, 7};
    EXPECT_EQ(cut_character(field.bits.data(), field.width, field.height, field.bpl, empty).width, 0);
}

TEST(Variants, EachKindMovesResizesThickensOrSlantsTheInk) {
    // A full-height stem at the box's left edge and a bar in the middle: shifts lose what passes the edge.
    const CharImage src = drawn(10, 12, {{0, 0, 2, 12}, {4, 5, 3, 2}});
    const CharImage right = make_variant(src, {VariantKind::shift_right}), down = make_variant(src, {VariantKind::shift_down});
    EXPECT_EQ(right.ink_count(), src.ink_count());
    EXPECT_EQ(ink_box(right)[0], ink_box(src)[0] + 1);
    EXPECT_EQ(make_variant(src, {VariantKind::shift_left}).ink_count(), src.ink_count() - 12);
    EXPECT_EQ(down.ink_count(), src.ink_count() - 2);
    EXPECT_EQ(ink_box(down)[1], ink_box(src)[1] + 1);
    EXPECT_EQ(make_variant(src, {VariantKind::shift_up}).ink_count(), src.ink_count() - 2);
    // Scales by about a tenth; growing is bounded by the margin.
    const CharImage block = drawn(20, 30, {{0, 0, 20, 30}});
    const auto small = ink_box(make_variant(block, {VariantKind::smaller}));
    const auto large = ink_box(make_variant(block, {VariantKind::larger}));
    EXPECT_NEAR(small[2] - small[0] + 1, 18, 1);
    EXPECT_NEAR(small[3] - small[1] + 1, 27, 1);
    EXPECT_NEAR(large[2] - large[0] + 1, 22, 1);
    EXPECT_NEAR(large[3] - large[1] + 1, 33, 1);
    // Strokes grow or shrink by one pixel; a hairline thinned away is no useful variant.
    const CharImage stroke = drawn(12, 12, {{4, 0, 3, 12}}), hair = drawn(12, 12, {{4, 0, 1, 12}});
    EXPECT_EQ(row_ink(make_variant(stroke, {VariantKind::thicker}), kVariantMargin + 6), 4);
    EXPECT_EQ(row_ink(make_variant(stroke, {VariantKind::thinner}), kVariantMargin + 6), 2);
    EXPECT_FALSE(useful_variant(hair, make_variant(hair, {VariantKind::thinner})));
    EXPECT_FALSE(useful_variant(stroke, stroke));
    EXPECT_FALSE(useful_variant(stroke, CharImage(stroke.width, stroke.height)));
    EXPECT_TRUE(useful_variant(stroke, make_variant(stroke, {VariantKind::thicker})));
    // Slants lean by about 3 degrees: a 40-row hairline ends two columns over, no ink lost.
    const CharImage line = drawn(10, 40, {{4, 0, 1, 40}});
    const CharImage sr = make_variant(line, {VariantKind::slant_right});
    EXPECT_EQ(ink_box(sr)[2] - ink_box(sr)[0], 2);
    EXPECT_EQ(sr.ink_count(), line.ink_count());
}

TEST(VariantPlan, TakesTheKindsInTurnAndStopsAtTheMost) {
    EXPECT_EQ(variant_plan(4), (std::vector<Variant>{{VariantKind::smaller}, {VariantKind::thicker},
                                                      {VariantKind::slant_right}, {VariantKind::shift_right}}));
    EXPECT_TRUE(variant_plan(0).empty());
    EXPECT_TRUE(variant_plan(-3).empty());
    const auto all = variant_plan(1000);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kMostVariants));
    EXPECT_EQ(std::set<Variant>(all.begin(), all.end()).size(), all.size());
    for (std::size_t i = 10; i < all.size(); ++i) EXPECT_EQ(all[i].size(), 2u);
}

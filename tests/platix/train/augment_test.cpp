// Training variants: cutting a character out, and what each kind does to drawn strokes at the box's edges.
#include <gtest/gtest.h>

#include "augment.h"

using namespace platix;

namespace {

struct Rect { int x, y, w, h; };
// A w x h box plus the variant margin, with the rectangles (box coordinates) inked.
CharImage drawn(int w, int h, std::initializer_list<Rect> strokes) {
    CharImage c(w + 2 * kVariantMargin, h + 2 * kVariantMargin);
    for (const Rect& r : strokes)
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) c.set_ink(x + kVariantMargin, y + kVariantMargin);
    return c;
}

// The inked bounding box (left, top, right, bottom, inclusive) and the ink in row `row`.
struct Ink { std::array<int, 4> box{1 << 20, 1 << 20, -1, -1}; int count = 0, in_row = 0; };
Ink ink_of(const CharImage& c, int row = kVariantMargin + 6) {
    Ink k;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.ink(x, y)) {
                k.box = {std::min(k.box[0], x), std::min(k.box[1], y), std::max(k.box[2], x), std::max(k.box[3], y)};
                ++k.count, k.in_row += y == row;
            }
    return k;
}

}  // namespace

TEST(CutCharacter, CopiesTheBoxWithAMarginAndClipsAtTheField) {
    CharImage field(20, 10);
    field.set_ink(5, 4);
    field.set_ink(19, 9);
    const int inside[4] = {4, 3, 8, 7}, past[4] = {18, 8, 30, 40}, empty[4] = {8, 3, 8, 7};
    for (const int* box : {inside, past}) {  // the box past the field keeps only the field's part
        const CharImage c = cut_character(field.bits.data(), field.width, field.height, field.bpl, box);
        EXPECT_EQ(c.width, std::min(box[2], 20) - box[0] + 2 * kVariantMargin);
        EXPECT_EQ(c.height, std::min(box[3], 10) - box[1] + 2 * kVariantMargin);
        EXPECT_TRUE(c.ink_count() == 1 && c.ink(1 + kVariantMargin, 1 + kVariantMargin));
    }
    EXPECT_EQ(cut_character(field.bits.data(), field.width, field.height, field.bpl, empty).width, 0);
}

TEST(Variants, EachKindMovesResizesThickensOrSlantsTheInk) {
    // A full-height stem at the box's left edge and a bar in the middle: shifts lose what passes the edge.
    const CharImage src = drawn(10, 12, {{0, 0, 2, 12}, {4, 5, 3, 2}}), block = drawn(20, 30, {{0, 0, 20, 30}}),
                    stroke = drawn(12, 12, {{4, 0, 3, 12}}), line = drawn(10, 40, {{4, 0, 1, 40}});
    // width/height of the ink box; -1: not checked
    const struct { VariantKind kind; const CharImage& source; int ink_lost, width, height, in_row; } cases[] = {
        {VariantKind::shift_right, src, 0, 7, 12, -1},    {VariantKind::shift_left, src, 12, 6, 12, -1},
        {VariantKind::shift_down, src, 2, 7, 11, -1},     {VariantKind::shift_up, src, 2, 7, 11, -1},
        {VariantKind::smaller, block, -1, 18, 27, -1},    {VariantKind::larger, block, -1, 22, 33, -1},  // about a tenth
        {VariantKind::thicker, stroke, -1, -1, -1, 4},    {VariantKind::thinner, stroke, -1, -1, -1, 2},
        {VariantKind::slant_right, line, 0, 3, 40, -1},  // about 3 degrees: two columns over 40 rows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const Ink before = ink_of(c.source), after = ink_of(make_variant(c.source, {c.kind}));
        const int w = after.box[2] - after.box[0] + 1, h = after.box[3] - after.box[1] + 1, slack = c.ink_lost < 0;
        EXPECT_TRUE(c.ink_lost < 0 || before.count - after.count == c.ink_lost) << before.count - after.count;
        EXPECT_TRUE(c.width < 0 || std::abs(w - c.width) <= slack) << w;
        EXPECT_TRUE(c.height < 0 || std::abs(h - c.height) <= slack) << h;
        EXPECT_TRUE(c.in_row < 0 || after.in_row == c.in_row) << after.in_row;
    }
    EXPECT_EQ(ink_of(make_variant(src, {VariantKind::shift_down})).box[1], ink_of(src).box[1] + 1);  // down, not up
    // A hairline thinned away, the source itself and a blank picture are no useful variants.
    const CharImage hair = drawn(12, 12, {{4, 0, 1, 12}});
    EXPECT_FALSE(useful_variant(hair, make_variant(hair, {VariantKind::thinner})));
    EXPECT_FALSE(useful_variant(stroke, stroke) || useful_variant(stroke, CharImage(stroke.width, stroke.height)));
    EXPECT_TRUE(useful_variant(stroke, make_variant(stroke, {VariantKind::thicker})));
}

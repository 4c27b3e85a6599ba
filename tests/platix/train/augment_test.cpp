// Training variants: cutting a character from its field, what each kind of
// variant does to drawn strokes, the order in which variants are taught,
// and variants taught to a fresh base keeping their label.
#include <gtest/gtest.h>

#include <set>

#include "augment.h"
#include "engine_session.h"
#include "field_reading.h"
#include "temp_dir.h"
#include "train_step.h"

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

TEST(Variants, ShiftsMoveTheInkInsideTheBoxAndLoseWhatPassesItsEdge) {
    // A full-height stem at the box's left edge and a bar in the middle.
    const CharImage src = drawn(10, 12, {{0, 0, 2, 12}, {4, 5, 3, 2}});
    const CharImage right = make_variant(src, {VariantKind::shift_right});
    EXPECT_EQ(right.ink_count(), src.ink_count());
    EXPECT_EQ(ink_box(right)[0], ink_box(src)[0] + 1);
    const CharImage left = make_variant(src, {VariantKind::shift_left});
    EXPECT_EQ(left.ink_count(), src.ink_count() - 12);  // the first stem column leaves the box
    const CharImage down = make_variant(src, {VariantKind::shift_down});
    EXPECT_EQ(down.ink_count(), src.ink_count() - 2);  // the stem's last row
    EXPECT_EQ(ink_box(down)[1], ink_box(src)[1] + 1);
    EXPECT_EQ(make_variant(src, {VariantKind::shift_up}).ink_count(), src.ink_count() - 2);
}

TEST(Variants, ScalesResizeTheInkByAboutATenth) {
    const CharImage src = drawn(20, 30, {{0, 0, 20, 30}});
    const auto small = ink_box(make_variant(src, {VariantKind::smaller}));
    const auto large = ink_box(make_variant(src, {VariantKind::larger}));
    EXPECT_NEAR(small[2] - small[0] + 1, 18, 1);
    EXPECT_NEAR(small[3] - small[1] + 1, 27, 1);
    // Growing is bounded by the margin: 22 wide, 33 high at most.
    EXPECT_NEAR(large[2] - large[0] + 1, 22, 1);
    EXPECT_NEAR(large[3] - large[1] + 1, 33, 1);
}

TEST(Variants, StrokesGrowOrShrinkByOnePixel) {
    const CharImage src = drawn(12, 12, {{4, 0, 3, 12}});  // a stroke 3 pixels wide
    const int y = kVariantMargin + 6;
    EXPECT_EQ(row_ink(make_variant(src, {VariantKind::thicker}), y), 4);
    EXPECT_EQ(row_ink(make_variant(src, {VariantKind::thinner}), y), 2);
    // A one-pixel stroke thinned away is no useful variant.
    const CharImage hair = drawn(12, 12, {{4, 0, 1, 12}});
    EXPECT_FALSE(useful_variant(hair, make_variant(hair, {VariantKind::thinner})));
}

TEST(Variants, SlantsLeanTheCharacterAFewDegrees) {
    const CharImage src = drawn(10, 40, {{4, 0, 1, 40}});  // a vertical hairline
    const CharImage right = make_variant(src, {VariantKind::slant_right});
    const CharImage left = make_variant(src, {VariantKind::slant_left});
    const int top = kVariantMargin, bottom = kVariantMargin + 39;
    auto x_at = [](const CharImage& c, int y) {
        for (int x = 0; x < c.width; ++x)
            if (c.ink(x, y)) return x;
        return -1;
    };
    // Rows 20 above the middle move by 1 (20 / 16 rounded): about 3 degrees.
    EXPECT_EQ(x_at(right, top) - x_at(right, bottom), 2);
    EXPECT_EQ(x_at(left, bottom) - x_at(left, top), 2);
    EXPECT_EQ(right.ink_count(), src.ink_count());
}

TEST(VariantPlan, TakesTheKindsInTurnAndStopsAtTheMost) {
    const auto four = variant_plan(4);
    ASSERT_EQ(four.size(), 4u);
    EXPECT_EQ(four[0], Variant{VariantKind::smaller});
    EXPECT_EQ(four[1], Variant{VariantKind::thicker});
    EXPECT_EQ(four[2], Variant{VariantKind::slant_right});
    EXPECT_EQ(four[3], Variant{VariantKind::shift_right});
    EXPECT_TRUE(variant_plan(0).empty());
    EXPECT_TRUE(variant_plan(-3).empty());
    const auto all = variant_plan(1000);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kMostVariants));
    EXPECT_EQ(std::set<Variant>(all.begin(), all.end()).size(), all.size());
    for (std::size_t i = 10; i < all.size(); ++i) EXPECT_EQ(all[i].size(), 2u);
}

TEST(Variants, AnIdenticalOrEmptyPictureIsNotTaught) {
    const CharImage src = drawn(10, 10, {{2, 2, 6, 6}});
    EXPECT_FALSE(useful_variant(src, src));
    EXPECT_FALSE(useful_variant(src, CharImage(src.width, src.height)));
    EXPECT_TRUE(useful_variant(src, make_variant(src, {VariantKind::thicker})));
}

// A block letter 'E' of 18 x 26 pixels with strokes 4 wide.
CharImage letter_e() {
    return drawn(18, 26, {{0, 0, 4, 26}, {0, 0, 18, 4}, {0, 11, 14, 4}, {0, 22, 18, 4}});
}

TEST(TeachVariants, LearnsTheVariantsAsTheirLabelAndSkipsWhatIsReadRight) {
    testsupport::TempDir dir;
    EngineSession engine({{dir.file("v.kbf"), 0}});
    ASSERT_NE(engine.io(), nullptr) << engine.error();
    const CharImage e = letter_e();
    const int learned = teach_variants(engine.io(), e, 'E', 6);
    EXPECT_GE(learned, 1);
    EXPECT_LE(learned, 6);
    // Every variant now reads as the label, so teaching again adds nothing.
    const RecognitionSettings settings;
    const ImageResult page;
    for (const Variant& v : variant_plan(6)) {
        CharImage variant = make_variant(e, v);
        FieldResult read;
        read_field(engine.io(), variant.bits.data(), variant.width, variant.height, variant.bpl, settings, read, page);
        ASSERT_EQ(read.chars.size(), 1u);
        EXPECT_EQ(read.chars[0].c, "E");
    }
    EXPECT_EQ(teach_variants(engine.io(), e, 'E', 6), 0);
}

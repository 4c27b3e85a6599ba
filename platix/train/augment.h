// Variants of one character for training: the character cut from its field
// bitmap and redrawn slightly otherwise (moved by a pixel inside its box,
// scaled by about 10%, strokes a pixel thicker or thinner, slanted a few
// degrees), so that a base learns more than the one exact picture it saw.
#pragma once

#include <cstdint>
#include <vector>

namespace platix {

// A small 1-bit picture in the engine's field layout: 1 = background,
// 0 = ink, leftmost pixel in the top bit of each byte.
struct CharImage {
    int width = 0, height = 0, bpl = 0;
    std::vector<std::uint8_t> bits;

    CharImage() = default;
    CharImage(int w, int h);  // all background
    bool ink(int x, int y) const;  // false outside the picture
    void set_ink(int x, int y);    // ignored outside the picture
    int ink_count() const;
    bool operator==(const CharImage&) const = default;
};

// The margin of background kept around a character cut from its field.
constexpr int kVariantMargin = 3;

// The character in box (left, top, right, bottom; right and bottom
// exclusive) of a field bitmap, with kVariantMargin pixels of background
// on every side. Pixels outside the field count as background.
CharImage cut_character(const std::uint8_t* bits, int columns, int lines, int bpl, const int box[4]);

enum class VariantKind { shift_left, shift_right, shift_up, shift_down, smaller, larger, thicker, thinner,
                         slant_right, slant_left };

// A variant: the changes made one after the other.
using Variant = std::vector<VariantKind>;

// The most variants of one character: the ten plain kinds and ten pairs.
constexpr int kMostVariants = 20;

// The first n variants taught (n is clamped to 0..kMostVariants): the kinds
// take turns (scale, stroke, slant, shift, ...) so that a few variants
// already cover each kind; after the ten plain kinds come pairs of them.
std::vector<Variant> variant_plan(int n);

// A variant of a character cut by cut_character (the character's box is
// the picture less its margin). A shift moves the ink one pixel within the
// box, losing what passes its edge; a scale resizes the ink about the box
// centre by 9/10 or 11/10; thicker/thinner grow or shrink every stroke by
// one pixel to the right and below; a slant shears rows by 1/16 of their
// distance from the middle row (about 3.6 degrees). The picture keeps its
// size.
CharImage make_variant(const CharImage& source, const Variant& variant);

// A variant worth teaching: some ink left, and not the source itself.
bool useful_variant(const CharImage& source, const CharImage& variant);

}  // namespace platix

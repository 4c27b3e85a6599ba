// Training variants of a character: cutting it from its field and
// redrawing it moved, scaled, thickened, thinned or slanted.
#include "augment.h"

#include <algorithm>
#include <cmath>

namespace platix {

CharImage::CharImage(int w, int h)
    : width(w), height(h), bpl((w + 7) / 8), bits(static_cast<std::size_t>(bpl) * static_cast<std::size_t>(h), 0xFF) {}

bool CharImage::ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return (bits[static_cast<std::size_t>(y) * bpl + x / 8] & (0x80 >> (x % 8))) == 0;
}

void CharImage::set_ink(int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    bits[static_cast<std::size_t>(y) * bpl + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
}

int CharImage::ink_count() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) n += ink(x, y) ? 1 : 0;
    return n;
}

CharImage cut_character(const std::uint8_t* bits, int columns, int lines, int bpl, const int box[4]) {
    const int left = std::max(box[0], 0), top = std::max(box[1], 0);
    const int right = std::min(box[2], columns), bottom = std::min(box[3], lines);
    if (bits == nullptr || right <= left || bottom <= top) return {};
    const int m = kVariantMargin;
    CharImage out(right - left + 2 * m, bottom - top + 2 * m);
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* row = bits + static_cast<std::size_t>(y) * bpl;
        for (int x = left; x < right; ++x)
            if ((row[x / 8] & (0x80 >> (x % 8))) == 0) out.set_ink(x - left + m, y - top + m);
    }
    return out;
}

std::vector<Variant> variant_plan(int n) {
    using K = VariantKind;
    static const Variant kPlan[kMostVariants] = {
        {K::smaller}, {K::thicker}, {K::slant_right}, {K::shift_right}, {K::larger},
        {K::thinner}, {K::slant_left}, {K::shift_left}, {K::shift_up}, {K::shift_down},
        {K::smaller, K::thicker}, {K::larger, K::thinner}, {K::slant_right, K::thicker},
        {K::slant_left, K::thinner}, {K::smaller, K::slant_left}, {K::larger, K::slant_right},
        {K::shift_right, K::thicker}, {K::shift_left, K::thinner}, {K::smaller, K::thinner},
        {K::larger, K::thicker}};
    n = std::clamp(n, 0, kMostVariants);
    return {kPlan, kPlan + n};
}

namespace {

// The ink moved by (dx, dy) inside the character's box.
CharImage shifted(const CharImage& s, int dx, int dy) {
    const int m = kVariantMargin;
    CharImage out(s.width, s.height);
    for (int y = m; y < s.height - m; ++y)
        for (int x = m; x < s.width - m; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (s.ink(x, y) && tx >= m && ty >= m && tx < s.width - m && ty < s.height - m) out.set_ink(tx, ty);
        }
    return out;
}

// The ink resized by num/den about the centre of the picture (nearest
// source pixel of each target pixel).
CharImage scaled(const CharImage& s, int num, int den) {
    CharImage out(s.width, s.height);
    const double cx = (s.width - 1) / 2.0, cy = (s.height - 1) / 2.0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const int sx = static_cast<int>(std::lround(cx + (x - cx) * den / num));
            const int sy = static_cast<int>(std::lround(cy + (y - cy) * den / num));
            if (s.ink(sx, sy)) out.set_ink(x, y);
        }
    return out;
}

// Every stroke one pixel wider and higher (grow) or narrower and lower.
CharImage stroked(const CharImage& s, bool grow) {
    CharImage out(s.width, s.height);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const bool on = grow ? s.ink(x, y) || s.ink(x - 1, y) || s.ink(x, y - 1) || s.ink(x - 1, y - 1)
                                 : s.ink(x, y) && s.ink(x + 1, y) && s.ink(x, y + 1) && s.ink(x + 1, y + 1);
            if (on) out.set_ink(x, y);
        }
    return out;
}

// Rows moved sideways by 1/16 of their distance from the middle row: to
// the right above it for `right`, so that the character leans right.
CharImage slanted(const CharImage& s, bool right) {
    CharImage out(s.width, s.height);
    const int mid = s.height / 2;
    for (int y = 0; y < s.height; ++y) {
        const int d = static_cast<int>(std::lround((mid - y) / 16.0)) * (right ? 1 : -1);
        for (int x = 0; x < s.width; ++x)
            if (s.ink(x, y)) out.set_ink(x + d, y);
    }
    return out;
}

CharImage apply(const CharImage& s, VariantKind k) {
    switch (k) {
    case VariantKind::shift_left: return shifted(s, -1, 0);
    case VariantKind::shift_right: return shifted(s, 1, 0);
    case VariantKind::shift_up: return shifted(s, 0, -1);
    case VariantKind::shift_down: return shifted(s, 0, 1);
    case VariantKind::smaller: return scaled(s, 9, 10);
    case VariantKind::larger: return scaled(s, 11, 10);
    case VariantKind::thicker: return stroked(s, true);
    case VariantKind::thinner: return stroked(s, false);
    case VariantKind::slant_right: return slanted(s, true);
    case VariantKind::slant_left: return slanted(s, false);
    }
    return s;
}

}  // namespace

CharImage make_variant(const CharImage& source, const Variant& variant) {
    CharImage out = source;
    for (VariantKind k : variant) out = apply(out, k);
    return out;
}

bool useful_variant(const CharImage& source, const CharImage& variant) {
    const int ink = variant.ink_count();
    return ink > 0 && ink * 3 >= source.ink_count() && !(variant == source);
}

}  // namespace platix

// The current bitmap: pixel helpers, binarisation, bar removal, deskew.
#include "field_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "zero_alloc.h"

namespace rk {
namespace {

using bitmap_detail::byte_at;
using bitmap_detail::inside;
using bitmap_detail::mask_of;

// Ink pixels of column c on lines top to bottom - 1.
int column_ink(const AnalysisInstance& a, int c, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y) n += pixel_is_ink(a, c, y);
    return n;
}

// Widest bitmap whose column counts erase_bars keeps on the stack; wider
// ones are counted column by column.
constexpr int kCountedColumns = 4096;

// Adds the ink of lines top .. bottom - 1 to counts[c - left] for every
// column c of left .. right, all inside the bitmap.
void count_column_ink(AnalysisInstance& a, int left, int top, int right, int bottom, int* counts) {
    for (int y = top; y < bottom; ++y) {
        const unsigned char* row = bitmap_row(a, y);
        for (int x = next_ink(row, left, right); x <= right; x = next_ink(row, x, right)) {
            const int end = next_background(row, x, right);
            for (; x < end; ++x) ++counts[x - left];
        }
    }
}

// The first column at or after x that has ink on neither line (either may
// be null: a line outside the bitmap); columns past `last` have no ink.
int first_gap(const unsigned char* r0, const unsigned char* r1, int x, int last) {
    if (x < 0) return x;
    while (x <= last) {
        const unsigned b0 = r0 != nullptr ? r0[x >> 3] : 0xFFu;
        const unsigned b1 = r1 != nullptr ? r1[x >> 3] : 0xFFu;
        const auto bits = static_cast<unsigned char>(b0 & b1 & (0xFFu >> (x & 7)));
        if (bits != 0) {
            const int at = (x & ~7) + std::countl_zero(bits);
            return at <= last ? at : last + 1;
        }
        x = (x | 7) + 1;
    }
    return last + 1;
}

// Sets columns c0 .. c1 of a line to background, clipped to `last`.
void whiten_span(unsigned char* row, int c0, int c1, int last) {
    c0 = std::max(c0, 0);
    c1 = std::min(c1, last);
    while (c0 <= c1) {
        const int byte = c0 >> 3;
        const int end = std::min(c1, (c0 | 7));
        const unsigned mask = (0xFFu >> (c0 & 7)) & (0xFFu << (7 - (end & 7)));
        row[byte] = static_cast<unsigned char>(row[byte] | mask);
        c0 = end + 1;
    }
}

struct BarStart {
    int x;
    int y;
    BarStart* next;
};

void free_barlist(BarStart* p) {
    while (p != nullptr) {
        BarStart* n = p->next;
        orvo::zero_free(p);
        p = n;
    }
}

}  // namespace

unsigned char* bitmap_row(AnalysisInstance& a, int y) {
    return a.objectbitmap + static_cast<std::ptrdiff_t>(y) * a.BMP_bpl;
}

void load_bitmap(AnalysisInstance& a, const seg_result* rec) {
    a.objectbitmap = rec->bitmap;
    a.BMP_lines = rec->lines;
    a.BMP_columns = rec->columns;
    a.BMP_bpl = rec->bpl;
    a.bmp_size = rec->lines * rec->bpl;
}

void free_objectbitmap(AnalysisInstance& a) {
    orvo::zero_free(a.objectbitmap);
    a.objectbitmap = nullptr;
    a.BMP_lines = 0;
    a.BMP_columns = 0;
    a.BMP_bpl = 0;
    a.bmp_size = 0;
}

int binarize_window(AnalysisInstance& a, const unsigned char* image, int image_bpl, Rect r,
                    int threshold, const int* rowthresholds, int polarity) {
    a.BMP_columns = r.right - r.left + 1;
    a.BMP_lines = r.bottom - r.top + 1;
    a.BMP_bpl = (a.BMP_columns + 7) / 8;
    a.bmp_size = a.BMP_lines * a.BMP_bpl;
    a.objectbitmap = nullptr;
    // An empty window has no bitmap: the caller drops it like a memory failure.
    if (a.BMP_columns < 1 || a.BMP_lines < 1 || image == nullptr) return 0;
    a.objectbitmap = static_cast<unsigned char*>(orvo::zero_alloc(static_cast<std::size_t>(a.bmp_size)));
    if (a.objectbitmap == nullptr) return 0;
    for (int y = 0; y < a.BMP_lines; ++y) {
        const int t = rowthresholds != nullptr ? (rowthresholds[y] & 0xFF) : threshold;
        const unsigned char* g = image + static_cast<std::ptrdiff_t>(r.top + y) * image_bpl + r.left;
        unsigned char* out = bitmap_row(a, y);
        std::memset(out, 0xFF, static_cast<std::size_t>(a.BMP_bpl));
        for (int x = 0; x < a.BMP_columns; ++x) {
            const bool ink = polarity == 1 ? g[x] < t : g[x] >= t;
            if (ink) out[x / 8] &= static_cast<unsigned char>(~mask_of(x));
        }
    }
    return 1;
}

void erase_bars(AnalysisInstance& a, int left, int top, int right, int bottom) {
    // 1. Border bands of a wide frame, protected from erasing.
    int L1 = left, L2 = left, R1 = right, R2 = right;
    if (right - left > 3 * (bottom - top)) {
        const int h = bottom - top;
        const int third = (left + right) / 3;
        const int need = 2 * h / 3;
        // Column counts over the whole width when it fits the stack and
        // lies inside the bitmap; otherwise column by column.
        int counts[kCountedColumns];
        const bool counted = left >= 0 && right < std::min(a.BMP_columns, 8 * a.BMP_bpl) &&
                             right - left < kCountedColumns && top >= 0 && bottom <= a.BMP_lines &&
                             a.objectbitmap != nullptr;
        if (counted) {
            std::fill(counts, counts + (right - left + 1), 0);
            count_column_ink(a, left, top, right, bottom, counts);
        }
        auto ink = [&](int c) { return counted ? counts[c - left] : column_ink(a, c, top, bottom); };

        int best = 0, bestcol = 0;
        for (int c = left; c < third; ++c) {
            const int n = ink(c);
            if (n >= std::max(need, best)) {
                best = n;
                bestcol = c;
            }
        }
        if (bestcol > 0) {
            int c2 = bestcol;
            while (c2 < third && ink(c2) >= 2 * best / 3) ++c2;
            if (c2 < third) {
                L2 = std::max(c2, left);
                int c1 = left;
                while (c1 < bestcol && ink(c1) < 2 * need / 3) ++c1;
                if (c1 < bestcol) L1 = c1;
            }
        }

        best = 0;
        bestcol = 0;
        for (int c = right - 1; c >= 2 * third; --c) {
            const int n = ink(c);
            if (n >= std::max(need, best)) {
                best = n;
                bestcol = c;
            }
        }
        if (bestcol > 0) {
            int c2 = bestcol;
            while (c2 >= 2 * third && ink(c2) >= 2 * best / 3) --c2;
            if (c2 >= 2 * third) {
                R2 = std::min(c2, right);
                int c1 = right - 1;
                while (c1 >= bestcol && ink(c1) < 2 * need / 3) --c1;
                if (c1 >= bestcol) R1 = c1 + 1;
            }
        }
    }

    // 2. Bar starts: 70 columns each with ink on line y or y + 1. `gap` is
    // the first column at or after x without ink on either line; each
    // line is scanned about once.
    BarStart* barlist = nullptr;
    const int last = a.objectbitmap != nullptr ? std::min(a.BMP_columns, 8 * a.BMP_bpl) - 1 : -1;
    auto line = [&](int y) -> const unsigned char* {
        return y >= 0 && y < a.BMP_lines && a.objectbitmap != nullptr ? bitmap_row(a, y) : nullptr;
    };
    for (int y = top; y < bottom; ++y) {
        const unsigned char* r0 = line(y);
        const unsigned char* r1 = line(y + 1);
        if (r0 == nullptr && r1 == nullptr) continue;
        int gap = left - 1;
        for (int x = left; x <= right - 69;) {
            if (gap < x) gap = first_gap(r0, r1, x, last);
            if (gap > x + 69) {
                auto* p = static_cast<BarStart*>(orvo::zero_alloc(sizeof(BarStart)));
                if (p == nullptr) {
                    free_barlist(barlist);
                    return;
                }
                p->x = x;
                p->y = y;
                p->next = barlist;
                barlist = p;
            }
            x += (x + 2 <= right - 69) ? 2 : 1;
        }
    }

    // 3. Erase every bar on its two lines outside the protected bands.
    for (const BarStart* p = barlist; p != nullptr; p = p->next) {
        for (int y : {p->y, p->y + 1}) {
            if (y < 0 || y >= a.BMP_lines) continue;
            unsigned char* row = bitmap_row(a, y);
            // The bar's columns less [L1, L2) and (R2, R1].
            int c = p->x;
            const int end = p->x + 69;
            while (c <= end) {
                if (L1 <= c && c < L2) {
                    c = L2;
                    continue;
                }
                if (R2 < c && c <= R1) {
                    c = R1 + 1;
                    continue;
                }
                int stop = end;
                if (c < L1 && L1 < L2) stop = std::min(stop, L1 - 1);
                if (c <= R2 && R2 < R1) stop = std::min(stop, R2);
                whiten_span(row, c, stop, last);
                c = stop + 1;
            }
        }
    }
    free_barlist(barlist);
}

void deskew_bitmap(AnalysisInstance& a, double skew, double slant) {
    if (skew == 0.0 && slant == 0.0) return;
    if (a.objectbitmap == nullptr || a.BMP_lines < 1 || a.BMP_bpl < 1) return;
    const std::size_t size = static_cast<std::size_t>(a.BMP_lines) * static_cast<std::size_t>(a.BMP_bpl);
    auto* fresh = static_cast<unsigned char*>(orvo::zero_alloc(size));
    if (fresh == nullptr) return;
    std::memset(fresh, 0xFF, size);

    const int W = a.BMP_columns, H = a.BMP_lines, bpl = a.BMP_bpl;
    const int cx = W / 2, cy = H / 2;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (!pixel_is_ink(a, x, y)) continue;
            int nx = x, ny = y;
            if (x != cx || y != cy) {
                const double dx = x - cx, dy = cy - y;
                const double theta = std::atan2(dy, dx);
                const double r = std::sqrt(dx * dx + dy * dy);
                if (slant != 0.0) nx = cx + static_cast<int>(std::floor(r * std::cos(theta + slant)));
                if (skew != 0.0) ny = cy - static_cast<int>(std::floor(r * std::sin(theta + skew)));
            }
            if (0 < nx && nx < W - 1 && 0 < ny && ny < H - 1)
                fresh[static_cast<std::size_t>(ny) * bpl + nx / 8] &= static_cast<unsigned char>(~mask_of(nx));
        }
    }
    orvo::zero_free(a.objectbitmap);
    a.objectbitmap = fresh;
    a.bmp_size = H * bpl;

    // Fill single holes, then remove single specks, reading the bitmap as
    // it changes.
    for (int y = 1; y <= H - 2; ++y) {
        for (int x = 1; x <= W - 2; ++x) {
            if (pixel_is_ink(a, x, y)) continue;
            const int n = pixel_is_ink(a, x, y - 1) + pixel_is_ink(a, x, y + 1) +
                          pixel_is_ink(a, x - 1, y) + pixel_is_ink(a, x + 1, y);
            if (n >= 3) pixel_set_ink(a, x, y);
        }
    }
    for (int y = 1; y <= H - 2; ++y) {
        for (int x = 1; x <= W - 2; ++x) {
            if (!pixel_is_ink(a, x, y)) continue;
            const int n = 4 - (pixel_is_ink(a, x, y - 1) + pixel_is_ink(a, x, y + 1) +
                               pixel_is_ink(a, x - 1, y) + pixel_is_ink(a, x + 1, y));
            if (n >= 3) pixel_set_white(a, x, y);
        }
    }
    for (int y = std::max(0, H - 4); y < H; ++y) std::memset(bitmap_row(a, y), 0xFF, static_cast<std::size_t>(bpl));
}

}  // namespace rk

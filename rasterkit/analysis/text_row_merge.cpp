// Text-row finder: columns of small print, ink between blocks, and the
// gathering of fragments and neighbours into text rows.
#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "text_row_steps.h"

namespace rk {
namespace {

bool deleted(const TextBlock& b) { return b.left == -1; }

void remove(TextBlock& b) { b.left = -1; }

int height(const TextBlock& b) { return b.bottom - b.top; }

bool contains(const TextBlock& a, const TextBlock& b) {
    return a.left <= b.left && a.right >= b.right && a.top <= b.top && a.bottom >= b.bottom;
}

void unite(TextBlock& into, const TextBlock& b) {
    into.left = std::min(into.left, b.left);
    into.top = std::min(into.top, b.top);
    into.right = std::max(into.right, b.right);
    into.bottom = std::max(into.bottom, b.bottom);
}

unsigned char byte_at(const AnalysisInstance& a, int x, int y) {
    if (a.objectbitmap == nullptr || x < 0 || y < 0 || x >= a.BMP_bpl || y >= a.BMP_lines) return 0xFF;
    return a.objectbitmap[static_cast<std::ptrdiff_t>(y) * a.BMP_bpl + x];
}

}  // namespace

bool in_text_column(const AnalysisInstance& a, int k) {
    const TextRowsState& s = a.textrows;
    const TextBlock* t = s.blocktable;
    const TextBlock& b = t[k];
    int aligned = 0;
    int misaligned = 0;

    // Lines below k.
    int counted = 0;
    int bottom = b.bottom;
    for (int m = k + 1; m < s.block_count - 1; ++m) {
        const TextBlock& c = t[m];
        if (deleted(c) || c.top < bottom || c.left > b.right || c.right < b.left) continue;
        ++counted;
        if (std::abs(c.left - b.left) <= 1) {
            bottom = c.bottom;
            if (++aligned == 3) return true;
        } else if (++misaligned == 2) {
            break;
        }
        if (counted == 4) break;
    }

    // Lines above k.
    counted = 0;
    int top = b.top;
    for (int m = k - 1; m >= 0; --m) {
        const TextBlock& c = t[m];
        if (deleted(c) || c.bottom > top || c.left > b.right || c.right < b.left) continue;
        ++counted;
        if (std::abs(c.left - b.left) <= 1) {
            top = c.top;
            if (++aligned == 3) return true;
        } else if (++misaligned == 2) {
            return false;
        }
        if (counted == 4) return false;
    }
    return false;
}

bool beside_text_column(const AnalysisInstance& a, int k) {
    const TextRowsState& s = a.textrows;
    const TextBlock* t = s.blocktable;
    const TextBlock& b = t[k];
    int line = b.top;
    int counted = 0;
    for (int m = 0; m < s.block_count; ++m) {
        const TextBlock& c = t[m];
        if (m == k || deleted(c) || c.bottom < line) continue;
        if (c.top > b.bottom) break;
        if (c.bottom >= b.top && c.right <= b.left && (counted == 0 || c.top >= line)) {
            line = c.bottom;
            if (++counted == 3) return true;
        }
    }
    return false;
}

bool column_between(const AnalysisInstance& a, int i, int j) {
    if (in_text_column(a, j)) return true;
    const TextRowsState& s = a.textrows;
    const TextBlock* t = s.blocktable;
    const TextBlock& bi = t[i];
    const TextBlock& bj = t[j];
    for (int m = j + 1; m < s.block_count; ++m) {
        const TextBlock& c = t[m];
        if (deleted(c) || c.top < bj.bottom) continue;
        if (bi.right < c.left && c.left < bj.left) {
            if (in_text_column(a, m)) return true;
            break;
        }
        if (c.left >= bi.right) break;
    }
    for (int m = j - 1; m >= 0; --m) {
        const TextBlock& c = t[m];
        if (deleted(c) || c.bottom > bj.top) continue;
        if (bi.right < c.left && c.left < bj.left) {
            if (in_text_column(a, m)) return true;
            break;
        }
        if (c.left <= bj.left) break;
    }
    return beside_text_column(a, j);
}

bool gap_has_ink(const AnalysisInstance& a, int i, int j) {
    const TextBlock& bi = a.textrows.blocktable[i];
    const TextBlock& bj = a.textrows.blocktable[j];
    const int ya = (bi.top + bj.top) / 2;
    const int yc = (bi.bottom + bj.bottom) / 2;
    const int yb = (ya + yc) / 2;
    const int lines[3] = {ya, yb, yc};
    int hits = 0;
    for (int y : lines) {
        const int from = bi.right + 1;
        int x = from;
        while (x < bj.left - 1 && byte_at(a, x, y) == 0xFF) ++x;
        if (x > from && x < bj.left - 1 && ++hits == 2) return true;
    }
    return false;
}

void absorb_fragments(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    TextBlock* t = s.blocktable;
    if (s.block_count < 1) return;
    int top = t[0].top;
    int bottom = t[0].bottom;
    for (int i = 0; i + 1 < s.block_count; ++i) {
        if (deleted(t[i])) continue;
        const bool in_band = t[i].top <= bottom - 4 && t[i].bottom >= top + 4;
        if (!(in_band && (i == 0 || !column_between(a, i - 1, i)))) {
            top = t[i].top;
            bottom = t[i].bottom;
            for (int j = i + 1; j < s.block_count; ++j) {
                if (deleted(t[j])) continue;
                if (column_between(a, j - 1, j)) break;
                if (t[j].top <= bottom - 4 && t[j].bottom >= top + 4) {
                    top = std::min(top, t[j].top);
                    bottom = std::max(bottom, t[j].bottom);
                }
            }
        }
        const int small = (bottom - top) / 5;
        for (int j = i + 1; j < s.block_count; ++j) {
            TextBlock& bj = t[j];
            if (deleted(bj)) continue;
            if (bj.top > bottom - 4 || bj.bottom < top + 4 || column_between(a, j - 1, j)) break;
            TextBlock& bi = t[i];
            if (bi.left >= bj.left && bi.right <= bj.right && small > height(bi)) {
                bj.top = std::min(bj.top, bi.top);
                bj.bottom = std::max(bj.bottom, bi.bottom);
                remove(bi);
                break;
            }
            if (bj.left >= bi.left && bj.right <= bi.right && small > height(bj)) {
                bi.top = std::min(bi.top, bj.top);
                bi.bottom = std::max(bi.bottom, bj.bottom);
                remove(bj);
            }
        }
    }
}

void merge_neighbours(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    TextBlock* t = s.blocktable;

    // Neighbours along one line of text.
    int i = 0;
    int j = 1;
    while (i < s.block_count - 1 && j < s.block_count) {
        TextBlock& bi = t[i];
        TextBlock& bj = t[j];
        bool join = !deleted(bi) && !deleted(bj) && bi.top <= bj.bottom && bi.bottom >= bj.top;
        if (join) {
            const int overlap = std::min(bi.bottom, bj.bottom) - std::max(bi.top, bj.top);
            const int smaller = std::min(height(bi), height(bj));
            join = overlap > 2 * smaller / 3 && bj.left >= bi.left && bj.left <= bi.right + 16 &&
                   !column_between(a, i, j) && !gap_has_ink(a, i, j);
        }
        if (join) {
            unite(bi, bj);
            remove(bj);
            ++j;
        } else {
            i = j;
            j = j + 1;
        }
    }

    // Blocks inside or mostly over one another.
    for (int p = 0; p < s.block_count; ++p) {
        for (int q = 0; q < s.block_count; ++q) {
            TextBlock& ba = t[p];
            TextBlock& bb = t[q];
            if (deleted(ba)) break;
            if (q == p || deleted(bb)) continue;
            if (contains(ba, bb)) {
                remove(bb);
            } else if (contains(bb, ba)) {
                remove(ba);
                break;
            } else if (ba.left <= bb.right && ba.right >= bb.left && ba.top <= bb.bottom && ba.bottom >= bb.top &&
                       4 * std::min(ba.bottom - bb.top, bb.bottom - ba.top) > 3 * std::min(height(ba), height(bb))) {
                unite(ba, bb);
                remove(bb);
            }
        }
    }
}

}  // namespace rk

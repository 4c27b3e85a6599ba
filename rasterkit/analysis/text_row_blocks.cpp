// Text-row finder: frames and enclosed blocks, compaction of the block
// table and the reading order of the blocks.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

#include "field_bitmap.h"
#include "text_row_steps.h"

namespace rk {
namespace {

bool deleted(const TextBlock& b) { return b.left == -1; }

bool inside(const TextBlock& outer, const TextBlock& inner) {
    return outer.left <= inner.left && outer.right >= inner.right && outer.top <= inner.top &&
           outer.bottom >= inner.bottom;
}

// Byte x of line y, background outside the bitmap.
unsigned char byte_at(const AnalysisInstance& a, int x, int y) {
    if (a.objectbitmap == nullptr || x < 0 || y < 0 || x >= a.BMP_bpl || y >= a.BMP_lines) return 0xFF;
    return a.objectbitmap[static_cast<std::ptrdiff_t>(y) * a.BMP_bpl + x];
}

long key(const TextBlock& b, int x0, int y0) {
    return static_cast<long>(b.left - x0) * 8 + (b.top - y0);
}

}  // namespace

bool is_frame(const AnalysisInstance& a, const TextBlock& b) {
    const int w = b.right - b.left;
    const int h = b.bottom - b.top;

    // Top band: pixel columns without ink on the first lines of the block.
    const int band_lines = std::min(h, 12);
    int gaps = 0;
    const int c_end = (b.right - w / 10) * 8 - 4;
    for (int c = (b.left + w / 10) * 8; c < c_end; ++c) {
        bool blank = true;
        for (int col = c; col < c + 4 && blank; ++col)
            for (int y = b.top; y < b.top + band_lines; ++y)
                if (pixel_is_ink(a, col, y)) {
                    blank = false;
                    break;
                }
        if (blank && ++gaps == 2) return false;
    }

    // Left band: lines whose first bytes of the block are blank.
    const int band_bytes = std::min(w, 2);
    gaps = 0;
    const int y_end = b.bottom - h / 10 - 8;
    for (int y = b.top + h / 10; y < y_end; ++y) {
        bool blank = true;
        for (int line = y; line < y + 8 && blank; ++line)
            for (int x = b.left; x < b.left + band_bytes; ++x)
                if (byte_at(a, x, line) != 0xFF) {
                    blank = false;
                    break;
                }
        if (blank && ++gaps == 2) return false;
    }
    return true;
}

void drop_enclosing(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    TextBlock* t = s.blocktable;
    for (int i = 0; i < s.block_count; ++i) {
        if (deleted(t[i])) continue;
        int found = -1;
        for (int j = 0; j < s.block_count; ++j) {
            if (j != i && !deleted(t[j]) && inside(t[i], t[j])) {
                found = j;
                break;
            }
        }
        if (found < 0) continue;
        if (is_frame(a, t[i])) {
            t[i].left = -1;
            continue;
        }
        for (int j = found; j < s.block_count; ++j)
            if (j != i && !deleted(t[j]) && inside(t[i], t[j])) t[j].left = -1;
    }
}

void compact_blocks(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    int n = 0;
    for (int i = 0; i < s.block_count; ++i)
        if (!deleted(s.blocktable[i])) s.blocktable[n++] = s.blocktable[i];
    s.block_count = n;
}

void sort_blocks(AnalysisInstance& a, int x0, int y0) {
    TextRowsState& s = a.textrows;
    TextBlock* t = s.blocktable;
    const int n = s.block_count;
    // A sweep that still swaps after as many sweeps as there are blocks
    // would only shuffle blocks of no clear order.
    for (int sweep = 0; sweep <= n; ++sweep) {
        bool swapped = false;
        for (int p = 0; p < n; ++p) {
            int best = p;
            for (int q = p + 1; q < n; ++q)
                if (key(t[q], x0, y0) < key(t[best], x0, y0)) best = q;
            // Climb to a block above the best one, or overlapping it from above.
            for (int climb = 0; climb < n; ++climb) {
                const int band = t[best].top + (t[best].bottom - t[best].top) / 5;
                long smallest = std::numeric_limits<long>::max();
                bool accepted = false;
                for (int q = p; q < n; ++q) {
                    const TextBlock& b = t[q];
                    const long k = key(b, x0, y0);
                    if (k >= smallest) continue;
                    const TextBlock& cur = t[best];
                    const bool above = b.bottom - (b.bottom - b.top) / 5 < band;
                    const bool overlaps_from_above = b.top <= cur.bottom && b.bottom >= cur.top &&
                                                     b.left <= cur.right && b.right >= cur.left &&
                                                     b.top < cur.top && b.bottom < cur.bottom;
                    if (above || overlaps_from_above) {
                        smallest = k;
                        best = q;
                        accepted = true;
                    }
                }
                if (!accepted) break;
            }
            if (best > p) {
                std::swap(t[p], t[best]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

}  // namespace rk

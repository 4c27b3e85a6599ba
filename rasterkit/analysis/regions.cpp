// Region search on the binary cell map and refinement of its rectangles.
#include "regions.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include "cell_map.h"
#include "results.h"
#include "zero_alloc.h"

namespace rk {
namespace {

bool refining_mode(int mode) { return mode == 0 || mode == 2 || mode == 4 || mode == 5; }

void free_region(AnalysisInstance& a, Region& g) {
    g = Region{};
    g.life = a.tuning.region_life;
    if (a.regions_in_use > 0) --a.regions_in_use;
}

// Opens a region in the free entry with the lowest index; false when full.
// `used` is one past the highest entry that may be in use.
bool open_region(AnalysisInstance& a, int first_row, int first_col, int last_col, int row, int& used) {
    for (int i = 0; i < kRegionCapacity; ++i) {
        Region& g = a.regiontable[static_cast<std::size_t>(i)];
        if (g.in_use) continue;
        used = std::max(used, i + 1);
        g.in_use = true;
        g.first_row = first_row;
        g.first_col = first_col;
        g.last_col = last_col;
        g.life = a.tuning.region_life;
        // The run that opens a region joins it.
        g.touched = true;
        g.last_row = row;
        ++a.regions_in_use;
        return true;
    }
    return false;
}

// Turns a region into a pixel rectangle and tests it; `final` for the
// regions still open after the last cell row.
void close_region(AnalysisInstance& a, const Region& g, bool final) {
    const Tuning& t = a.tuning;
    const int step = std::max(t.cell_step, 1);
    Rect r;
    r.left = std::max(0, g.first_col * step - step / 2);
    r.top = std::max(0, (g.first_row - 1) * 2);
    const int extra = final && refining_mode(t.mode) ? step : step / 2;
    r.right = std::min(::MAXCOL - 1, (g.last_col + 2) * step + extra);
    r.bottom = final ? std::min(::MAXLIN - 1, (a.celllin - 2) * 2) : std::min(::MAXLIN - 1, (g.last_row + 2) * 2);
    const int min_w = t.min_w_factor * t.win_w;
    const int min_h = t.min_h_factor * t.cell_h;
    if (!(r.right - r.left > min_w && r.bottom - r.top > min_h)) return;
    if (!refining_mode(t.mode)) {
        add_candidate(a, r.left, r.top, r.right, r.bottom);
        return;
    }
    refine_rect(a, r);
    const int h = r.bottom - r.top;
    if (r.right - r.left > min_w && min_h < h && h < 100) add_candidate(a, r.left, r.top, r.right, r.bottom);
}

}  // namespace

void extract_regions(AnalysisInstance& a) {
    const Tuning& t = a.tuning;
    for (Region& g : a.regiontable) {
        g = Region{};
        g.life = t.region_life;
    }
    a.regions_in_use = 0;
    if (a.cellmap == nullptr) return;
    const int cols = a.cellcol;
    // Entries from `used` on are all free: the loops stop there.
    int used = 0;
    auto in_table = [&]() { return std::span<Region>(a.regiontable.data(), static_cast<std::size_t>(used)); };
    for (int r = 0; r <= a.celllin - 2; ++r) {
        for (Region& g : in_table())
            if (g.in_use) g.touched = false;
        int c = 0;
        while (c < cols) {
            if (cell(a, r, c) != 1) {
                ++c;
                continue;
            }
            const int c0 = c;
            int c1 = c;
            // Extend over 1-cells and over gaps shorter than RUN_GAP.
            while (true) {
                while (c < cols && cell(a, r, c) == 1) ++c;
                c1 = c - 1;
                int gap = 0;
                while (c + gap < cols && cell(a, r, c + gap) != 1) ++gap;
                if (c + gap < cols && gap < t.run_gap) {
                    c += gap;
                    continue;
                }
                break;
            }
            // The regions this run overlaps.
            int n = 0, first_row = 0, first_col = 0, last_col = 0;
            for (Region& g : in_table()) {
                if (!g.in_use || g.first_col > c1 || c0 > g.last_col) continue;
                g.touched = true;
                g.first_col = std::min(g.first_col, c0);
                g.last_col = std::max(g.last_col, c1);
                g.life = t.region_life;
                g.last_row = r;
                if (n == 0) {
                    first_row = g.first_row;
                    first_col = g.first_col;
                    last_col = g.last_col;
                } else {
                    first_row = std::min(first_row, g.first_row);
                    first_col = std::min(first_col, g.first_col);
                    last_col = std::max(last_col, g.last_col);
                }
                ++n;
            }
            if (n >= 2) {
                // Exactly the regions met above still overlap the run.
                for (Region& g : in_table())
                    if (g.in_use && !(g.first_col > c1 || c0 > g.last_col)) free_region(a, g);
                open_region(a, first_row, first_col, last_col, r, used);
            } else if (n == 0) {
                open_region(a, r, c0, c1, r, used);
            }
        }
        for (Region& g : in_table()) {
            if (!g.in_use || g.touched) continue;
            if (--g.life <= 0) {
                const Region closed = g;
                free_region(a, g);
                close_region(a, closed, false);
            }
        }
    }
    for (Region& g : in_table()) {
        if (!g.in_use) continue;
        const Region closed = g;
        free_region(a, g);
        close_region(a, closed, true);
    }
}

void refine_rect(AnalysisInstance& a, Rect& rect) {
    const Tuning& t = a.tuning;
    const int step = std::max(t.cell_step, 1);
    int cx0 = rect.left / step, cx1 = rect.right / step;
    int cy0 = rect.top / 2, cy1 = rect.bottom / 2;
    const int base = cy0;
    const int n_rows = cy1 - cy0;
    if (n_rows < 1) return;
    orvo::ZeroPtr<int> counts = orvo::make_zeroed<int>(static_cast<std::size_t>(n_rows));
    if (!counts) return;
    int* count = counts.get();
    auto column_has_ink = [&](int c, int r0, int r1) {
        for (int r = r0; r <= r1; ++r)
            if (cell(a, r, c) == 1) return true;
        return false;
    };
    for (int pass = 0; pass < 2; ++pass) {
        const int m = (cx1 - cx0) / 7;
        int most = 0;
        for (int r = cy0; r < cy1; ++r) {
            int k = 0;
            for (int c = cx0 + m; c <= cx1 - m - 1; ++c) k += cell(a, r, c) == 1 ? 1 : 0;
            count[r - base] = k;
            most = std::max(most, k);
        }
        const int th = most / 3;
        for (int r = cy0; r < cy1 - 8; ++r)
            if (count[r - base] >= th) {
                cy0 = std::max(r - 5, cy0);
                break;
            }
        for (int r = cy1 - 1; r >= cy0 + 8; --r)
            if (count[r - base] >= th) {
                cy1 = std::min(r + 6, cy1);
                break;
            }
        const int b = (cy1 - cy0) / 5;
        for (int c = cx0; c <= cx1 - 1; ++c)
            if (column_has_ink(c, cy0 + b, cy1 - b - 1)) {
                cx0 = std::max(c, cx0);
                break;
            }
        for (int c = cx1 - 1; c >= cx0; --c)
            if (column_has_ink(c, cy0 + b, cy1 - b - 1)) {
                cx1 = std::min(c + 1, cx1);
                break;
            }
    }
    counts.reset();

    // Cut off side parts separated from the row by empty columns.
    const int g = 2 * t.run_gap;
    const int w3 = (cx1 - cx0) / 3;
    if (g <= w3) {
        const int e = 2 * (cy1 - cy0) / 5;
        const int r0 = cy0 + e, r1 = cy1 - e - 1;
        int empty = 0;
        for (int c = cx0; c <= cx0 + w3 - 1; ++c) {
            if (!column_has_ink(c, r0, r1)) {
                ++empty;
            } else if (empty >= g) {
                cx0 = c;
                break;
            } else {
                empty = 0;
            }
        }
        empty = 0;
        for (int c = cx1 - 1; c >= cx1 - w3; --c) {
            if (!column_has_ink(c, r0, r1)) {
                ++empty;
            } else if (empty >= g) {
                cx1 = c + 1;
                break;
            } else {
                empty = 0;
            }
        }
    }

    if (cx1 >= cx0) {
        if (cx1 - cx0 <= g) {
            rect.left = cx0 * step;
            rect.right = cx1 * step;
        } else {
            rect.left = std::max(rect.left, cx0 * step - step / 2);
            rect.right = std::min(rect.right, (cx1 + 1) * step + step / 2);
        }
    }
    if (cy1 >= cy0) {
        rect.top = 2 * cy0;
        rect.bottom = 2 * cy1;
    }

    // Low rectangles get some height, and short ones some width.
    if (2 * (rect.bottom - rect.top + 1) < 3 * t.min_h_factor * t.cell_h) {
        rect.top = std::max(rect.top - 4, 2);
        rect.bottom = std::min(rect.bottom + 4, ::MAXLIN - 3);
        if (rect.right - rect.left + 1 < 5 * (rect.bottom - rect.top + 1)) {
            const int d = 3 * step / 2;
            rect.left = std::max(rect.left - d, step);
            rect.right = std::min(rect.right + d, ::MAXCOL - 1 - step);
        }
    }
    // Over-wide rectangles lose a little on both sides.
    const int e = ((rect.right - rect.left + 1) - 5 * (rect.bottom - rect.top + 1)) / 5;
    if (e - 1 >= 1) {
        rect.left += e - 1;
        rect.right -= e - 1;
    }
}

}  // namespace rk

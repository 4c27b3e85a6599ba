// Building, pruning and binarising the cell map of one pass.
#include "cell_map.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "zero_alloc.h"

namespace rk {

void free_cellmap(AnalysisInstance& a) {
    if (a.cellmap != nullptr) {
        for (int r = 0; r < a.celllin; ++r) orvo::zero_free(a.cellmap[r]);
        orvo::zero_free(a.cellmap);
    }
    a.cellmap = nullptr;
    a.celllin = 0;
    a.cellcol = 0;
}

int alloc_cellmap(AnalysisInstance& a) {
    free_cellmap(a);
    const int lines = ::MAXLIN / 2;
    const int cols = ::MAXCOL / std::max(a.tuning.cell_step, 1);
    if (lines < 1 || cols < 1) return 1;
    a.cellmap = static_cast<unsigned char**>(orvo::zero_alloc_array(static_cast<std::size_t>(lines), sizeof(unsigned char*)));
    if (a.cellmap == nullptr) return 0;
    a.celllin = lines;
    a.cellcol = cols;
    for (int r = 0; r < lines; ++r) {
        a.cellmap[r] = static_cast<unsigned char*>(orvo::zero_alloc(static_cast<std::size_t>(cols)));
        if (a.cellmap[r] == nullptr) {
            free_cellmap(a);
            return 0;
        }
    }
    return 1;
}

int cell(const AnalysisInstance& a, int r, int c) {
    if (a.cellmap == nullptr || r < 0 || r >= a.celllin || c < 0 || c >= a.cellcol) return 0;
    return a.cellmap[r][c];
}

int build_cellmap(AnalysisInstance& a) {
    const Tuning& t = a.tuning;
    a.edgethreshold = 0;
    const int D = t.edge_dist;
    const int P = t.win_w - (D + 1);
    const int step = std::max(t.cell_step, 1);
    if (a.image == nullptr || a.cellmap == nullptr || P < 1 || t.cell_h < 1 || D < 0) return 0;
    // The differences of one band of cell_h pixel rows are computed once per
    // pixel for all the overlapping windows of the band.
    const int xs = std::max(::MAXCOL - t.win_w, 0);  // window starts are below xs
    const int span = xs > 0 ? (xs - 1) / step * step + P : 0;  // columns the windows cover
    orvo::ZeroPtr<unsigned char> work = orvo::make_zeroed<unsigned char>(
        static_cast<std::size_t>(t.cell_h) * static_cast<std::size_t>(std::max(span, 1)));
    if (!work) return 0;
    unsigned char* d = work.get();
    long long hist[256] = {};
    long long visited = 0;
    const int n = t.cell_h * P;
    for (int y = 0; y < ::MAXLIN - t.cell_h; y += 2) {
        const int r = y / 2;
        for (int i = 0; i < t.cell_h; ++i) {
            const unsigned char* row = a.image + static_cast<std::ptrdiff_t>(y + i) * a.image_bpl;
            unsigned char* di = d + static_cast<std::size_t>(i) * span;
            for (int x = 0; x < span; ++x) {
                const int v = (row[x] + row[x + 1]) - (row[x + D] + row[x + D + 1]);
                di[x] = static_cast<unsigned char>((v < 0 ? -v : v) >> 1);
            }
        }
        for (int x0 = 0; x0 < xs; x0 += step) {
            const int c = x0 / step;
            int sum = 0, count = 0, total = 0;
            for (int i = 0; i < t.cell_h; ++i) {
                const unsigned char* di = d + static_cast<std::size_t>(i) * span + x0;
                unsigned most = 0;
                unsigned row_total = 0;
                for (int k = 0; k < P; ++k) {
                    most = most > di[k] ? most : di[k];
                    row_total += di[k];
                }
                total += static_cast<int>(row_total);
                if (most > 0) {
                    sum += static_cast<int>(most);
                    ++count;
                }
            }
            const int m = sum / std::max(count, 1);
            int value = 0;
            if (m > t.edge_min) {
                if (t.mode == 0 || t.mode == 1) {
                    const int floor = std::max(4 * m / 10, t.edge_floor);
                    int s = 0, k = 0;
                    for (int i = 0; i < t.cell_h; ++i) {
                        const unsigned char* di = d + static_cast<std::size_t>(i) * span + x0;
                        for (int j = 0; j < P; ++j)
                            if (di[j] >= floor) {
                                s += di[j];
                                ++k;
                            }
                    }
                    value = k > 0 ? s / k : 0;
                } else {
                    value = total / n;
                }
            }
            if (r < a.celllin && c < a.cellcol) a.cellmap[r][c] = static_cast<unsigned char>(value);
            ++hist[value];
            ++visited;
        }
    }
    work.reset();
    // No cell visited: the image is smaller than one window.
    if (visited == 0) return 0;
    double h[256];
    for (int v = 0; v < 256; ++v) h[v] = static_cast<double>(hist[v]) / static_cast<double>(visited);
    if (t.empty_bin > 0 && t.empty_bin < 256) {
        h[t.empty_bin] = h[0];
        h[0] = 0.0;
    }
    double mu = 0.0;
    for (int v = 0; v < 256; ++v) mu += (v + 1) * h[v];
    double var = 0.0;
    for (int v = 0; v < 256; ++v) var += (v + 1 - mu) * (v + 1 - mu) * h[v];
    a.edgethreshold = static_cast<int>(mu + std::sqrt(var));
    return a.edgethreshold >= t.edge_floor ? 1 : 0;
}

void prune_cellmap(AnalysisInstance& a) {
    if (a.cellmap == nullptr) return;
    const int thr = a.edgethreshold;
    const int t2 = 2 * thr / 3;
    const int rows = a.celllin, cols = a.cellcol;
    auto at = [&](int r, int c) -> unsigned char& { return a.cellmap[r][c]; };
    bool changed = true;
    while (changed) {
        changed = false;
        // Long runs, runs from the top or to the bottom, and the outer columns.
        for (int c = 0; c < cols; ++c) {
            int r = 0;
            while (r < rows) {
                if (at(r, c) <= t2) {
                    ++r;
                    continue;
                }
                const int r0 = r;
                while (r < rows && at(r, c) > t2) ++r;
                const int r1 = r;
                // The last map row stays empty for even heights; a run that
                // reaches the bottom ends there, or at the very end for odd ones.
                if (r1 - r0 > 40 || r0 == 0 || r1 >= rows - 1 || c == 0 || c == cols - 1) {
                    for (int k = r0; k < r1; ++k) at(k, c) = 0;
                    changed = true;
                }
            }
        }
        // Tall isolated strokes: strong start, no strong side neighbour.
        for (int c = 1; c <= cols - 2; ++c) {
            int r = 0;
            while (r < rows) {
                if (at(r, c) <= thr) {
                    ++r;
                    continue;
                }
                const int r0 = r;
                while (r < rows && at(r, c) > t2) ++r;
                const int r1 = r;
                if (8 * (r1 - r0) <= 200) continue;
                bool flanked = false;
                for (int k = r0; k < r1 && !flanked; ++k) flanked = at(k, c - 1) > thr || at(k, c + 1) > thr;
                if (!flanked) {
                    for (int k = r0; k < r1; ++k) at(k, c) = 0;
                    changed = true;
                }
            }
        }
    }
}

void binarize_cellmap(AnalysisInstance& a) {
    for (int r = 0; r < a.celllin; ++r)
        for (int c = 0; c < a.cellcol; ++c) a.cellmap[r][c] = a.cellmap[r][c] > a.edgethreshold ? 1 : 0;
}

}  // namespace rk

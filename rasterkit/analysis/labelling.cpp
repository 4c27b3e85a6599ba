// Run labelling and the component table of the current bitmap.
#include "labelling.h"

#include <algorithm>
#include <cstddef>

#include "field_bitmap.h"
#include "zero_alloc.h"

namespace rk {
namespace {

int find_root(int* parent, int x) {
    while (parent[x] != x) {
        parent[x] = parent[parent[x]];
        x = parent[x];
    }
    return x;
}

}  // namespace

void free_runs(AnalysisInstance& a) {
    orvo::zero_free(a.runblock);
    orvo::zero_free(a.rowindex);
    orvo::zero_free(a.componenttable);
    a.runblock = nullptr;
    a.runlist = nullptr;
    a.rowindex = nullptr;
    a.componenttable = nullptr;
    a.n_runs = 0;
    a.rowindex_lines = 0;
    a.n_table = 0;
    a.next_label = 0;
}

int label_bitmap(AnalysisInstance& a, int left, int top, int right, int bottom) {
    free_runs(a);
    a.n_components = 0;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, a.BMP_columns - 1);
    bottom = std::min(bottom, a.BMP_lines - 1);
    if (a.objectbitmap == nullptr || a.BMP_lines < 1) return 1;
    // Columns past the bytes of a line count as background.
    right = std::min(right, 8 * a.BMP_bpl - 1);
    auto line = [&](int y) -> const unsigned char* { return bitmap_row(a, y); };

    // Count the runs first: one block holds them all.
    int n = 0;
    for (int y = top; y <= bottom; ++y) {
        const unsigned char* row = line(y);
        for (int x = next_ink(row, left, right); x <= right; x = next_ink(row, x, right)) {
            ++n;
            x = next_background(row, x, right);
        }
    }
    a.rowindex = static_cast<Run**>(orvo::zero_alloc_array(static_cast<std::size_t>(a.BMP_lines), sizeof(Run*)));
    if (a.rowindex == nullptr) return 0;
    a.rowindex_lines = a.BMP_lines;
    if (n == 0) return 1;
    a.runblock = static_cast<Run*>(orvo::zero_alloc_array(static_cast<std::size_t>(n), sizeof(Run)));
    auto* parent = static_cast<int*>(orvo::zero_alloc_array(static_cast<std::size_t>(n), sizeof(int)));
    if (a.runblock == nullptr || parent == nullptr) {
        orvo::zero_free(parent);
        free_runs(a);
        return 0;
    }

    int next_label = 0;
    int made = 0;
    // The runs of the row above are runblock[above_begin .. above_end),
    // left to right.
    int above_begin = 0, above_end = 0;
    for (int y = top; y <= bottom; ++y) {
        const unsigned char* row = line(y);
        const int row_begin = made;
        int j = above_begin;  // first run above that can touch the next run
        for (int x = next_ink(row, left, right); x <= right; x = next_ink(row, x, right)) {
            Run& r = a.runblock[made];
            r.first = x;
            x = next_background(row, x, right);
            r.last = x - 1;
            r.row = y;
            r.label = -1;
            r.next = a.runlist;
            a.runlist = &r;
            ++made;
            // Join the touching runs of the row above, right to left; a
            // second label met merges the run's earlier label into it.
            while (j < above_end && a.runblock[j].last + 1 < r.first) ++j;
            int k = j;
            while (k < above_end && a.runblock[k].first - 1 <= r.last) ++k;
            for (int i = k - 1; i >= j; --i) {
                const int lp = find_root(parent, a.runblock[i].label);
                if (r.label == -1) {
                    r.label = lp;
                } else if (r.label != lp) {
                    parent[r.label] = lp;
                    r.label = lp;
                }
            }
            if (r.label == -1) {
                parent[next_label] = next_label;
                r.label = next_label++;
            }
        }
        if (made > row_begin) a.rowindex[y] = a.runlist;
        above_begin = row_begin;
        above_end = made;
    }
    a.n_runs = made;

    // Resolve merged labels and number the survivors densely in order.
    auto* dense = static_cast<int*>(orvo::zero_alloc_array(static_cast<std::size_t>(next_label), sizeof(int)));
    if (dense == nullptr) {
        orvo::zero_free(parent);
        free_runs(a);
        return 0;
    }
    for (int i = 0; i < next_label; ++i) dense[i] = -1;
    for (int i = 0; i < made; ++i) dense[find_root(parent, a.runblock[i].label)] = 0;
    int k = 0;
    for (int i = 0; i < next_label; ++i)
        if (dense[i] == 0) dense[i] = k++;
    for (int i = 0; i < made; ++i) a.runblock[i].label = dense[find_root(parent, a.runblock[i].label)];
    a.next_label = k;
    orvo::zero_free(dense);
    orvo::zero_free(parent);
    return 1;
}

int build_component_table(AnalysisInstance& a) {
    orvo::zero_free(a.componenttable);
    a.componenttable = nullptr;
    a.n_table = 0;
    a.n_components = 0;
    if (a.n_runs == 0 || a.next_label < 1) return 0;
    auto* dense = static_cast<int*>(orvo::zero_alloc_array(static_cast<std::size_t>(a.next_label), sizeof(int)));
    if (dense == nullptr) return 0;
    for (int i = 0; i < a.next_label; ++i) dense[i] = -1;
    for (int i = 0; i < a.n_runs; ++i)
        if (a.runblock[i].label >= 0) dense[a.runblock[i].label] = 0;
    int n = 0;
    for (int i = 0; i < a.next_label; ++i)
        if (dense[i] == 0) dense[i] = n++;
    if (n == 0) {
        orvo::zero_free(dense);
        return 0;
    }
    a.componenttable = static_cast<Component*>(orvo::zero_alloc_array(static_cast<std::size_t>(n), sizeof(Component)));
    if (a.componenttable == nullptr) {
        orvo::zero_free(dense);
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        Component& c = a.componenttable[i];
        c.left = 32767;
        c.top = 32767;
        c.right = -1;
        c.bottom = -1;
        c.index = i;
    }
    for (int i = 0; i < a.n_runs; ++i) {
        Run& r = a.runblock[i];
        if (r.label < 0) continue;
        r.label = dense[r.label];
        Component& c = a.componenttable[r.label];
        c.left = std::min(c.left, r.first);
        c.right = std::max(c.right, r.last);
        c.top = std::min(c.top, r.row);
        c.bottom = std::max(c.bottom, r.row);
    }
    for (int i = 0; i < n; ++i) {
        Component& c = a.componenttable[i];
        c.cx = (c.left + c.right) / 2;
        c.cy = (c.top + c.bottom) / 2;
        c.width = c.right - c.left + 1;
        c.height = c.bottom - c.top + 1;
    }
    orvo::zero_free(dense);
    a.next_label = n;
    a.n_table = n;
    a.n_components = n;
    return 1;
}

int relabel(AnalysisInstance& a) {
    if (!label_bitmap(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1)) return 0;
    return build_component_table(a);
}

void filter_components(AnalysisInstance& a, int mode) {
    // The components to erase are marked in the table first (index -2),
    // then erased in one walk over the runs.
    constexpr int kMarked = -2;
    int marked = 0;
    for (int i = 0; i < a.n_table; ++i) {
        Component& c = a.componenttable[i];
        if (!present(c)) continue;
        bool keep;
        if (mode == 0)
            keep = c.height >= 16 && c.left > 0 && c.right < a.BMP_columns - 1 && c.width * c.height > 80;
        else
            keep = c.left != 0 && c.right < a.BMP_columns - 1;
        if (!keep) {
            c.index = kMarked;
            ++marked;
        }
    }
    if (marked == 0) return;
    for (int i = 0; i < a.n_runs; ++i) {
        Run& r = a.runblock[i];
        if (r.label >= 0 && r.label < a.n_table && a.componenttable[r.label].index == kMarked) erase_run(a, &r);
    }
    for (int i = 0; i < a.n_table; ++i) {
        if (a.componenttable[i].index != kMarked) continue;
        if (a.n_components > 0) --a.n_components;
        a.componenttable[i] = Component{};
        a.componenttable[i].index = -1;
    }
}

void erase_run(AnalysisInstance& a, Run* run) {
    for (int x = run->first; x <= run->last; ++x) pixel_set_white(a, x, run->row);
    run->label = -1;
}

void erase_component(AnalysisInstance& a, int index) {
    // An entry already erased is not counted off twice.
    if (index < 0 || index >= a.n_table || !present(a.componenttable[index])) return;
    for (int i = 0; i < a.n_runs; ++i)
        if (a.runblock[i].label == index) erase_run(a, &a.runblock[i]);
    if (a.n_components > 0) --a.n_components;
    a.componenttable[index] = Component{};
    a.componenttable[index].index = -1;
}

}  // namespace rk

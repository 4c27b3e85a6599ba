// Reading character cells with splits and fall-backs.
#include "field/cell_reader.h"

#include "classify/classifier.h"
#include "classify/features.h"
#include "classify/nearest_prototype.h"
#include "image/framing.h"
#include "kb/kb_store.h"

namespace gn {

int split_search(const Net* nets, int x, int top, int w, int h) {
    const Frame saved = current_frame();
    const int third2 = 2 * (h / 3);
    const int last = (w < 4 * h ? w : 4 * h) - 1;
    int best_d = kNoDistance + 1, best_i = 0, split = 0;
    bool in_run = false;
    unsigned char lc1 = 0, lc2 = 0;
    for (int i = 4; i <= last; ++i) {
        int threshold = i < third2 ? 500 : 1600;
        if (i >= w - third2 + 1) threshold = 500;
        bool counts = false;
        ClassAnswer a;
        if (frame_char(x, top, i, h)) {
            const Frame f = current_frame();
            const int min_w = f.height / 3 < w / 2 - 1 ? f.height / 3 : w / 2 - 1;
            const bool big = f.height > h / 3 || f.width > h / 4 ||
                             (top + h) - (f.top + f.height) <= h / 4;
            if (f.width > 3 && f.height > 3 && f.width >= min_w && big) {
                FeatureVector v;
                if (extract_features(f.left, f.top, f.width, f.height, &v)) {
                    a = classify_in(nets, v.v, shape_code(v.v));
                    counts = a.found && a.distance < threshold;
                }
            }
        }
        if (!counts) {
            in_run = false;
            continue;
        }
        if (!in_run || a.c1 != lc1 || a.c2 != lc2) {
            best_d = kNoDistance + 1;
            best_i = 0;
            in_run = true;
            lc1 = a.c1;
            lc2 = a.c2;
        }
        if (a.distance <= best_d) {
            best_d = a.distance;
            best_i = i;
        }
        split = best_i;
    }
    current_frame() = saved;
    return split;
}

bool read_cell(const Segment& c, int cell, SlotString* s) {
    int x = c.left;
    int w = c.right - c.left;
    const int h = c.bottom - c.top;
    bool read_any = false, after_split = false;
    while (x < c.right && w > 0) {
        if (!frame_char(x, c.top, w, h)) {
            if (!read_any) return add_blank_slot(s);
            return true;
        }
        const Frame f = current_frame();
        FeatureVector& v = current_vector();
        if (!extract_features(f.left, f.top, f.width, f.height, &v)) {
            if (!read_any) return add_blank_slot(s);
            return true;
        }
        current_shape() = shape_code(v.v);
        const ClassAnswer a = classify_across(v.v, current_shape(), after_split);
        after_split = false;
        if (a.found) {
            if (!add_class_slot(s, a.c1, a.c2, cell, f.left, f.top, f.width, f.height))
                return false;
            read_any = true;
            x += w;
            w = c.right - x;
            if (w < 3) break;
            continue;
        }
        // Nothing contains it: look for a split in every selected base.
        KbStore& st = kb_store();
        int best = 0, best_kb = -1;
        for (int i = 0; i < st.entry_count; ++i) {
            if (!st.entries[i].selected) continue;
            const int sw = split_search(st.entries[i].nets, x, c.top, w, h);
            if (sw > best) {
                best = sw;
                best_kb = i;
            }
        }
        if (best > 0 && best < w) {
            st.current = best_kb;
            w = best;
            after_split = true;
            continue;
        }
        const PrototypeAnswer p = nearest_prototype(v.v);
        const unsigned char c1 = p.found ? p.c1 : '^', c2 = p.found ? p.c2 : '_';
        if (!add_class_slot(s, c1, c2, cell, f.left, f.top, f.width, f.height)) return false;
        read_any = true;
        x += w;
        w = c.right - x;
    }
    return true;
}

void read_cells(const Segment* cells, int n, int space, SlotString* s) {
    for (int i = 0; i < n; ++i) {
        if (i > 0 && space >= 1) {
            const int gap = cells[i].left - cells[i - 1].right;
            int blanks = gap > 0 ? gap / space : 0;
            if (blanks >= 2048) blanks = 3;
            else if (blanks > 1) blanks /= 2;
            for (int k = 0; k < blanks; ++k)
                if (!add_blank_slot(s)) return;
        }
        if (!read_cell(cells[i], i, s)) return;
    }
}

}  // namespace gn

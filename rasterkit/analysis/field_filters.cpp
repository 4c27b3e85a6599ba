// Filters of the second pass: nested candidates, field geometry within the
// page, small rows without a larger neighbour, pairwise comparison of the
// fields and the minimum best score.
#include "field_filters.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "zero_alloc.h"

namespace rk {

void release_record(seg_result* r) {
    if (r == nullptr) return;
    orvo::zero_free(r->bitmap);
    orvo::zero_free(r);
}

namespace {

bool inside(const seg_result* r, const seg_result* s) {
    return r->left >= s->left && r->top >= s->top && r->right <= s->right && r->bottom <= s->bottom;
}

// Unlinks and frees the records marked in `drop` (list order).
void release_marked(seg_result*& head, const std::vector<bool>& drop) {
    seg_result** link = &head;
    std::size_t i = 0;
    while (*link != nullptr) {
        seg_result* r = *link;
        if (i < drop.size() && drop[i]) {
            *link = r->next;
            release_record(r);
        } else {
            link = &r->next;
        }
        ++i;
    }
}

bool keep_geometry(const seg_result* r, const AnalysisRules& rules) {
    const int halfH = std::max(150, MAXLIN / 2);
    const int colMin = MAXCOL / 5, colMax = MAXCOL - MAXCOL / 5;
    const int lineMin = MAXLIN / 6, lineMax = MAXLIN - MAXLIN / 7;
    const int w = r->right - r->left, h = r->bottom - r->top;
    return h <= std::min(halfH, 5 * w / 3) && w <= std::min(7 * h, colMax) && r->top > 10 &&
           r->bottom >= lineMin && r->top <= lineMax && (!rules.right_edge_rule || r->right >= colMin) && r->left <= colMax &&
           score_of(r) < 10;
}

// A small row stays when a row with 3 or more characters covers it side
// to side and lies just below it or reaches down past its bottom.
bool has_larger_row(const seg_result* r, const seg_result* head) {
    for (const seg_result* s = head; s != nullptr; s = s->next) {
        if (s == r || score_of(s) < 3) continue;
        if (!(s->left - 10 <= r->left && s->right + 10 >= r->right)) continue;
        const int gap = s->top - r->bottom;
        if (gap > 0 && gap <= std::min((s->bottom - s->top) / 5, 16)) return true;
        if (s->top <= r->bottom && r->bottom < s->bottom) return true;
    }
    return false;
}

bool loses_against(const seg_result* a, const seg_result* b) {
    const int an = score_of(a), bn = score_of(b);
    const bool both_3_or_4 = (an == 3 || an == 4) && (bn == 3 || bn == 4);
    if (an >= bn && !both_3_or_4) return true;
    if (an >= 3 && bn >= 5 && b->top <= a->bottom && a->bottom < b->bottom) return true;
    return std::min(b->bottom - b->top, a->bottom - a->top) < 2 * (b->top - a->bottom);
}

}  // namespace

void drop_nested(seg_result*& head) {
    seg_result** link = &head;
    while (*link != nullptr) {
        seg_result* r = *link;
        bool nested = false;
        for (const seg_result* s = head; s != nullptr && !nested; s = s->next)
            nested = s != r && inside(r, s);
        if (nested) {
            *link = r->next;
            release_record(r);
        } else {
            link = &r->next;
        }
    }
}

void filter_fields(seg_result*& head, const AnalysisRules& rules) {
    // Geometry.
    int kept = 0, top = 0;
    {
        seg_result** link = &head;
        while (*link != nullptr) {
            seg_result* r = *link;
            if (!keep_geometry(r, rules)) {
                *link = r->next;
                release_record(r);
                continue;
            }
            if (kept == 0 || score_of(r) > top) top = score_of(r);
            ++kept;
            link = &r->next;
        }
    }
    if (kept >= 2) {
        // Small rows: every record is judged against the list as it stands
        // before any of them is released.
        const int t = std::min(top / 2, 3);
        std::vector<bool> drop;
        for (const seg_result* r = head; r != nullptr; r = r->next) {
            const bool d = score_of(r) <= t && !has_larger_row(r, head);
            drop.push_back(d);
            if (d) --kept;
        }
        release_marked(head, drop);
    }
    if (kept >= 2) {
        // Pairwise: a record goes as soon as one later record still in the
        // list beats it; the last record always stays.
        seg_result** link = &head;
        while (*link != nullptr) {
            seg_result* a = *link;
            bool lose = false;
            for (const seg_result* b = a->next; b != nullptr && !lose; b = b->next) lose = loses_against(a, b);
            if (lose) {
                *link = a->next;
                release_record(a);
                --kept;
            } else {
                link = &a->next;
            }
        }
    }
    if (kept >= 1) {
        int best = -128;
        for (const seg_result* r = head; r != nullptr; r = r->next) best = std::max(best, score_of(r));
        if (best < 3) kept = 0;
    }
    if (kept < 1) {
        while (head != nullptr) {
            seg_result* next = head->next;
            release_record(head);
            head = next;
        }
    }
}

}  // namespace rk

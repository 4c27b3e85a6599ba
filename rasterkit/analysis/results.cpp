// The results list: navigation, hit tests, release and new candidates.
#include "results.h"

#include "field_bitmap.h"
#include "zero_alloc.h"

namespace rk {

int results_number(const AnalysisInstance& a) {
    int n = 0;
    for (const seg_result* r = a.results; r != nullptr; r = r->next) ++n;
    return n;
}

int get_result(AnalysisInstance& a, int direction, seg_result** cursor) {
    if (cursor == nullptr || a.results == nullptr) return 0;
    bool starting = false;
    if (*cursor == nullptr) {
        *cursor = a.results;
        starting = true;
    }
    if (direction != 0) {
        if ((*cursor)->next != nullptr && !starting) *cursor = (*cursor)->next;
        load_bitmap(a, *cursor);
        return (*cursor)->next != nullptr ? 1 : 0;
    }
    if (*cursor == a.results) {
        load_bitmap(a, *cursor);
        return 0;
    }
    for (seg_result* r = a.results; r != nullptr; r = r->next) {
        if (r->next == *cursor) {
            *cursor = r;
            load_bitmap(a, r);
            return r == a.results ? 0 : 1;
        }
    }
    return 1;
}

seg_result* select_bmap(AnalysisInstance& a, int x, int y) {
    seg_result* hit = nullptr;
    int hits = 0;
    for (seg_result* r = a.results; r != nullptr && hits < 2; r = r->next) {
        if (r->left <= x && x <= r->right && r->top <= y && y <= r->bottom) {
            hit = r;
            ++hits;
        }
    }
    if (hits != 1) return nullptr;
    load_bitmap(a, hit);
    return hit;
}

void free_result_list(seg_result* head) {
    while (head != nullptr) {
        seg_result* next = head->next;
        orvo::zero_free(head->bitmap);
        orvo::zero_free(head);
        head = next;
    }
}

void clear_results(AnalysisInstance& a) {
    free_result_list(a.results);
    a.results = nullptr;
}

void add_candidate(AnalysisInstance& a, int left, int top, int right, int bottom) {
    auto* rec = static_cast<seg_result*>(orvo::zero_alloc(sizeof(seg_result)));
    if (rec == nullptr) return;
    rec->columns = right - left + 1;
    rec->lines = bottom - top + 1;
    rec->bpl = (rec->columns + 7) / 8;
    rec->left = left;
    rec->top = top;
    rec->right = right;
    rec->bottom = bottom;
    rec->next = a.results;
    a.results = rec;
}

}  // namespace rk

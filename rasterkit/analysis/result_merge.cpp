// Merge of the two phases' results, reading order of two fields and the
// clearing of the score bytes.
#include "result_merge.h"

#include <algorithm>
#include <cstdlib>

#include "results.h"

namespace rk {

int result_score(const seg_result* r) { return static_cast<signed char>(r->text[0]); }

seg_result* merge_results(seg_result* saved, int s, seg_result* current, int c, int* count) {
    if (current == nullptr) {
        *count = s;
        return saved;
    }
    if (saved == nullptr) {
        *count = c;
        return current;
    }
    const bool take_current =
        (s == 1 && c == 1 && result_score(current) > result_score(saved)) || (s == 1 && c > 1);
    if (take_current) {
        free_result_list(saved);
        *count = c;
        return current;
    }
    free_result_list(current);
    *count = s;
    return saved;
}

namespace {

// B goes before A: on one line, nearly touching and B on the left; or B
// starting higher up.
bool goes_first(const seg_result& a, const seg_result& b) {
    const int ah = a.bottom - a.top;
    const int bh = b.bottom - b.top;
    const int aw = a.right - a.left;
    const int bw = b.right - b.left;
    const bool side_by_side =
        b.bottom >= a.top && b.top <= a.bottom &&
        3 * (std::min(a.bottom, b.bottom) - std::max(a.top, b.top)) > 2 * std::min(ah, bh) &&
        3 * std::abs(std::min(a.right, b.right) - std::max(a.left, b.left)) < std::min(aw, bw) &&
        b.left < a.left;
    return side_by_side || b.top < a.top;
}

}  // namespace

seg_result* order_two_results(seg_result* head) {
    if (head == nullptr || head->next == nullptr || head->next->next != nullptr) return head;
    seg_result* a = head;
    seg_result* b = head->next;
    if (!goes_first(*a, *b)) return head;
    b->next = a;
    a->next = nullptr;
    return b;
}

void clear_scores(seg_result* head) {
    for (seg_result* r = head; r != nullptr; r = r->next) r->text[0] = 0;
}

}  // namespace rk

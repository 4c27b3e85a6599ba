// Growing and shrinking the boxes of a net.
#include "learn/box_growing.h"

#include <cstring>

#include "engine/messages.h"
#include "zero_alloc.h"

namespace gn {
namespace {

void to_vector(const Sample& s, std::int16_t* v) {
    for (int m = 0; m < kFeatures; ++m) v[m] = s.f[m];
}

bool same(const std::int16_t* a, const std::int16_t* b) {
    for (int m = 0; m < kFeatures; ++m)
        if (a[m] != b[m]) return false;
    return true;
}

void collapse(Node* n, const std::int16_t* at) {
    for (int m = 0; m < kFeatures; ++m) n->lo[m] = n->hi[m] = at[m];
}

void remove_node(WorkList* w, int i) {
    for (int k = i; k + 1 < w->count; ++k) w->nodes[k] = w->nodes[k + 1];
    --w->count;
}

}  // namespace

void work_list_free(WorkList* w) {
    orvo::zero_free(w->nodes);
    *w = WorkList{};
}

static bool reserve(WorkList* w, int n) {
    if (n <= w->capacity) return true;
    const int cap = n < 8 ? 8 : n * 2;
    auto* p = static_cast<Node*>(orvo::zero_alloc_array(cap, sizeof(Node)));
    if (p == nullptr) return false;
    if (w->count > 0) std::memcpy(p, w->nodes, sizeof(Node) * w->count);
    orvo::zero_free(w->nodes);
    w->nodes = p;
    w->capacity = cap;
    return true;
}

bool work_list_load(WorkList* w, const Net* net) {
    w->count = 0;
    if (net == nullptr || net->node_count == 0) return true;
    if (!reserve(w, net->node_count)) return false;
    std::memcpy(w->nodes, net->nodes, sizeof(Node) * net->node_count);
    w->count = net->node_count;
    return true;
}

bool work_list_push_front(WorkList* w, const Node& n) {
    if (!reserve(w, w->count + 1)) return false;
    for (int k = w->count; k > 0; --k) w->nodes[k] = w->nodes[k - 1];
    w->nodes[0] = n;
    ++w->count;
    return true;
}

bool shrink_node(Node* n, const std::int16_t* v, const std::int16_t* keep) {
    bool movable[2 * kFeatures];
    for (bool& b : movable) b = true;
    for (;;) {
        int best = -1, best_d = 32;
        for (int m = 0; m < kFeatures; ++m) {
            if (n->lo[m] == n->hi[m]) continue;
            if (movable[2 * m] && v[m] - n->lo[m] < best_d) {
                best = 2 * m;
                best_d = v[m] - n->lo[m];
            }
            if (movable[2 * m + 1] && n->hi[m] - v[m] < best_d) {
                best = 2 * m + 1;
                best_d = n->hi[m] - v[m];
            }
        }
        if (best < 0) return false;
        const int m = best / 2;
        std::int16_t* bound = (best % 2 == 0) ? &n->lo[m] : &n->hi[m];
        const std::int16_t old = *bound;
        *bound = static_cast<std::int16_t>(best % 2 == 0 ? v[m] + 1 : v[m] - 1);
        if (node_contains(*n, keep)) return true;
        *bound = old;
        movable[best] = false;
    }
}

bool grow_boxes(WorkList* w, PatternTable* t, GrowState* st) {
    std::int16_t v[kFeatures], u[kFeatures];
    for (int pass = 0; pass < 100; ++pass) {
        bool changed = false;
        bool pass_over = false;
        for (int i = 0; i < t->count && !pass_over; ++i) {
            to_vector(t->s[i], v);
            const int mark = t->s[i].mark;
            if (mark == 0) {
                for (int j = 0; j < w->count; ++j) {
                    Node* n = &w->nodes[j];
                    if (!node_contains(*n, v)) continue;
                    changed = true;
                    if (shrink_node(n, v, n->centre)) continue;
                    if (!same(v, n->centre)) {
                        collapse(n, n->centre);
                        continue;
                    }
                    remove_node(w, j--);
                    if (i == st->newest) {
                        // The sample goes and so does the pass; the next pass
                        // runs without a newest sample.
                        if (!remove_sample(t, i)) return false;
                        st->dropped_newest = true;
                        st->newest = -1;
                        pass_over = true;
                        break;
                    }
                }
            } else if (mark == kMarkClass) {
                bool inside = false;
                for (int j = 0; j < w->count && !inside; ++j) inside = node_contains(w->nodes[j], v);
                if (inside && !(i == st->newest && !st->made_for_newest)) continue;
                Node n{};
                for (int m = 0; m < kFeatures; ++m) {
                    n.lo[m] = static_cast<std::int16_t>(v[m] - kNodeMargin < -16 ? -16 : v[m] - kNodeMargin);
                    n.hi[m] = static_cast<std::int16_t>(v[m] + kNodeMargin > 16 ? 16 : v[m] + kNodeMargin);
                }
                bool abandoned = false;
                for (int k = 0; k < t->count && !abandoned; ++k) {
                    if (k == i || t->s[k].mark != 0) continue;
                    to_vector(t->s[k], u);
                    if (!node_contains(n, u)) continue;
                    if (shrink_node(&n, u, v)) continue;
                    if (!same(u, v)) collapse(&n, v);
                    else abandoned = true;
                }
                if (abandoned) continue;
                for (int m = 0; m < kFeatures; ++m) n.centre[m] = v[m];
                if (!work_list_push_front(w, n)) {
                    show_message("Memory allocation error (can't create new node)", "Error",
                                 Icon::error);
                    return false;
                }
                if (i == st->newest) st->made_for_newest = true;
                changed = true;
            }
        }
        if (!changed) break;
    }
    return true;
}

}  // namespace gn

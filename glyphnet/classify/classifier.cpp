// Classification by containing boxes and confusion groups.
#include "classify/classifier.h"

#include "classify/groups.h"
#include "kb/kb_store.h"

namespace gn {

ClassAnswer classify_in(const Net* head, const std::int16_t* v, int shape) {
    ClassAnswer a;
    const Net* chosen = nullptr;
    int dist = kNoDistance;
    for (int pass = 0; pass < 2 && chosen == nullptr; ++pass) {
        for (const Net* n = head; n != nullptr; n = n->next) {
            if ((n->shape == shape) != (pass == 0)) continue;
            bool inside = false;
            for (int i = 0; i < n->node_count && !inside; ++i)
                inside = node_contains(n->nodes[i], v);
            if (inside) {
                chosen = n;
                dist = net_distance(*n, v);
                break;
            }
        }
    }
    if (chosen == nullptr) return a;
    const int group = confusion_group(chosen->c1, chosen->c2);
    if (group > 0) {
        const Net* best = nullptr;
        int best_d = kNoDistance;
        for (const Net* n = head; n != nullptr; n = n->next) {
            if (confusion_group(n->c1, n->c2) != group) continue;
            const int d = net_distance(*n, v);
            if (d < best_d) {
                best_d = d;
                best = n;
            }
        }
        if (best != nullptr) {
            chosen = best;
            dist = best_d;
        }
    }
    a.found = true;
    a.c1 = chosen->c1;
    a.c2 = chosen->c2;
    a.distance = dist;
    return a;
}

ClassAnswer classify_across(const std::int16_t* v, int shape, bool first_found) {
    KbStore& s = kb_store();
    ClassAnswer best;
    if (s.entry_count <= 0) return best;
    const int start = s.current >= 0 ? s.current : 0;
    for (int k = 0; k < s.entry_count; ++k) {
        const int i = (start + k) % s.entry_count;
        const KbEntry& e = s.entries[i];
        if (!e.selected) continue;
        ClassAnswer a = classify_in(e.nets, v, shape);
        if (!a.found) continue;
        a.kb = i;
        if (!best.found || a.distance < best.distance) best = a;
        if (first_found) break;
    }
    if (best.found) s.current = best.kb;
    return best;
}

}  // namespace gn

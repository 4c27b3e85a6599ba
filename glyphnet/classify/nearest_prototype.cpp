// Nearest-prototype search over every node centre of the selected bases.
#include "classify/nearest_prototype.h"

#include <cstdlib>

#include "kb/kb_store.h"
#include "zero_alloc.h"

namespace gn {
namespace {

struct Prototype {
    const std::int16_t* centre;
    unsigned char c1, c2;
    int total;  // L1 distance to the walking vector
};

}  // namespace

PrototypeAnswer nearest_prototype(const std::int16_t* v) {
    PrototypeAnswer answer;
    KbStore& s = kb_store();
    long count = 0;
    for (int i = 0; i < s.entry_count; ++i) {
        if (!s.entries[i].selected) continue;
        for (const Net* n = s.entries[i].nets; n != nullptr; n = n->next) count += n->node_count;
    }
    if (count == 0) return answer;
    auto* protos = static_cast<Prototype*>(orvo::zero_alloc_array(count, sizeof(Prototype)));
    if (protos == nullptr) return answer;
    long k = 0;
    for (int i = 0; i < s.entry_count; ++i) {
        if (!s.entries[i].selected) continue;
        for (const Net* n = s.entries[i].nets; n != nullptr; n = n->next)
            for (int j = 0; j < n->node_count; ++j)
                protos[k++] = Prototype{n->nodes[j].centre, n->c1, n->c2, 0};
    }

    std::int16_t walk[49];
    for (int m = 0; m < 49; ++m) walk[m] = v[m];
    long match = -1;
    for (long p = 0; p < count; ++p) {
        int d = 0;
        for (int m = 0; m < 49; ++m) d += std::abs(walk[m] - protos[p].centre[m]);
        protos[p].total = d;
        if (d == 0 && match < 0) match = p;
    }
    // D(P, m) is the total distance of P leaving feature m out.
    for (int step = 0; step < 49 && match < 0; ++step) {
        long bp = -1;
        int bm = 0, bd = 0;
        for (long p = 0; p < count; ++p) {
            for (int m = 0; m < 49; ++m) {
                const int d = protos[p].total - std::abs(walk[m] - protos[p].centre[m]);
                if (bp < 0 || d < bd) {
                    bp = p;
                    bm = m;
                    bd = d;
                }
            }
        }
        const std::int16_t old = walk[bm];
        const std::int16_t now = protos[bp].centre[bm];
        walk[bm] = now;
        for (long p = 0; p < count; ++p) {
            const std::int16_t c = protos[p].centre[bm];
            protos[p].total += std::abs(now - c) - std::abs(old - c);
            if (protos[p].total == 0 && match < 0) match = p;
        }
    }
    if (match >= 0) {
        int moved = 0;
        for (int m = 0; m < 49; ++m) moved += std::abs(walk[m] - v[m]);
        if (moved <= 196) {
            answer.found = true;
            answer.c1 = protos[match].c1;
            answer.c2 = protos[match].c2;
        }
    }
    orvo::zero_free(protos);
    return answer;
}

}  // namespace gn

// Nets and nodes: allocation, containment and distances.
#include "kb/net.h"

#include "zero_alloc.h"

namespace gn {

Net* net_new(unsigned char c1, unsigned char c2, unsigned char shape) {
    Net* n = static_cast<Net*>(orvo::zero_alloc(sizeof(Net)));
    if (n == nullptr) return nullptr;
    n->c1 = c1;
    n->c2 = c2;
    n->shape = shape;
    return n;
}

void net_free(Net* net) {
    if (net == nullptr) return;
    orvo::zero_free(net->nodes);
    orvo::zero_free(net);
}

void nets_free(Net* head) {
    while (head != nullptr) {
        Net* next = head->next;
        net_free(head);
        head = next;
    }
}

bool node_contains(const Node& n, const std::int16_t* v) {
    for (int m = 0; m < kFeatures; ++m)
        if (v[m] < n.lo[m] || v[m] > n.hi[m]) return false;
    return true;
}

int node_distance(const Node& n, const std::int16_t* v) {
    int d = 0;
    for (int m = 0; m < kFeatures; ++m) {
        const int e = v[m] - n.centre[m];
        d += e * e;
    }
    return d;
}

int net_distance(const Net& net, const std::int16_t* v) {
    int best = kNoDistance;
    for (int i = 0; i < net.node_count; ++i) {
        const Node& n = net.nodes[i];
        if (!node_contains(n, v)) continue;
        const int d = node_distance(n, v);
        if (d < best) best = d;
        if (best == 0) break;
    }
    return best;
}

Net* find_net(Net* head, unsigned char c1, unsigned char c2) {
    for (Net* n = head; n != nullptr; n = n->next)
        if (n->c1 == c1 && n->c2 == c2) return n;
    return nullptr;
}

bool remove_net(Net** head, unsigned char c1, unsigned char c2) {
    for (Net** p = head; *p != nullptr; p = &(*p)->next) {
        if ((*p)->c1 == c1 && (*p)->c2 == c2) {
            Net* gone = *p;
            *p = gone->next;
            net_free(gone);
            return true;
        }
    }
    return false;
}

}  // namespace gn

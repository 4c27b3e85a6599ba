// Samples and net rebuilding.
#include "learn/net_rebuild.h"

#include <cstring>

#include "classify/classifier.h"
#include "classify/features.h"
#include "classify/groups.h"
#include "engine/messages.h"
#include "image/framing.h"
#include "kb/kb_store.h"
#include "learn/box_growing.h"
#include "zero_alloc.h"

namespace gn {

bool add_sample(PatternTable* t, unsigned char c1, unsigned char c2, unsigned char kind,
                int left, int top, int width, int height) {
    if (c1 < 32 && c2 < 32) {
        show_message("Sorry, invalid class name (ASCII code < 32)!", "Error", Icon::error);
        return false;
    }
    if (!frame_char(left, top, width, height)) {
        show_message("Couldn't adjust a framing window on character/group", "Error", Icon::error);
        return false;
    }
    const Frame f = current_frame();
    FeatureVector& v = current_vector();
    extract_features(f.left, f.top, f.width, f.height, &v);
    current_shape() = shape_code(v.v);
    Sample s{};
    s.c1 = c1;
    s.c2 = c2;
    s.kind = kind;
    for (int m = 0; m < 49; ++m) s.f[m] = static_cast<std::int8_t>(v.v[m]);
    for (int i = 0; i < t->count; ++i) {
        if (t->s[i].c1 == c1 && t->s[i].c2 == c2 && std::memcmp(t->s[i].f, s.f, 49) == 0) {
            t->s[i].kind = kind;
            move_to_end(t, i);
            return true;
        }
    }
    return append_sample(t, s);
}

namespace {

// Stores the work list as the class's net (a new net goes to the head); an
// empty work list gives a net without nodes.
bool store_net(KbEntry* e, unsigned char c1, unsigned char c2, int shape, const WorkList& w) {
    Node* nodes = nullptr;
    if (w.count > 0) nodes = static_cast<Node*>(orvo::zero_alloc_array(w.count, sizeof(Node)));
    if (w.count > 0 && nodes == nullptr) {
        show_message("Memory allocation error. Can't create new nodes", "Error", Icon::error);
        return false;
    }
    if (w.count > 0) std::memcpy(nodes, w.nodes, sizeof(Node) * w.count);
    Net* net = find_net(e->nets, c1, c2);
    if (net == nullptr) {
        net = net_new(c1, c2, static_cast<unsigned char>(shape));
        if (net == nullptr) {
            orvo::zero_free(nodes);
            show_message("Memory allocation error. Can't create new net", "Error", Icon::error);
            return false;
        }
        net->next = e->nets;
        e->nets = net;
        ++e->net_count;
    }
    orvo::zero_free(net->nodes);
    net->nodes = nodes;
    net->node_count = w.count;
    net->shape = static_cast<unsigned char>(shape);
    return true;
}

}  // namespace

bool rebuild_class(PatternTable* t, unsigned char c1, unsigned char c2) {
    KbEntry* e = current_kb();
    if (e == nullptr) return false;
    // P is the newest sample's class; none for a counter-sample or an empty
    // table.
    bool p_some = false;
    unsigned char p1 = 0, p2 = 0;
    std::int16_t nv[49] = {};
    if (t->count > 0) {
        const Sample& newest = t->s[t->count - 1];
        p_some = newest.kind == kPositive;
        p1 = newest.c1;
        p2 = newest.c2;
        for (int m = 0; m < 49; ++m) nv[m] = newest.f[m];
    }
    const int nshape = shape_code(nv);

    GrowState st{t->count - 1, false, false};
    WorkList w;
    bool ok = true;
    for (int pass = 0; pass < 5 && ok; ++pass) {
        const int group = confusion_group(c1, c2);
        int positives = 0, shapes[8] = {};
        for (int i = 0; i < t->count; ++i) {
            Sample& s = t->s[i];
            if (s.c1 == c1 && s.c2 == c2 && s.kind == kPositive) {
                s.mark = kMarkClass;
                ++positives;
                std::int16_t v[49];
                for (int m = 0; m < 49; ++m) v[m] = s.f[m];
                ++shapes[shape_code(v)];
            } else if (group > 0 && !(s.c1 == c1 && s.c2 == c2) &&
                       confusion_group(s.c1, s.c2) == group) {
                s.mark = kMarkGroup;
            } else {
                s.mark = 0;
            }
        }
        if (positives == 0 && !p_some) {
            ok = remove_class_samples(t, c1, c2);
            if (ok && remove_net(&e->nets, c1, c2)) --e->net_count;
            break;
        }
        int shape = 0;
        for (int k = 1; k < 8; ++k)
            if (shapes[k] > shapes[shape]) shape = k;
        if (!work_list_load(&w, find_net(e->nets, c1, c2))) {
            show_message("Memory allocation error. Can't create new nodes", "Error", Icon::error);
            ok = false;
            break;
        }
        st.newest = t->count - 1;
        if (!grow_boxes(&w, t, &st) || !store_net(e, c1, c2, shape, w)) {
            ok = false;
            break;
        }
        if (st.dropped_newest) break;
        const ClassAnswer a = classify_in(e->nets, nv, nshape);
        if (!a.found || (p_some && a.c1 == p1 && a.c2 == p2)) break;
        c1 = a.c1;
        c2 = a.c2;
    }
    work_list_free(&w);
    return ok;
}

}  // namespace gn

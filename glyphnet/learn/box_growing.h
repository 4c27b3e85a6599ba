// Box growing: adapts the nodes of the net being rebuilt to the samples.
// Positive samples of the class (mark 100) get a node when none contains
// them; nodes containing samples of other classes (mark 0) are shrunk just
// past them, collapsed to a point, or deleted.
#pragma once

#include "kb/net.h"
#include "kb/patterns.h"

namespace gn {

inline constexpr int kMarkClass = 100;
inline constexpr int kMarkGroup = 156;
inline constexpr int kNodeMargin = 16;

struct WorkList {
    Node* nodes = nullptr;  // zero_alloc'ed; index 0 is the head
    int count = 0;
    int capacity = 0;
};

void work_list_free(WorkList* w);
// Copies the nodes of a net (null: none) into the list; false on shortage.
bool work_list_load(WorkList* w, const Net* net);
// Puts a node at the head; false on shortage.
bool work_list_push_front(WorkList* w, const Node& n);

// Moves the bound nearest to v just past v, as long as the node keeps
// containing `keep`; false when no bound can move.
bool shrink_node(Node* n, const std::int16_t* v, const std::int16_t* keep);

struct GrowState {
    int newest;             // index of the newest sample; -1 once it was dropped
    bool made_for_newest;   // a node was made for it in this rebuild
    bool dropped_newest;    // it was removed from the table
};

// Repeats passes over the samples until one changes nothing (at most 100).
// Deleting the node whose centre is the newest sample drops that sample
// from the table and ends the pass, which counts as a change; the passes
// after it have no newest sample (nothing more is dropped, no node is
// forced). False when memory ran out (a message was shown).
bool grow_boxes(WorkList* w, PatternTable* t, GrowState* st);

}  // namespace gn

// Box nets: the trained knowledge of one class. A node is an axis-aligned
// box in the 49-feature space with a centre point; a net is the list of
// nodes of one class, and the nets of a knowledge base form a singly linked
// list, newest first.
#pragma once

#include <cstdint>

namespace gn {

inline constexpr int kFeatures = 49;
inline constexpr int kNoDistance = 32767;

struct Node {
    std::int16_t lo[kFeatures];
    std::int16_t hi[kFeatures];
    std::int16_t centre[kFeatures];
};

struct Net {
    Net* next = nullptr;
    int node_count = 0;
    Node* nodes = nullptr;  // node_count nodes, zero_alloc'ed
    unsigned char c1 = 0, c2 = '_';
    unsigned char shape = 0;
};

// A zero-filled net of the class with no nodes; null when memory ran out.
Net* net_new(unsigned char c1, unsigned char c2, unsigned char shape);
// Frees one net and its nodes.
void net_free(Net* net);
// Frees a whole list.
void nets_free(Net* head);

// True when lo <= v <= hi for every feature (stops at the first miss).
bool node_contains(const Node& n, const std::int16_t* v);
// Sum of (v - centre)^2 over the features.
int node_distance(const Node& n, const std::int16_t* v);
// Smallest distance from v to the centre of a node containing it;
// kNoDistance when no node contains v. Stops at a distance of 0.
int net_distance(const Net& net, const std::int16_t* v);

// Finds the net of the class in the list, or null.
Net* find_net(Net* head, unsigned char c1, unsigned char c2);
// Unlinks and frees the net of the class; returns true when there was one.
bool remove_net(Net** head, unsigned char c1, unsigned char c2);

}  // namespace gn

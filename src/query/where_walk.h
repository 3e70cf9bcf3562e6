// The depth-first walk over a where tree's leaves shared by binding, SQL text and the computed
// form: each leaf comes with the groups opened before it and closed after it.
#ifndef TABROW_QUERY_WHERE_WALK_H_
#define TABROW_QUERY_WHERE_WALK_H_

#include <cstdint>

#include "tabrow/query.h"

namespace tabrow {

template <typename Node>
struct LeafStep {
  Node* leaf;
  uint32_t opens;   // groups entered since the previous leaf (the root group included)
  uint32_t closes;  // groups left after this leaf
  Node* following;  // the node the walk goes on to; null after the last leaf
};

// Calls visit(step) for each leaf under `root`, in order; a non-zero result of visit ends the
// walk and is returned. A group whose first child has no sibling, or a node without parent
// below the root, ends it with `shape_fault`. Returns 0 after the last leaf.
template <typename Node, typename Visit>
int32_t WalkWhereLeaves(Node* root, int32_t shape_fault, Visit visit) {
  Node* node = root;
  for (;;) {
    uint32_t opens = 0;
    while (node->Child != nullptr) {
      if (node->Child->Next == nullptr) return shape_fault;
      ++opens;
      node = node->Child;
    }
    Node* leaf = node;
    uint32_t closes = 0;
    while (node != root && node->Next == nullptr) {
      node = node->Parent;
      if (node == nullptr) return shape_fault;
      ++closes;
    }
    Node* following = node == root ? nullptr : node->Next;
    if (following != nullptr && following->Parent == nullptr) return shape_fault;
    int32_t result = visit(LeafStep<Node>{leaf, opens, closes, following});
    if (result != 0) return result;
    if (following == nullptr) return 0;
    node = following;
  }
}

}  // namespace tabrow

#endif  // TABROW_QUERY_WHERE_WALK_H_

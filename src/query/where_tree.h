// Building, binding, simplifying and releasing a template's where tree.
#ifndef TABROW_QUERY_WHERE_TREE_H_
#define TABROW_QUERY_WHERE_TREE_H_

#include <cstdint>

#include "tabrow/query.h"

namespace tabrow {

// Binding into a caller's buffer whose size is not known: nothing is checked.
constexpr size_t kUncheckedRoom = SIZE_MAX;

// Frees `node`, all its descendants and all its following siblings. Ignores null.
void ReleaseWhereTree(XWhereTree* node);

// Builds the tree of the condition list starting at `first` into *root (null for an empty
// list). Returns 0, QTE_WHEREBUILD for a list that does not form a tree, or QTE_FAIL when memory
// runs out; on failure nothing is left allocated.
int32_t BuildWhereTree(XQueryWhereDesc* first, XWhereTree** root);

// Releases the template's tree, builds a new one from its condition list and binds every leaf
// through the binder in `buffer` (`capacity` units, or kUncheckedRoom). Returns 0 or the first
// fault; a tree that was built stays in the template, bound up to the fault.
int32_t MakeWhereTree(XQueryTemplate* query, XCHAR* buffer, size_t capacity);

// Simplifies the tree under `node` (a node without parent or siblings) and returns the node that
// replaces it; constant leaves vanish or decide their group, and groups aggregate Mark and Level.
XWhereTree* SimplifyWhereTree(XWhereTree* node);

}  // namespace tabrow

#endif  // TABROW_QUERY_WHERE_TREE_H_

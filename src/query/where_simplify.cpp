// Simplifying a bound where tree: constant leaves vanish or decide their group, groups left with
// one child give way to it, and the groups that stay aggregate their children's Mark and Level.
// The walk is iterative (post-order through the links), so deep trees need no deep stack.
#include <cstdlib>

#include "query/where_tree.h"

namespace tabrow {

namespace {

constexpr int32_t kMixedMarks = 0x7F000000;

bool IsGroup(const XWhereTree* node) {
  return node->Child != nullptr;
}

bool IsConstant(uint32_t state) {
  return state == XWT_TRUE || state == XWT_FALSE || state == XWT_VOID;
}

// While the node at *link is a group with a single child, frees it and puts the child in its
// place, with the node's parent and sibling.
void HoistSingleChildren(XWhereTree** link) {
  for (XWhereTree* node = *link; IsGroup(node) && node->Child->Next == nullptr; node = *link) {
    XWhereTree* only = node->Child;
    only->Next = node->Next;
    only->Parent = node->Parent;
    *link = only;
    std::free(node);
  }
}

// Running Mark and Level of the children a group keeps.
class MarkAggregate {
 public:
  void Add(const XWhereTree* child) {
    if (mark_ == 0) {
      mark_ = child->Mark;
      level_ = child->Level;
    } else if (child->Mark == 0) {
    } else if (child->Mark != mark_) {
      mark_ = kMixedMarks;
      level_ = 0;
    } else if (child->Level > level_) {
      level_ = child->Level;
    }
  }
  int32_t mark() const { return mark_; }
  uint32_t level() const { return level_; }

 private:
  int32_t mark_ = 0;
  uint32_t level_ = 0;
};

// Reduces a group whose children are all simplified. A child that was itself reduced to one
// child gives way to it here, where its place in the list is at hand. A group left with one child
// keeps it; its own parent (or SimplifyWhereTree, at the top) hoists that child.
void ReduceGroup(XWhereTree* group) {
  bool is_or = group->State == QJN_OR;
  uint32_t decisive = is_or ? XWT_TRUE : XWT_FALSE;
  bool dropped_false = false;
  MarkAggregate aggregate;
  size_t kept = 0;
  XWhereTree** link = &group->Child;
  while (*link != nullptr) {
    HoistSingleChildren(link);
    XWhereTree* child = *link;
    if (child->State == decisive) {
      ReleaseWhereTree(group->Child);
      group->Child = nullptr;
      group->State = decisive;
      return;
    }
    if (IsConstant(child->State)) {
      dropped_false = dropped_false || child->State == XWT_FALSE;
      *link = child->Next;
      child->Next = nullptr;
      ReleaseWhereTree(child);
      continue;
    }
    aggregate.Add(child);
    ++kept;
    link = &child->Next;
  }
  if (kept == 0) {
    group->Level = 0;
    group->State = is_or && dropped_false ? XWT_FALSE : XWT_TRUE;
  } else if (kept > 1) {
    group->Mark = aggregate.mark();
    group->Level = aggregate.level();
  }
}

}  // namespace

XWhereTree* SimplifyWhereTree(XWhereTree* root) {
  HoistSingleChildren(&root);
  if (!IsGroup(root)) return root;
  XWhereTree** link = &root->Child;
  for (;;) {
    HoistSingleChildren(link);
    XWhereTree* node = *link;
    if (IsGroup(node)) {
      link = &node->Child;
      continue;
    }
    while (node->Next == nullptr) {
      XWhereTree* group = node->Parent;
      ReduceGroup(group);
      if (group == root) {
        HoistSingleChildren(&root);
        return root;
      }
      node = group;
    }
    link = &node->Next;
  }
}

}  // namespace tabrow

int32_t XQueryTemplate::ComputeWhereTree() {
  if (WhereTree == nullptr) return 0;
  WhereTree = tabrow::SimplifyWhereTree(WhereTree);
  uint32_t state = WhereTree->State;
  if (state == XWT_TRUE || state == XWT_VOID) {
    tabrow::ReleaseWhereTree(WhereTree);
    WhereTree = nullptr;
    return 0;
  }
  return state == XWT_FALSE ? 1 : 0;
}

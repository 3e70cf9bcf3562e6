// Builds the where tree from the flat condition list. Conditions are read as SQL reads them:
// parentheses first, AND before OR. A cursor names the node after which the next node is linked;
// the groups that "(" opened and ")" has not closed yet are kept on a stack, innermost last, and
// a junction never climbs past the innermost of them.
#include <cstdlib>

#include "query/where_tree.h"

namespace tabrow {

namespace {

XWhereTree* NewNode(uint32_t state) {
  auto* node = static_cast<XWhereTree*>(std::calloc(1, sizeof(XWhereTree)));
  if (node != nullptr) node->State = state;
  return node;
}

class TreeBuilder {
 public:
  TreeBuilder() = default;
  ~TreeBuilder() { std::free(open_); }
  TreeBuilder(const TreeBuilder&) = delete;
  TreeBuilder& operator=(const TreeBuilder&) = delete;

  // Makes room for `count` open groups at once; false when memory runs out.
  bool Reserve(size_t count);
  // Adds one condition: its opening groups, its leaf and its closing parentheses.
  int32_t Add(XQueryWhereDesc* desc);
  // Places the cursor so that the next condition joins the tree with `junction`.
  int32_t Join(uint32_t junction);
  // The top of everything built so far, or null.
  XWhereTree* Root() const;

 private:
  void Link(XWhereTree* node);
  void SplitOpenGroup(XWhereTree* group, uint32_t junction, XWhereTree* holder);
  int32_t WrapCursor(uint32_t junction);

  XWhereTree* cursor_ = nullptr;
  bool just_opened_ = false;
  XWhereTree** open_ = nullptr;
  size_t open_count_ = 0;
};

bool TreeBuilder::Reserve(size_t count) {
  if (count == 0) return true;
  open_ = static_cast<XWhereTree**>(std::malloc(count * sizeof(XWhereTree*)));
  return open_ != nullptr;
}

// A node just opened takes the new node as its first child; otherwise the new node follows the
// cursor under the cursor's parent.
void TreeBuilder::Link(XWhereTree* node) {
  if (just_opened_) {
    cursor_->Child = node;
    node->Parent = cursor_;
  } else if (cursor_ != nullptr) {
    cursor_->Next = node;
    node->Parent = cursor_->Parent;
  }
  cursor_ = node;
}

int32_t TreeBuilder::Add(XQueryWhereDesc* desc) {
  just_opened_ = false;
  for (uint32_t n = desc->Parens & 0xFFFFu; n > 0; --n) {
    XWhereTree* group = NewNode(0);
    if (group == nullptr) return QTE_FAIL;
    Link(group);
    open_[open_count_++] = group;
    just_opened_ = true;
  }
  XWhereTree* leaf = NewNode(0);
  if (leaf == nullptr) return QTE_FAIL;
  leaf->Desc = desc;
  Link(leaf);
  for (uint32_t n = desc->Parens >> 16; n > 0; --n) {
    if (open_count_ == 0) return QTE_WHEREBUILD;
    cursor_ = open_[--open_count_];
  }
  return 0;
}

// An OR after AND directly inside an open group: `holder` takes over all the group's children
// with the group's junction and becomes its only child; the group takes the new junction.
void TreeBuilder::SplitOpenGroup(XWhereTree* group, uint32_t junction, XWhereTree* holder) {
  holder->Child = group->Child;
  for (XWhereTree* child = holder->Child; child != nullptr; child = child->Next) {
    child->Parent = holder;
  }
  holder->Parent = group;
  group->Child = holder;
  group->State = junction;
  cursor_ = holder;
}

// An AND after OR: a new node with the junction stands in the cursor's place and the cursor's
// node goes beneath it. Rather than search the parent's children for the cursor, the cursor's
// node turns into the new group and its contents move into a new node below; the cursor follows
// the contents.
int32_t TreeBuilder::WrapCursor(uint32_t junction) {
  XWhereTree* moved = NewNode(0);
  if (moved == nullptr) return QTE_FAIL;
  XWhereTree* parent = cursor_->Parent;
  XWhereTree* next = cursor_->Next;
  *moved = *cursor_;
  moved->Next = nullptr;
  moved->Parent = cursor_;
  for (XWhereTree* child = moved->Child; child != nullptr; child = child->Next) {
    child->Parent = moved;
  }
  *cursor_ = XWhereTree{};
  cursor_->State = junction;
  cursor_->Child = moved;
  cursor_->Parent = parent;
  cursor_->Next = next;
  cursor_ = moved;
  return 0;
}

int32_t TreeBuilder::Join(uint32_t junction) {
  if (junction == 0) return QTE_WHEREBUILD;
  XWhereTree* innermost = open_count_ > 0 ? open_[open_count_ - 1] : nullptr;
  for (;;) {
    XWhereTree* parent = cursor_->Parent;
    if (parent == nullptr) {
      XWhereTree* top = NewNode(junction);
      if (top == nullptr) return QTE_FAIL;
      top->Child = cursor_;
      cursor_->Parent = top;
      return 0;
    }
    if (parent->State == 0) {
      parent->State = junction;
      return 0;
    }
    if (parent->State > junction) {
      if (parent != innermost) {
        cursor_ = parent;
        continue;
      }
      XWhereTree* holder = NewNode(parent->State);
      if (holder == nullptr) return QTE_FAIL;
      SplitOpenGroup(parent, junction, holder);
      return 0;
    }
    if (parent->State == junction) return 0;
    return WrapCursor(junction);
  }
}

XWhereTree* TreeBuilder::Root() const {
  XWhereTree* node = cursor_;
  while (node != nullptr && node->Parent != nullptr) node = node->Parent;
  return node;
}

}  // namespace

int32_t BuildWhereTree(XQueryWhereDesc* first, XWhereTree** root) {
  *root = nullptr;
  size_t opens = 0;
  for (XQueryWhereDesc* desc = first; desc != nullptr; desc = desc->Next) {
    opens += desc->Parens & 0xFFFFu;
  }
  TreeBuilder builder;
  if (!builder.Reserve(opens)) return QTE_FAIL;
  for (XQueryWhereDesc* desc = first; desc != nullptr; desc = desc->Next) {
    int32_t result = builder.Add(desc);
    if (result == 0 && desc->Next != nullptr) result = builder.Join(desc->OpJunction >> 16);
    if (result != 0) {
      ReleaseWhereTree(builder.Root());
      return result;
    }
  }
  *root = builder.Root();
  return 0;
}

// Left child = Child, right child = Next: rotating each Child up into the Next chain visits
// every node once without recursion.
void ReleaseWhereTree(XWhereTree* node) {
  while (node != nullptr) {
    if (node->Child != nullptr) {
      XWhereTree* child = node->Child;
      node->Child = child->Next;
      child->Next = node;
      node = child;
    } else {
      XWhereTree* next = node->Next;
      std::free(node);
      node = next;
    }
  }
}

}  // namespace tabrow

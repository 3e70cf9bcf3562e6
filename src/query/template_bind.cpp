// Resolving a template's texts through its binder: field, grouping and ordering expressions in
// place, and the conditions into the leaves of a new where tree.
#include "platform/text.h"
#include "query/desc_records.h"
#include "query/where_tree.h"
#include "query/where_walk.h"

namespace tabrow {

namespace {

constexpr size_t kExpressionRoom = 1024;

// Units before the NUL within the first `limit` units, or `limit` when there is none.
size_t BoundedLength(const XCHAR* text, size_t limit) {
  size_t length = 0;
  while (length < limit && LoadUnit(text + length) != 0) ++length;
  return length;
}

// Binds the leaves of one tree, handing out the working buffer from a position that moves past
// every text a leaf keeps.
class LeafBinder {
 public:
  LeafBinder(XQueryTemplate* query, XCHAR* buffer, size_t capacity)
      : query_(query), buffer_(buffer), capacity_(capacity) {}

  int32_t Bind(XWhereTree* leaf);

 private:
  int32_t CopyAndBind(const XCHAR* text, size_t offset, XCHAR** copy);
  size_t Room(const XCHAR* copy, size_t offset) const;

  XQueryTemplate* query_;
  XCHAR* buffer_;
  size_t capacity_;
  size_t position_ = 0;
};

// Copies `text` into the buffer at `offset` and calls the binder on the copy. A text that does
// not fit what is left of the buffer gives QTE_FAIL.
int32_t LeafBinder::CopyAndBind(const XCHAR* text, size_t offset, XCHAR** copy) {
  size_t length = TextLength(text);
  if (offset >= capacity_ || length >= capacity_ - offset) return QTE_FAIL;
  *copy = buffer_ + offset;
  TextCopy(*copy, text);
  return query_->Binder(query_->BinderContext, *copy);
}

// The room a kept copy takes, its NUL included; 0 when the binder left no NUL within the rest
// of the buffer.
size_t LeafBinder::Room(const XCHAR* copy, size_t offset) const {
  size_t limit = capacity_ - offset;
  size_t length = BoundedLength(copy, limit);
  return length == limit ? 0 : length + 1;
}

// Turns the leaf into the constant its unbound mode names, or fails for QUB_FAIL.
int32_t ApplyUnboundMode(XWhereTree* leaf, int32_t mode) {
  switch (mode) {
    case QUB_FALSE:
      leaf->State = XWT_FALSE;
      break;
    case QUB_TRUE:
      leaf->State = XWT_TRUE;
      break;
    case QUB_FAIL:
      return QTE_UNBOUND;
    default:
      leaf->State = XWT_VOID;
      break;
  }
  leaf->Name = nullptr;
  leaf->Value = nullptr;
  return 0;
}

int32_t LeafBinder::Bind(XWhereTree* leaf) {
  XQueryWhereDesc* desc = leaf->Desc;
  if (desc == nullptr) return QTE_WHERESHAPE;
  if (desc->Value == nullptr) return QTE_WHEREVALUE;
  size_t name_room = 0;
  leaf->Name = nullptr;
  if (desc->Name != nullptr) {
    XCHAR* copy = nullptr;
    int32_t result = CopyAndBind(desc->Name, position_, &copy);
    if (result == QTE_UNBOUND) return ApplyUnboundMode(leaf, desc->UnboundMode);
    if (result < 0) return result;
    if (result == 0) {
      leaf->Name = desc->Name;
    } else {
      leaf->Name = copy;
      name_room = Room(copy, position_);
      if (name_room == 0) return QTE_FAIL;
    }
  }
  size_t offset = position_ + name_room;
  XCHAR* copy = nullptr;
  int32_t result = CopyAndBind(desc->Value, offset, &copy);
  bool literal = desc->UnboundMode == QUB_LITERAL;
  if (result == 0) {
    leaf->Value = desc->Value;
    position_ = offset;
    return 0;
  }
  if (result > 0 && literal) return ApplyUnboundMode(leaf, QUB_DROP);
  if (result == QTE_UNBOUND && !literal) return ApplyUnboundMode(leaf, desc->UnboundMode);
  if (result < 0 && result != QTE_UNBOUND) return result;
  size_t value_room = Room(copy, offset);
  if (value_room == 0) return QTE_FAIL;
  leaf->Value = copy;
  position_ = offset + value_room;
  return 0;
}

// Binds an expression in a working text of kExpressionRoom units and keeps a rewritten result.
// Returns the binder's result.
int32_t BindExpression(XQueryTemplate* query, XCHAR** expression) {
  XCHAR work[kExpressionRoom];
  TextCopyN(work, *expression, kExpressionRoom);
  int32_t result = query->Binder(query->BinderContext, work);
  work[kExpressionRoom - 1] = 0;
  if (result > 0) *expression = XQueryTemplate::ReplaceName(*expression, work);
  return result;
}

// Binds the Expression of every record of a grouping or ordering list.
template <typename Record>
int32_t BindExpressions(XQueryTemplate* query, Record* first, int32_t missing) {
  for (Record* record = first; record != nullptr; record = record->Next) {
    if (record->Expression == nullptr) return missing;
    int32_t result = BindExpression(query, &record->Expression);
    if (result < 0) return result;
  }
  return 0;
}

}  // namespace

int32_t MakeWhereTree(XQueryTemplate* query, XCHAR* buffer, size_t capacity) {
  ReleaseWhereTree(query->WhereTree);
  query->WhereTree = nullptr;
  XWhereTree* root = nullptr;
  int32_t result = BuildWhereTree(query->WhereList, &root);
  if (result != 0 || root == nullptr) return result;
  query->WhereTree = root;
  LeafBinder binder(query, buffer, capacity);
  return WalkWhereLeaves(root, QTE_WHERESHAPE, [&binder](const LeafStep<XWhereTree>& step) {
    return binder.Bind(step.leaf);
  });
}

}  // namespace tabrow

int32_t XQueryTemplate::ReplaceTemplate(XCHAR* buffer) {
  using namespace tabrow;
  if (Binder == nullptr) return QTE_FAIL;
  if (FieldList == nullptr) return QTE_NOFIELDS;
  if (Muster1 == 0 && Muster2 == 0) return QTE_NOMUSTER;
  for (XQueryFieldDesc* field = FieldList; field != nullptr; field = field->Next) {
    if (field->Expression == nullptr) return QTE_FIELDTEXT;
    TextCopy(buffer, field->Expression);
    int32_t result = Binder(BinderContext, buffer);
    if (result < 0) return result;
    if (result > 0) field->Expression = ReplaceName(field->Expression, buffer);
  }
  if (WhereList != nullptr) {
    int32_t result = MakeWhereTree(this, buffer, kUncheckedRoom);
    if (result < 0) return result;
  }
  int32_t result = BindExpressions(this, GroupList, QTE_GROUPTEXT);
  if (result < 0) return result;
  result = BindExpressions(this, OrderList, QTE_ORDERTEXT);
  return result < 0 ? result : 0;
}

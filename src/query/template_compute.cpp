// The computed form of a template: every text resolved through the binder and the conditions
// built into a tree, simplified and written out again as a flat list.
#include "platform/text.h"
#include "query/template_stream.h"
#include "query/where_tree.h"
#include "query/where_walk.h"

namespace tabrow {

namespace {

constexpr size_t kExpressionRoom = 1024;
constexpr size_t kFromRoom = 4096;
constexpr size_t kWhereRoom = 8192;

// Copies `text` into `work` (cut to `room` units with the NUL) and calls the binder on it.
int32_t BindWorkText(XQueryTemplate* query, const XCHAR* text, XCHAR* work, size_t room) {
  TextCopyN(work, text, static_cast<int32_t>(room));
  int32_t result = query->Binder(query->BinderContext, work);
  work[room - 1] = 0;
  return result;
}

void WriteItems(XMF_Serialize& out, const XQueryFieldDesc* field) {
  out.Write_Proper(3, &field->DataType, 2);
  out.Write_Proper(4, &field->DataSize, 2);
  out.Write_Proper(5, &field->FieldWord5, 4);
}

void WriteItems(XMF_Serialize&, const XQueryGroupDesc*) {}

void WriteItems(XMF_Serialize& out, const XQueryOrderDesc* order) {
  out.Write_Proper(3, &order->Descending, 4);
}

// A section of bound expressions. The section opens before the records are checked; a binder
// error leaves the record open. An unresolved reference goes out as the binder left it.
template <typename Record>
int32_t WriteExpressionSection(XMF_Serialize& out, XQueryTemplate* query, uint32_t id,
                               Record* first, int32_t missing) {
  if (first == nullptr) return 0;
  out.WriteHeader(id, XMF_OPEN);
  XCHAR work[kExpressionRoom];
  for (Record* record = first; record != nullptr; record = record->Next) {
    if (record->Expression == nullptr) return missing;
    out.WriteHeader(kRecord, XMF_OPEN);
    int32_t result = BindWorkText(query, record->Expression, work, kExpressionRoom);
    if (result < 0 && result != QTE_UNBOUND) return result;
    out.Write_Proper(1, work);
    WriteItems(out, record);
    out.WriteHeader(kRecord, XMF_CLOSE);
  }
  out.WriteHeader(id, XMF_CLOSE);
  return 0;
}

// One record per live leaf, with the parentheses and junctions that rebuild the same tree.
int32_t WriteLeaves(XMF_Serialize& out, const XWhereTree* root) {
  if (root->State == XWT_TRUE || root->State == XWT_VOID) return 0;
  if (root->State == XWT_FALSE) return 1;
  bool opened = false;
  int32_t result =
      WalkWhereLeaves(root, QTE_WHERESHAPE, [&](const LeafStep<const XWhereTree>& step) {
        const XWhereTree* leaf = step.leaf;
        if (leaf->Desc == nullptr) return QTE_WHERESHAPE;
        if (!opened) out.WriteHeader(kWhereSection, XMF_OPEN);
        opened = true;
        out.WriteHeader(kRecord, XMF_OPEN);
        if (leaf->Name != nullptr) out.Write_Proper(1, leaf->Name);
        if (leaf->Value != nullptr) out.Write_Proper(2, leaf->Value);
        uint32_t parens = (step.opens & 0xFFFFu) | step.closes << 16;
        uint32_t junction = step.following != nullptr ? step.following->Parent->State : 0;
        uint32_t op_junction = (leaf->Desc->OpJunction & 0xFFFFu) | junction << 16;
        out.Write_Proper(4, &parens, 4);
        out.Write_Proper(5, &op_junction, 4);
        out.Write_Proper(6, &leaf->Desc->UnboundMode, 4);
        out.WriteHeader(kRecord, XMF_CLOSE);
        return 0;
      });
  if (result != 0) return result;
  out.WriteHeader(kWhereSection, XMF_CLOSE);
  return 0;
}

// Builds, binds and simplifies the conditions and writes them; the tree is released on every
// way out, since its texts point into this frame's buffer.
int32_t WriteConditions(XMF_Serialize& out, XQueryTemplate* query) {
  XCHAR buffer[kWhereRoom];
  int32_t result = MakeWhereTree(query, buffer, kWhereRoom);
  if (result == 0 && query->WhereTree != nullptr) {
    query->WhereTree = SimplifyWhereTree(query->WhereTree);
    result = WriteLeaves(out, query->WhereTree);
  }
  ReleaseWhereTree(query->WhereTree);
  query->WhereTree = nullptr;
  return result;
}

}  // namespace

}  // namespace tabrow

int32_t XQueryTemplate::ComputeTemplate(IArchive* archive) {
  using namespace tabrow;
  if (Binder == nullptr) return QTE_FAIL;
  if (FieldList == nullptr) return QTE_NOFIELDS;
  if (Muster1 == 0 && Muster2 == 0) return QTE_NOMUSTER;
  if (archive == nullptr) return QTE_FAIL;
  XMF_Serialize out(archive);
  WriteTemplateWords(out, *this);
  if (FromText != nullptr) {
    XCHAR work[kFromRoom];
    int32_t result = BindWorkText(this, FromText, work, kFromRoom);
    if (result < 0) return result;
    out.Write_Proper(kFromTextItem, work);
  }
  int32_t result = WriteExpressionSection(out, this, kFieldSection, FieldList, QTE_FIELDTEXT);
  if (result == 0 && WhereList != nullptr) result = WriteConditions(out, this);
  if (result == 0)
    result = WriteExpressionSection(out, this, kGroupSection, GroupList, QTE_GROUPTEXT);
  if (result == 0)
    result = WriteExpressionSection(out, this, kOrderSection, OrderList, QTE_ORDERTEXT);
  if (result != 0) return result;
  out.WriteHeader(kComputedEnd, XMF_CLOSE);
  return 0;
}

// Rendering a bound where tree as an executable SQL condition.
#include "tabrow/query.h"

#include "query/operators.h"
#include "query/sql_values.h"
#include "query/text_out.h"
#include "query/where_walk.h"

namespace tabrow {

namespace {

int32_t RenderLeaf(TextOut& out, const LeafStep<const XWhereTree>& step) {
  const XWhereTree* leaf = step.leaf;
  if (leaf->Desc == nullptr || leaf->Value == nullptr) return QTE_FAIL;
  const QueryOperator* op = FindOperator(leaf->Desc->OpJunction & 0xFFFFu);
  if (op == nullptr) return QTE_FAIL;
  if (leaf->Name == nullptr && op->code != QOP_EXISTS && op->code != QOP_NOTEXISTS) {
    return QTE_FAIL;
  }
  bool range = IsRange(op->form);
  out.Repeat(u'(', step.opens);
  if (range) out.Put(u'(');
  out.PutText(leaf->Name);
  out.PutAscii(op->sql);
  int32_t result = RenderValue(out, op->form, leaf->Name, leaf->Value);
  if (result != 0) return result;
  if (range) out.Put(u')');
  out.Repeat(u')', step.closes);
  if (step.following != nullptr) {
    out.PutAscii(step.following->Parent->State == QJN_AND ? " AND " : " OR ");
  }
  return 0;
}

}  // namespace

}  // namespace tabrow

int32_t MakeWhereClause(const XWhereTree* root, XCHAR* out) {
  using tabrow::LeafStep;
  if (root == nullptr || root->State == XWT_TRUE || root->State == XWT_VOID) return 0;
  if (root->State == XWT_FALSE) return QTE_FAIL;
  tabrow::TextOut text(out);
  int32_t result = tabrow::WalkWhereLeaves(
      root, QTE_FAIL,
      [&text](const LeafStep<const XWhereTree>& step) { return tabrow::RenderLeaf(text, step); });
  if (result != 0) return result;
  // The root group's own parentheses: its "(" becomes a space and its ")" goes.
  if (root->Child != nullptr) {
    text.Set(0, u' ');
    text.Truncate(text.length() - 1);
  }
  text.Terminate();
  return static_cast<int32_t>(text.length());
}

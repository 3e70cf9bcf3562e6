// The template's readable SELECT description, made straight from its descriptor lists.
#include "tabrow/query.h"

#include "query/operators.h"
#include "query/text_out.h"

namespace tabrow {

namespace {

// " expr," for each record, the last comma removed.
template <typename Record>
void PutExpressionList(TextOut& out, const Record* first) {
  for (const Record* record = first; record != nullptr; record = record->Next) {
    out.Put(u' ');
    out.PutText(record->Expression);
    out.Put(u',');
  }
  if (first != nullptr) out.Truncate(out.length() - 1);
}

void PutSource(TextOut& out, uint32_t muster1, uint32_t muster2) {
  if (muster1 != 0) {
    out.PutFormat("\r\nFROM [# %ld]", {static_cast<int32_t>(muster1)});
  } else if (muster2 != 0) {
    out.PutFormat("\r\nFROM [%% %ld]", {static_cast<int32_t>(muster2)});
  } else {
    out.PutText(u"\r\nFROM [\u672A\u77E5\u5BF9\u8C61]");
  }
}

void PutConditions(TextOut& out, const XQueryWhereDesc* first) {
  out.PutAscii("\r\nWHERE ");
  for (const XQueryWhereDesc* desc = first; desc != nullptr; desc = desc->Next) {
    out.Repeat(u'(', desc->Parens & 0xFFFFu);
    out.PutText(desc->Name);
    const QueryOperator* op = FindOperator(desc->OpJunction & 0xFFFFu);
    out.PutAscii(op != nullptr ? op->shown : " ?? ");
    out.PutText(desc->Value);
    out.Repeat(u')', desc->Parens >> 16);
    uint32_t junction = desc->OpJunction >> 16;
    if (junction == QJN_AND) out.PutAscii(" AND ");
    if (junction == QJN_OR) out.PutAscii(" OR ");
  }
}

void PutOrdering(TextOut& out, const XQueryOrderDesc* first) {
  out.PutAscii("\r\nORDER BY");
  for (const XQueryOrderDesc* order = first; order != nullptr; order = order->Next) {
    out.Put(u' ');
    out.PutText(order->Expression);
    out.PutAscii(order->Descending != 0 ? " DESC," : ",");
  }
  out.Truncate(out.length() - 1);
}

}  // namespace

}  // namespace tabrow

void XQueryTemplate::MakeTemplateDesc(XCHAR* out, int32_t /*unused*/) {
  tabrow::TextOut text(out);
  text.PutAscii("SELECT");
  tabrow::PutExpressionList(text, FieldList);
  tabrow::PutSource(text, Muster1, Muster2);
  if (WhereList != nullptr) tabrow::PutConditions(text, WhereList);
  if (GroupList != nullptr) {
    text.PutAscii("\r\nGROUP BY");
    tabrow::PutExpressionList(text, GroupList);
  }
  if (OrderList != nullptr) tabrow::PutOrdering(text, OrderList);
  text.Terminate();
}

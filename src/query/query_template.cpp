// The template object and the operations on its descriptor lists.
#include <cstring>
#include <new>
#include <utility>

#include "platform/text.h"
#include "query/desc_records.h"
#include "query/where_tree.h"

using tabrow::FreeChain;

XQueryTemplate::XQueryTemplate()
    : Muster1(0),
      Muster2(0),
      TemplateWord4(0),
      TemplateWord3(0),
      TemplateWord5(0),
      BinderContext(nullptr),
      FromText(nullptr),
      FieldList(nullptr),
      WhereList(nullptr),
      GroupList(nullptr),
      OrderList(nullptr),
      WhereTree(nullptr),
      Binder(nullptr) {}

XQueryTemplate::~XQueryTemplate() {
  for (int32_t list = QDL_FIELD; list <= QDL_ORDER; ++list) ClearDesc(list);
  std::free(FromText);
  tabrow::ReleaseWhereTree(WhereTree);
}

XQueryTemplate* XQueryTemplate::Malloc() {
  return new (std::nothrow) XQueryTemplate();
}

void XQueryTemplate::Release() {
  delete this;
}

void XQueryTemplate::Release(XQueryTemplate* query) {
  if (query != nullptr) query->Release();
}

void XQueryTemplate::ClearDesc(int32_t list) {
  switch (list) {
    case QDL_FIELD:
      FreeChain(std::exchange(FieldList, nullptr));
      break;
    case QDL_WHERE:
      FreeChain(std::exchange(WhereList, nullptr));
      break;
    case QDL_GROUP:
      FreeChain(std::exchange(GroupList, nullptr));
      break;
    case QDL_ORDER:
      FreeChain(std::exchange(OrderList, nullptr));
      break;
    default:
      break;
  }
}

void* XQueryTemplate::GetDescList(int32_t list) {
  switch (list) {
    case QDL_FIELD:
      return FieldList;
    case QDL_WHERE:
      return WhereList;
    case QDL_GROUP:
      return GroupList;
    case QDL_ORDER:
      return OrderList;
    case QDL_WHERETREE:
      return WhereTree;
    default:
      return nullptr;
  }
}

void XQueryTemplate::ReleaseDesc(int32_t list, void* first) {
  switch (list) {
    case QDL_FIELD:
      FreeChain(static_cast<XQueryFieldDesc*>(first));
      break;
    case QDL_WHERE:
      FreeChain(static_cast<XQueryWhereDesc*>(first));
      break;
    case QDL_GROUP:
      FreeChain(static_cast<XQueryGroupDesc*>(first));
      break;
    case QDL_ORDER:
      FreeChain(static_cast<XQueryOrderDesc*>(first));
      break;
    default:
      break;
  }
}

void XQueryTemplate::SetFromClause(const XCHAR* text) {
  XCHAR* copy = nullptr;
  if (text != nullptr) {
    while (tabrow::LoadUnit(text) >= 1 && tabrow::LoadUnit(text) <= 32) ++text;
    copy = tabrow::StoredText(text);
  }
  std::free(FromText);
  FromText = copy;
}

void XQueryTemplate::SetDataMuster(uint32_t first, uint32_t second) {
  Muster1 = first;
  Muster2 = second;
}

void XQueryTemplate::SetBinder(void* context, XQueryBinder binder) {
  BinderContext = context;
  Binder = binder;
}

void XQueryTemplate::SetBinder(void* context, const void* binder) {
  XQueryBinder function;
  static_assert(sizeof function == sizeof binder, "function and data pointers differ in size");
  std::memcpy(&function, &binder, sizeof function);
  SetBinder(context, function);
}

void XQueryTemplate::SetBinder(void* context, std::nullptr_t) {
  SetBinder(context, XQueryBinder{nullptr});
}

void XQueryTemplate::InsertSuber(int32_t n) {
  auto* record = tabrow::NewRecord<XQueryFieldDesc>();
  if (record == nullptr) return;
  XQueryFieldDesc** link = &FieldList;
  for (int32_t i = 0; i < n && *link != nullptr; ++i) link = &(*link)->Next;
  record->Next = *link;
  *link = record;
}

void XQueryTemplate::DeleteSuber(int32_t n) {
  if (n < 0) return;
  XQueryFieldDesc** link = &FieldList;
  for (int32_t i = 0; i < n && *link != nullptr; ++i) link = &(*link)->Next;
  XQueryFieldDesc* record = *link;
  if (record == nullptr) return;
  *link = record->Next;
  record->Next = nullptr;
  FreeChain(record);
}

void XQueryTemplate::SwitchSuber(int32_t a, int32_t b) {
  XQueryFieldDesc* first = tabrow::RecordAt(FieldList, a);
  XQueryFieldDesc* second = tabrow::RecordAt(FieldList, b);
  if (first == nullptr || second == nullptr) return;
  std::swap(*first, *second);
  std::swap(first->Next, second->Next);
}

void XQueryTemplate::Displace(XQueryTemplate* other) {
  if (other == nullptr || other == this) return;
  for (int32_t list = QDL_FIELD; list <= QDL_ORDER; ++list) ClearDesc(list);
  std::free(FromText);
  FromText = std::exchange(other->FromText, nullptr);
  FieldList = std::exchange(other->FieldList, nullptr);
  WhereList = std::exchange(other->WhereList, nullptr);
  GroupList = std::exchange(other->GroupList, nullptr);
  OrderList = std::exchange(other->OrderList, nullptr);
  Muster1 = other->Muster1;
  Muster2 = other->Muster2;
}

XCHAR* XQueryTemplate::ReplaceName(XCHAR* held, const XCHAR* text) {
  if (text == nullptr) {
    std::free(held);
    return nullptr;
  }
  size_t length = tabrow::TextLength(text);
  if (held != nullptr && tabrow::TextLength(held) >= length) {
    std::memmove(held, text, (length + 1) * sizeof(XCHAR));
    return held;
  }
  std::free(held);
  return tabrow::CopyTextN(text, length);
}

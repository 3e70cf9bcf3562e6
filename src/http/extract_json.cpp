// Rows and grids from a JSON document: nodes found by slash paths of member names, their values
// converted by the type letters.
#include <string>
#include <vector>

#include "http/extract.h"
#include "tabrow/convert.h"
#include "tabrow/grider.h"
#include "tabrow/jsondoc.h"
#include "tabrow/rowbuffer.h"

namespace tabrow {

namespace {

const char kNoRoot[] = "获取数据失败，文档为空";
const char kRowPathNotText[] = "只能以名称方式检索数据";
const char kGridPathNotText[] = "访问失败，节点检索名称不存在";
const char kRowItemNotText[] = "只能以名称方式访问数据";
const char kNotArray[] = "检索节点不是数组节点";
const char kGridItemNotText[] = "不能用编号方式检索数据";

// Converts `node` (none leaves the unit alone) into `unit` as a letter asks: in its own kind,
// as a unit type, or not at all for a letter that names no type.
void Convert(const XJsonNode* node, int32_t utf8, int8_t wanted, XDataUnit* unit) {
  if (node == nullptr || wanted == kNoType) return;
  XJsonDoc::NodeToUnit(node, utf8, unit, wanted == kAsIs ? 0 : uint16_t(wanted));
}

// The node a query's path leads to: a path beginning with '/' starts at the root (the slash
// dropped), any other at `node`, or at the root when that is null. *shown gets the path as the
// messages name it.
XJsonNode* FindPath(XJsonDoc* document, void* node, const std::u16string& path,
                    const XCHAR** shown) {
  XJsonNode* start = node != nullptr ? static_cast<XJsonNode*>(node) : document->GetRoot();
  const XCHAR* text = path.c_str();
  if (text[0] == u'/') {
    start = document->GetRoot();
    ++text;
  }
  *shown = text;
  return XJsonDoc::FindNode(start, document->IsUtf8(), text);
}

// Reads the query and finds the node its path leads to; null after writing the message for an
// empty document (`pathNotText` when the path is no name, or the missing node's message).
XJsonNode* FindQueryNode(XJsonDoc* document, void* node, const XVariable* query,
                         const char* pathNotText, ExtractQuery* request, XCHAR* error) {
  if (document->GetRoot() == nullptr) {
    WriteMessage(error, kNoRoot);
    return nullptr;
  }
  if (!request->Read(query) || !request->path().is_text) {
    WriteMessage(error, pathNotText);
    return nullptr;
  }
  const XCHAR* shown = nullptr;
  XJsonNode* found = FindPath(document, node, request->path().text, &shown);
  if (found == nullptr) WriteMessage(error, kNoNodeMessage, shown);
  return found;
}

}  // namespace

int32_t JsonRowBuffer(XJsonDoc* document, void* node, const XVariable* query, XRowBuffer* row,
                      const XCHAR* types, XCHAR* error) {
  ExtractQuery request;
  XJsonNode* found = FindQueryNode(document, node, query, kRowPathNotText, &request, error);
  if (found == nullptr) return 0;
  const int32_t utf8 = document->IsUtf8();
  const std::vector<int8_t> wanted = ReadLetters(types, request.count());
  if (!request.list()) {
    XDataUnit* cell = row->AddNullUnit();
    if (cell != nullptr) Convert(found, utf8, wanted[0], cell);
    return 1;
  }
  for (int32_t i = 0; i < request.count(); ++i) {
    const QueryItem& item = request.item(i);
    if (item.kind != kItemValue && !item.is_text) {
      WriteMessage(error, kRowItemNotText);
      return 0;
    }
    XDataUnit* cell = row->AddNullUnit();
    if (cell == nullptr) continue;
    if (item.kind == kItemValue) {
      DataTransfer(item.record, cell);
    } else {
      Convert(XJsonDoc::FindNode(found, utf8, item.text.c_str()), utf8, wanted[size_t(i)], cell);
    }
  }
  return 1;
}

int32_t JsonRowGrider(XJsonDoc* document, void* node, const XVariable* query, XRowGrider* grider,
                      const XCHAR* types, XCHAR* error) {
  ExtractQuery request;
  XJsonNode* found = FindQueryNode(document, node, query, kGridPathNotText, &request, error);
  if (found == nullptr) return 0;
  if (found->Kind != XJT_ARRAY) {
    WriteMessage(error, kNotArray);
    return 0;
  }
  // Without the list flag each element is itself the one value of its line.
  const int32_t columns = request.list() ? request.count() : 1;
  const std::vector<int8_t> wanted = ReadLetters(types, columns);
  LineCells cells(columns);
  for (int32_t i = 0; i < columns; ++i) {
    cells.at(i)->Type = wanted[size_t(i)] > 0 ? uint16_t(wanted[size_t(i)]) : 0;
  }
  grider->SetItemDesc(cells.data(), columns);
  const int32_t utf8 = document->IsUtf8();
  for (XJsonNode* element = found->Child; element != nullptr; element = element->Next) {
    for (int32_t i = 0; i < columns; ++i) {
      XDataUnit* cell = cells.Reset(i);
      const XJsonNode* source = element;
      if (request.list()) {
        const QueryItem& item = request.item(i);
        if (!item.is_text) {
          WriteMessage(error, kGridItemNotText);
          return 0;
        }
        source = XJsonDoc::FindNode(element, utf8, item.text.c_str());
      }
      Convert(source, utf8, wanted[size_t(i)], cell);
    }
    // A line whose values do not fit the columns' types is left out.
    grider->AddItemLine(cells.data(), columns, reinterpret_cast<uintptr_t>(element));
  }
  return 1;
}

}  // namespace tabrow

// Rows and grids from an XML document: elements selected by path, values read from attributes,
// child elements or the element's own text, converted by the type letters.
#include <string>
#include <vector>

#include "http/extract.h"
#include "platform/text.h"
#include "tabrow/convert.h"
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"
#include "tabrow/xmldoc.h"

namespace tabrow {

namespace {

const char kEmptyDocument[] = "获取数据失败，xml 文档为空";
const char kPathNotText[] = "访问失败，节点检索名称不存在";
const char kRowLetterCount[] = "数据类型个数有误";
const char kItemNotText[] = "不能用编号方式访问 xml 数据";
const char kNoList[] = "访问失败，父项节点缺失";
const char kGridLetterCount[] = "检索类型个数有误";

// Every value is read into a text area of this many units.
constexpr int32_t kTextRoom = 8192;

// True when a type text is given and its length differs from the item count.
bool LettersMiscounted(const XCHAR* types, int32_t count) {
  return types != nullptr && LetterCount(types, count + 1) != count;
}

// Reads the text an item names on `node` into `buffer` (room >= 1 units): the text of the child
// element of that name for kind 0x3200, else the value of the attribute of that name. Empty when
// there is none.
void ReadItemText(XML_Node* node, const QueryItem& item, XCHAR* buffer, int32_t room) {
  buffer[0] = 0;
  if (item.kind != kItemChildElement) {
    node->GetAttribute(item.text.c_str(), buffer, room);
    return;
  }
  XML_Node* child = node->GetChild(item.text.c_str());
  if (child != nullptr) child->GetText(buffer, room);
}

// Appends a cell for a text: null when it is empty or its letter names no type, the text itself
// (copied) without a letter, else the text converted to the letter's type.
void AddTextCell(XRowBuffer* row, const XCHAR* text, int8_t wanted) {
  if (text[0] != 0 && wanted == kAsIs) {
    row->AddDataUnit(text, 1);
    return;
  }
  XDataUnit* cell = row->AddNullUnit();
  if (cell == nullptr || text[0] == 0 || wanted == kNoType) return;
  cell->Type = uint16_t(wanted);
  DataTransfer(text, cell, 1);
}

// Fills one grid line's cells from the item texts of `element`, all of them kept in `area`; a
// string cell borrows its text there, so the next text goes behind it. False when an item
// record is no text.
bool ReadLine(XML_Node* element, const ExtractQuery& request, LineCells* cells, XCHAR* area) {
  int32_t used = 0;
  for (int32_t i = 0; i < request.count(); ++i) {
    XDataUnit* cell = cells->at(i);
    ClearUnitData(cell);
    const QueryItem& item = request.item(i);
    if (!item.is_text) return false;
    if (used >= kTextRoom) continue;  // the area is full: the value reads as empty
    XCHAR* text = area + used;
    ReadItemText(element, item, text, kTextRoom - used);
    if (text[0] == 0) continue;
    DataTransfer(text, cell, 0);
    if (cell->Type == XDT_STRING) used += int32_t(TextLength(text)) + 1;
  }
  return true;
}

}  // namespace

int32_t XmlRowBuffer(XML_Archive* document, void* node, const XVariable* query, XRowBuffer* row,
                     const XCHAR* types, XCHAR* error) {
  if (document->IsEmptyDoc()) {
    WriteMessage(error, kEmptyDocument);
    return 0;
  }
  ExtractQuery request;
  if (!request.Read(query) || !request.path().is_text) {
    WriteMessage(error, kPathNotText);
    return 0;
  }
  const XCHAR* path = request.path().text.c_str();
  XML_Node* found = document->SelectNode(path, static_cast<XML_Node*>(node));
  if (found == nullptr) {
    WriteMessage(error, kNoNodeMessage, path);
    return 0;
  }
  if (LettersMiscounted(types, request.count())) {
    WriteMessage(error, kRowLetterCount);
    return 0;
  }
  const std::vector<int8_t> wanted = ReadLetters(types, request.count());
  std::vector<XCHAR> text(kTextRoom);
  if (!request.list()) {
    text[0] = 0;
    found->GetText(text.data(), kTextRoom);
    AddTextCell(row, text.data(), wanted[0]);
    return 1;
  }
  for (int32_t i = 0; i < request.count(); ++i) {
    const QueryItem& item = request.item(i);
    if (item.kind == kItemValue) {
      XDataUnit* cell = row->AddNullUnit();
      if (cell != nullptr) DataTransfer(item.record, cell);
      continue;
    }
    if (!item.is_text) {
      WriteMessage(error, kItemNotText);
      return 0;
    }
    ReadItemText(found, item, text.data(), kTextRoom);
    AddTextCell(row, text.data(), wanted[size_t(i)]);
  }
  return 1;
}

int32_t XmlRowGrider(XML_Archive* document, void* node, const XVariable* query, XRowGrider* grider,
                     const XCHAR* types, XCHAR* error) {
  ExtractQuery request;
  const bool readable = request.Read(query);
  if (readable && !request.list()) {
    WriteMessage(error, kNoList);
    return 0;
  }
  if (document->IsEmptyDoc()) {
    WriteMessage(error, kEmptyDocument);
    return 0;
  }
  if (!readable || !request.path().is_text) {
    WriteMessage(error, kPathNotText);
    return 0;
  }
  // The path names the container, then after its last slash the repeated element.
  const std::u16string& path = request.path().text;
  const size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos) {
    WriteMessage(error, kNoNodeMessage, path.c_str());
    return 0;
  }
  const std::u16string container = path.substr(0, slash);
  const std::u16string element = path.substr(slash + 1);
  XML_Node* parent = document->SelectNode(container.c_str(), static_cast<XML_Node*>(node));
  if (parent == nullptr) {
    WriteMessage(error, kNoNodeMessage, container.c_str());
    return 0;
  }
  const int32_t count = request.count();
  if (LettersMiscounted(types, count)) {
    WriteMessage(error, kGridLetterCount);
    return 0;
  }
  const std::vector<int8_t> wanted = ReadLetters(types, count);
  LineCells cells(count);
  for (int32_t i = 0; i < count; ++i) {
    const int8_t type = wanted[size_t(i)];
    cells.at(i)->Type = type == XDT_LONG || type == XDT_DOUBLE || type == XDT_DATETIME
                            ? uint16_t(type)
                            : XDT_STRING;
  }
  grider->SetItemDesc(cells.data(), count);
  XML_NodeList* children = parent->GetChildren();
  if (children == nullptr) return 1;
  std::vector<XCHAR> area(kTextRoom);
  uintptr_t position = 0;
  for (XML_Node* child = children->GetNext(&position); position != 0;
       child = children->GetNext(&position)) {
    if (!child->IsName(element.c_str())) continue;
    if (!ReadLine(child, request, &cells, area.data())) {
      WriteMessage(error, kItemNotText);
      return 0;
    }
    // A line whose values do not fit the columns' types is left out.
    grider->AddItemLine(cells.data(), count, reinterpret_cast<uintptr_t>(child));
  }
  return 1;
}

}  // namespace tabrow

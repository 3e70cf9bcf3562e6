// The grid read back from an XML "Rowset" document: columns from the Type letters, a line per
// row element, a cell per child element of the row, in order.
#include <vector>

#include "platform/text.h"
#include "tabrow/convert.h"
#include "tabrow/grider.h"
#include "tabrow/xmldoc.h"

namespace {

// The Type attribute is read into this many units.
constexpr int32_t kTypeRoom = 320;
// All texts of one row share this many units.
constexpr int32_t kRowTextRoom = 8192;

uint16_t ColumnType(XCHAR letter) {
  switch (letter) {
    case u'I':
      return XDT_LONG;
    case u'S':
      return XDT_STRING;
    case u'F':
      return XDT_DOUBLE;
    case u'T':
      return XDT_DATETIME;
    default:
      return 0;
  }
}

// One null unit per letter of `letters`, typed by it; false for an empty text or another
// letter.
bool ReadColumns(const XCHAR* letters, std::vector<XDataUnit>* units) {
  for (const XCHAR* p = letters; *p != 0; ++p) {
    XDataUnit unit;
    SetUnitNull(&unit);
    unit.Type = ColumnType(*p);
    if (unit.Type == 0) return false;
    units->push_back(unit);
  }
  return !units->empty();
}

// Sets the units from the cells of `row` (missing cells stay null). Text cells borrow their
// texts, which are kept one behind the other in `area`.
void ReadRow(XML_Node* row, std::vector<XDataUnit>* units, XCHAR* area) {
  for (XDataUnit& unit : *units) ClearUnitData(&unit);
  XML_NodeList* cells = row->GetChildren();
  if (cells == nullptr) return;
  uintptr_t position = 0;
  int32_t used = 0;
  for (XDataUnit& unit : *units) {
    XML_Node* cell = cells->GetNext(&position);
    if (position == 0) return;
    if (used >= kRowTextRoom) continue;  // the area is full: the value reads as empty
    XCHAR* text = area + used;
    text[0] = 0;
    cell->GetText(text, kRowTextRoom - used);
    if (text[0] == 0) continue;
    DataTransfer(text, &unit, 0);
    if (unit.Type == XDT_STRING) used += int32_t(tabrow::TextLength(text)) + 1;
  }
}

}  // namespace

int32_t XRowGrider::FromXmlDoc(XML_Archive* document) {
  if (document == nullptr || document->IsEmptyDoc()) return 0;
  XML_Node* rowset = document->SelectNode(u"/Rowset", nullptr);
  if (rowset == nullptr) return 0;
  XCHAR letters[kTypeRoom];
  letters[0] = 0;
  rowset->GetAttribute(u"Type", letters, kTypeRoom);
  std::vector<XDataUnit> units;
  if (!ReadColumns(letters, &units)) return 0;
  const int32_t count = int32_t(units.size());
  if (SetItemDesc(units.data(), count) == 0) return 0;
  XML_NodeList* rows = rowset->GetChildren();
  if (rows == nullptr) return 1;
  std::vector<XCHAR> area(kRowTextRoom);
  uintptr_t position = 0;
  for (XML_Node* row = rows->GetNext(&position); position != 0; row = rows->GetNext(&position)) {
    ReadRow(row, &units, area.data());
    // A row whose line the grid refuses is left out.
    AddItemLine(units.data(), count, reinterpret_cast<uintptr_t>(row));
  }
  return 1;
}

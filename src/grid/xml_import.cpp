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

// Reads a cell's text into `text` (room units) and converts it into `unit`; false, the unit
// untouched, when there is no cell, no room or no text.
bool ReadCell(XML_Node* cell, XCHAR* text, int32_t room, XDataUnit* unit) {
  if (cell == nullptr || room <= 0) return false;
  text[0] = 0;
  cell->GetText(text, room);
  if (text[0] == 0) return false;
  DataTransfer(text, unit, 0);
  return true;
}

// Sets the units from the cells of `row`; a unit without a cell or text is cleared to null.
// Text cells borrow their texts, which are kept one behind the other in `area`, so a value
// that finds the area full reads as empty.
void ReadRow(XML_Node* row, std::vector<XDataUnit>* units, XCHAR* area) {
  XML_NodeList* cells = row->GetChildren();
  uintptr_t position = 0;
  int32_t used = 0;
  for (XDataUnit& unit : *units) {
    XML_Node* cell = cells != nullptr ? cells->GetNext(&position) : nullptr;
    if (cell == nullptr) cells = nullptr;  // the cells have run out: the rest stay null
    if (!ReadCell(cell, area + used, kRowTextRoom - used, &unit)) {
      ClearUnitData(&unit);
    } else if (unit.Type == XDT_STRING) {
      used += int32_t(tabrow::TextLength(area + used)) + 1;
    }
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

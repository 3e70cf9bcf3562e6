// The grid read back from an XML "Rowset" document: columns from the Type letters, a line per
// row element, a cell per child element of the row, in order.
//
// Cells are read from the parsed document's UTF-8 and planned straight into the line builder,
// so a row costs the line itself and nothing else. A number or date read from the bytes reads
// what its UTF-16 form would, as the bytes are ASCII and fit the row's text area. A value in
// the form WriteXmlDoc writes (the whole text a number or a "YYYY-MM-DD HH:MM:SS" date), and
// an ASCII text, is taken in one pass; any other text is checked first and read the long way.
#include <cstring>
#include <vector>

#include "archive/xml_child_texts.h"
#include "grid/lines_build.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "tabrow/grider.h"
#include "tabrow/xmldoc.h"
#include "values/convert_forms.h"
#include "values/time_text.h"
#include "values/type_letters.h"

namespace {

// The Type attribute is read into this many units.
constexpr int32_t kTypeRoom = 320;
// All texts of one row share this many units.
constexpr int32_t kRowTextRoom = 8192;

// One null unit per letter of `letters`, typed by it; false for an empty text or another
// letter.
bool ReadColumns(const XCHAR* letters, std::vector<XDataUnit>* units) {
  for (const XCHAR* p = letters; *p != 0; ++p) {
    XDataUnit unit;
    SetUnitNull(&unit);
    unit.Type = tabrow::LetterType(*p);
    if (unit.Type == 0) return false;
    units->push_back(unit);
  }
  return !units->empty();
}

// True when `text` is ASCII and shorter than `room`: its UTF-16 would be the same characters,
// uncut, so a number or date can be read from the bytes themselves.
bool FitsAsAscii(const char* text, int32_t room) {
  for (int32_t i = 0; i < room; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0) return true;
    if (c >= 0x80) return false;
  }
  return false;
}

// Reads a number or date of `type` from ASCII text, as from its UTF-16.
bool ReadAsciiValue(const char* text, uint16_t type, XUnitValue* value) {
  switch (type) {
    case XDT_LONG:
      return tabrow::ReadLong(text, &value->Long);
    case XDT_DOUBLE:
      return tabrow::ReadDouble(text, &value->Double);
    default:
      return tabrow::ReadDateTime(text, &value->Time);
  }
}

// True when a reader that took `text` up to `end` read all of it, in fewer than `room` bytes.
bool ReadWhole(const char* text, const char* end, int32_t room) {
  return *end == 0 && end - text < room;
}

// Reads a number or date of `type` that is the whole of `text` and shorter than `room`, as
// WriteXmlDoc writes them, in one pass. Such a text is ASCII (the readers take nothing else)
// and fits the row's area, so this reads what its UTF-16 would. False, *value untouched, for
// any other text.
bool ReadWholeValue(const char* text, uint16_t type, int32_t room, XUnitValue* value) {
  // Each value is read into a variable of its own type and stored as that type: storing a
  // part of the union and loading it whole would stall the load.
  const char* end = text;
  switch (type) {
    case XDT_LONG: {
      int32_t number;
      if (!tabrow::ReadLong(text, &number, &end) || !ReadWhole(text, end, room)) return false;
      value->Long = number;
      return true;
    }
    case XDT_DOUBLE: {
      double number;
      if (!tabrow::ReadDouble(text, &number, &end) || !ReadWhole(text, end, room)) return false;
      value->Double = number;
      return true;
    }
    default: {
      DATETIME time;
      if (!tabrow::ReadDefaultDateTime(text, &time) || !ReadWhole(text, text + 19, room))
        return false;
      value->Time = time;
      return true;
    }
  }
}

// Copies `text` into `area` as UTF-16 when it is ASCII and shorter than `room`, as
// DecodeUtf8Into would, but as one counted loop; returns its length, or -1 for any other text
// (then `area` holds nothing to keep).
int32_t WidenAscii(const char* text, XCHAR* area, int32_t room) {
  const size_t length = std::strlen(text);
  if (length >= size_t(room)) return -1;
  uint32_t seen = 0;
  for (size_t i = 0; i < length; ++i) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    seen |= c;
    area[i] = c;
  }
  if (seen >= 0x80) return -1;
  area[length] = 0;
  return int32_t(length);
}

// The cell of a number or date read into `value`.
tabrow::CellPlan ValueCell(uint16_t type, const XUnitValue* value) {
  return type == XDT_LONG ? tabrow::BytesCell(&value->Long, 4) : tabrow::BytesCell(value, 8);
}

// One column of a row being read: its type and declared size, and where its value is kept.
struct Column {
  uint16_t type;
  uint16_t size;
  XUnitValue value;
};

// Plans a cell of `column` from its UTF-8 `text` (null: no cell); no text or one that does not
// read as the column's type gives a null cell. The cell's UTF-16 goes into `area`, at most
// room - 1 units and a NUL. Returns the units of `area` the cell keeps: a text cell's length
// and NUL, else 0.
int32_t PlanCell(const char* text, Column* column, XCHAR* area, int32_t room,
                 tabrow::CellPlan* plan) {
  *plan = tabrow::CellPlan{};
  if (text == nullptr || *text == 0 || room <= 0) return 0;
  if (column->type != XDT_STRING) {
    if (ReadWholeValue(text, column->type, room, &column->value)) {
      *plan = ValueCell(column->type, &column->value);
      return 0;
    }
    if (FitsAsAscii(text, room)) {
      if (ReadAsciiValue(text, column->type, &column->value))
        *plan = ValueCell(column->type, &column->value);
      return 0;
    }
  }
  int32_t length = WidenAscii(text, area, room);
  if (length < 0) length = tabrow::DecodeUtf8Into(text, area, room);
  if (length == 0) return 0;
  if (column->type == XDT_STRING) {
    *plan = tabrow::TextCell(area, size_t(length), column->size);
    return length + 1;
  }
  if (tabrow::ReadTextValue(area, column->type, &column->value))
    *plan = ValueCell(column->type, &column->value);
  return 0;
}

// Plans the cells of `row`. Text cells point into `area`, where the row's texts are kept one
// behind the other, so a value that finds the area full reads as empty.
void PlanRow(XML_Node* row, std::vector<Column>* columns, const char** texts, XCHAR* area,
             tabrow::CellPlan* plans) {
  const int32_t count = int32_t(columns->size());
  tabrow::ReadChildTexts(row, texts, count);
  int32_t used = 0;
  for (int32_t c = 0; c < count; ++c)
    used += PlanCell(texts[c], &(*columns)[size_t(c)], area + used, kRowTextRoom - used, &plans[c]);
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
  std::vector<Column> columns;
  for (int32_t c = 0; c < count; ++c) columns.push_back(Column{Types[c], Sizes[c], {}});
  std::vector<const char*> texts(size_t(count), nullptr);
  std::vector<tabrow::CellPlan> plans(columns.size());
  std::vector<XCHAR> area(kRowTextRoom);
  uintptr_t position = 0;
  for (XML_Node* row = rows->GetNext(&position); position != 0; row = rows->GetNext(&position)) {
    PlanRow(row, &columns, texts.data(), area.data(), plans.data());
    // A row whose line cannot be made (memory) is left out.
    LinkNewLine(tabrow::BuildLine(plans.data(), count), 0, 0, reinterpret_cast<uintptr_t>(row));
  }
  return 1;
}

// The pick-list text of a grid: one line per grid line, a key, a semicolon and a text.
#include <charconv>
#include <cstring>
#include <string>

#include "platform/numbers.h"
#include "platform/text.h"
#include "tabrow/grider.h"

namespace {

// A line is written only while at least this many characters of room are left.
constexpr int32_t kLineReserve = 320;

const char16_t kNullLine[] = u"NULL;\r\n";

void AppendLong(int32_t value, std::u16string* line) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (const char* p = digits; p != end; ++p) line->push_back(XCHAR(*p));
}

// Appends a text lent by a cell (it may sit at an odd address).
void AppendText(const XCHAR* text, std::u16string* line) {
  for (XCHAR unit; (unit = tabrow::LoadUnit(text)) != 0; ++text) line->push_back(unit);
}

// Reads a cell of the current line; a failed read gives a null unit.
XDataUnit ReadCell(XRowGrider* grider, int32_t column) {
  XDataUnit unit;
  if (grider->GetValue(column, &unit) == 0) SetUnitNull(&unit);
  return unit;
}

bool IsNull(const XDataUnit& unit) {
  return (unit.Null & 1) != 0;
}

// A grid of one column: the line number as the key and a text cell as the text; a line of
// another type gives nothing.
void ComposeNumbered(XRowGrider* grider, int32_t number, std::u16string* line) {
  const XDataUnit cell = ReadCell(grider, 0);
  if (!IsNull(cell) && cell.Type != XDT_STRING) return;
  AppendLong(number, line);
  line->push_back(u';');
  if (!IsNull(cell)) AppendText(cell.Value.Text, line);
  line->append(u"\r\n");
}

// Any other grid: column 0 as the key (integer, double truncated, or text), column 1 as the
// text when it is one.
void ComposeKeyed(XRowGrider* grider, std::u16string* line) {
  const XDataUnit key = ReadCell(grider, 0);
  if (!IsNull(key)) {
    switch (key.Type) {
      case XDT_LONG:
        AppendLong(key.Value.Long, line);
        break;
      case XDT_DOUBLE:
        AppendLong(tabrow::TruncateToInt32(key.Value.Double), line);
        break;
      case XDT_STRING:
        AppendText(key.Value.Text, line);
        break;
      default:  // date-times and archives make no key
        break;
    }
  }
  line->push_back(u';');
  const XDataUnit text = ReadCell(grider, 1);
  if (!IsNull(text) && text.Type == XDT_STRING) AppendText(text.Value.Text, line);
  line->append(u"\r\n");
}

// Copies `line` behind the `*length` characters of `buffer` when it fits with a NUL.
bool Append(const std::u16string& line, XCHAR* buffer, int32_t capacity, int32_t* length) {
  if (line.size() >= size_t(capacity - *length)) return false;
  std::memcpy(buffer + *length, line.data(), line.size() * sizeof(XCHAR));
  *length += int32_t(line.size());
  return true;
}

}  // namespace

int32_t MakeDatabase(XRowGrider* grider, XCHAR* buffer, int32_t capacity, int32_t nullLine) {
  if (buffer == nullptr || capacity <= 0) return 0;
  int32_t length = 0;
  int32_t number = 0;
  std::u16string line;
  if (nullLine != 0) {
    Append(kNullLine, buffer, capacity, &length);
    number = 1;
  }
  if (grider != nullptr) {
    const bool numbered = grider->GetColCounter() == 1;
    for (void* current = grider->MoveNextLine(0);
         current != nullptr && capacity - length >= kLineReserve;
         current = grider->MoveNextLine(1)) {
      line.clear();
      if (numbered) {
        ComposeNumbered(grider, number, &line);
      } else {
        ComposeKeyed(grider, &line);
      }
      if (!Append(line, buffer, capacity, &length)) break;
      ++number;
    }
  }
  if (length > 2) length -= 2;  // the last line break
  tabrow::StoreUnit(buffer + length, 0);
  return length;
}

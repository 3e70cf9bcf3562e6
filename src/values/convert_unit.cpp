// Converting a unit in place to another basic type.
#include <cstring>

#include "platform/numbers.h"
#include "platform/text.h"
#include "tabrow/convert.h"
#include "values/convert_forms.h"

namespace {

using tabrow::TypePair;

// Gives back what the unit owned and makes it hold `value` of `type`, with the new size.
void Become(XDataUnit* unit, uint16_t type, uint16_t size, const XUnitValue& value) {
  ClearUnitData(unit);
  unit->Type = type;
  unit->Size = size;
  unit->Value = value;
  unit->Null = 0;
}

XUnitValue BorrowedText(XCHAR* text) {
  XUnitValue value;
  std::memset(&value, 0, sizeof value);
  value.Text = text;
  return value;
}

// An integer, double or date-time written as text into the buffer, which the unit then borrows.
int32_t WriteAsText(XDataUnit* unit, uint16_t size, XCHAR* buffer) {
  if (buffer == nullptr) return 0;
  XCHAR staging[tabrow::kFormRoom];
  tabrow::CutText(buffer, size,
                  tabrow::UnitTextForm(*unit, tabrow::DateJoint::kEscapedSpace, staging));
  Become(unit, XDT_STRING, size, BorrowedText(buffer));
  return 1;
}

// A text read as a number or date-time. The unit takes the new type whether or not the text
// reads; when it does not, the value is zero and the result 0.
int32_t ReadFromText(XDataUnit* unit, uint16_t type, uint16_t size) {
  XUnitValue value;
  std::memset(&value, 0, sizeof value);
  const bool read = tabrow::ReadTextValue(unit->Value.Text, type, &value);
  Become(unit, type, size, value);
  return read ? 1 : 0;
}

// A text that fits `size` stays as it is (1); a longer one is cut into the buffer, which the
// unit then borrows, and the result is 0 to say the text was cut.
int32_t FitText(XDataUnit* unit, uint16_t size, XCHAR* buffer) {
  if (tabrow::TextLength(unit->Value.Text) < size) return 1;
  if (buffer == nullptr) return 0;
  tabrow::CutText(buffer, size, unit->Value.Text);
  Become(unit, XDT_STRING, size, BorrowedText(buffer));
  return 0;
}

}  // namespace

int32_t UnitTransfer(XDataUnit* unit, uint16_t type, uint16_t size, XCHAR* buffer) {
  if (unit == nullptr) return 0;
  if (unit->Null & 1) {
    ClearUnitData(unit);
    unit->Type = type;
    unit->Size = size;
    return 1;
  }
  switch (TypePair(unit->Type, type)) {
    case TypePair(XDT_LONG, XDT_LONG):
    case TypePair(XDT_DOUBLE, XDT_DOUBLE):
    case TypePair(XDT_DATETIME, XDT_DATETIME):
      return 1;
    case TypePair(XDT_LONG, XDT_DOUBLE): {
      XUnitValue value;
      value.Double = unit->Value.Long;
      Become(unit, type, size, value);
      return 1;
    }
    case TypePair(XDT_DOUBLE, XDT_LONG): {
      XUnitValue value;
      std::memset(&value, 0, sizeof value);
      value.Long = tabrow::TruncateToInt32(unit->Value.Double);
      Become(unit, type, size, value);
      return 1;
    }
    case TypePair(XDT_LONG, XDT_STRING):
    case TypePair(XDT_DOUBLE, XDT_STRING):
    case TypePair(XDT_DATETIME, XDT_STRING):
      return WriteAsText(unit, size, buffer);
    case TypePair(XDT_STRING, XDT_LONG):
    case TypePair(XDT_STRING, XDT_DOUBLE):
    case TypePair(XDT_STRING, XDT_DATETIME):
      return ReadFromText(unit, type, size);
    case TypePair(XDT_STRING, XDT_STRING):
      return FitText(unit, size, buffer);
    default:
      return 0;
  }
}

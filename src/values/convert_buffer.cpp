// A unit's value written into a caller's plain buffer of a basic type.
#include <cstring>

#include "platform/numbers.h"
#include "tabrow/convert.h"
#include "values/convert_forms.h"

namespace {

using tabrow::TypePair;

template <typename T>
int32_t Put(void* buffer, const T& value) {
  std::memcpy(buffer, &value, sizeof value);
  return 1;
}

int32_t PutText(void* buffer, uint16_t size, const XDataUnit& unit) {
  XCHAR staging[tabrow::kFormRoom];
  const XCHAR* text = tabrow::UnitTextForm(unit, tabrow::DateJoint::kEscapedSpace, staging);
  if (text == nullptr) return 0;
  tabrow::CutText(static_cast<XCHAR*>(buffer), size, text);
  return 1;
}

// A text unit read as a number or date-time; the buffer is written only when the text reads.
int32_t PutParsed(void* buffer, uint16_t type, const XDataUnit& unit) {
  XUnitValue value;
  if (!tabrow::ReadTextValue(unit.Value.Text, type, &value)) return 0;
  switch (type) {
    case XDT_LONG:
      return Put(buffer, value.Long);
    case XDT_DOUBLE:
      return Put(buffer, value.Double);
    default:
      return Put(buffer, value.Time);
  }
}

}  // namespace

int32_t GetUnitBuffer(void* buffer, uint16_t type, uint16_t size, const XDataUnit* unit) {
  if (buffer == nullptr || unit == nullptr) return 0;
  if (unit->Null & 1) {
    std::memset(buffer, 0, size);
    return 1;
  }
  if (type == XDT_STRING) return PutText(buffer, size, *unit);
  switch (TypePair(unit->Type, type)) {
    case TypePair(XDT_LONG, XDT_LONG):
      return Put(buffer, unit->Value.Long);
    case TypePair(XDT_LONG, XDT_DOUBLE):
      return Put(buffer, static_cast<double>(unit->Value.Long));
    case TypePair(XDT_STRING, XDT_LONG):
    case TypePair(XDT_STRING, XDT_DOUBLE):
    case TypePair(XDT_STRING, XDT_DATETIME):
      return PutParsed(buffer, type, *unit);
    case TypePair(XDT_DOUBLE, XDT_LONG):
      return Put(buffer, tabrow::TruncateToInt32(unit->Value.Double));
    case TypePair(XDT_DOUBLE, XDT_DOUBLE):
      return Put(buffer, unit->Value.Double);
    case TypePair(XDT_DATETIME, XDT_DATETIME):
      return Put(buffer, unit->Value.Time);
    default:
      return 0;
  }
}

// Units to and from text.
#include "tabrow/convert.h"
#include "values/convert_forms.h"

int32_t DataTransfer(const XCHAR* text, XDataUnit* unit, int32_t copy) {
  if (unit == nullptr) return 0;
  ClearUnitData(unit);
  switch (unit->Type) {
    case XDT_STRING:
      SetUnitValue(unit, text, copy);
      return 1;
    case XDT_LONG:
    case XDT_DOUBLE:
    case XDT_DATETIME:
      if (!tabrow::ReadTextValue(text, unit->Type, &unit->Value)) return 0;
      unit->Null = 0;
      return 1;
    default:
      return 0;
  }
}

uint32_t DataTransfer(const XDataUnit* unit, XCHAR* buffer, uint32_t capacity) {
  if (buffer == nullptr) return 0;
  XCHAR staging[tabrow::kFormRoom];
  const XCHAR* text = nullptr;  // written as an empty text
  if (unit != nullptr && !(unit->Null & 1)) {
    text = tabrow::UnitTextForm(*unit, tabrow::DateJoint::kSpace, staging);
  }
  return tabrow::CutText(buffer, capacity, text);
}

// Writing a unit's value as text, and reading a value of a basic type from text.
#include "values/convert_forms.h"

#include "platform/numbers.h"
#include "platform/text.h"

namespace tabrow {

namespace {

int32_t WriteDateTime(const DATETIME& time, DateJoint joint, XCHAR* out) {
  const char* format = joint == DateJoint::kEscapedSpace ? "%04hd-%02hd-%02hd%%20%02hd:%02hd:%02hd"
                                                         : "%04hd-%02hd-%02hd %02hd:%02hd:%02hd";
  return FormatText(out, format,
                    {int32_t{time.Year}, int32_t{time.Month}, int32_t{time.Day}, int32_t{time.Hour},
                     int32_t{time.Minute}, int32_t{time.Second}});
}

}  // namespace

const XCHAR* UnitTextForm(const XDataUnit& unit, DateJoint joint, XCHAR (&staging)[kFormRoom]) {
  switch (unit.Type) {
    case XDT_LONG:
      FormatText(staging, "%ld", {unit.Value.Long});
      return staging;
    case XDT_STRING:
      return unit.Value.Text != nullptr ? unit.Value.Text : u"";
    case XDT_DOUBLE:
      FormatFloater(unit.Value.Double, staging);
      return staging;
    case XDT_DATETIME:
      WriteDateTime(unit.Value.Time, joint, staging);
      return staging;
    default:
      return nullptr;
  }
}

uint32_t CutText(XCHAR* out, uint32_t size, const XCHAR* text) {
  if (size == 0) return 0;
  uint32_t length = 0;
  if (text != nullptr) {
    for (XCHAR c; length < size - 1 && (c = LoadUnit(text + length)) != 0; ++length) {
      StoreUnit(out + length, c);
    }
  }
  StoreUnit(out + length, 0);
  return length;
}

bool ReadTextValue(const XCHAR* text, uint16_t type, XUnitValue* value) {
  if (text == nullptr) return false;
  switch (type) {
    case XDT_LONG:
      return ReadLong(text, &value->Long);
    case XDT_DOUBLE:
      return ReadDouble(text, &value->Double);
    case XDT_DATETIME: {
      DATETIME time;
      if (!StringToTime(text, nullptr, time)) return false;
      value->Time = time;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tabrow

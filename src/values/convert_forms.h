// The text forms the conversions write and read. Internal to the value conversions.
#ifndef TABROW_VALUES_CONVERT_FORMS_H_
#define TABROW_VALUES_CONVERT_FORMS_H_

#include "platform/format.h"
#include "tabrow/dataunit.h"

namespace tabrow {

// Room for any number or date-time form and its NUL (the longest double takes 319 units).
constexpr int32_t kFormRoom = kFixed8Room;

// A (from type, to type) pair as one switch label.
constexpr uint32_t TypePair(uint32_t from, uint32_t to) {
  return from << 16 | to;
}

// How a date-time form separates the date from the time.
enum class DateJoint { kEscapedSpace, kSpace };

// The text form of a non-null unit of type 1 to 4: a text unit's own text (empty when its pointer
// is null), else the number or date-time written into `staging`. Null for any other type.
const XCHAR* UnitTextForm(const XDataUnit& unit, DateJoint joint, XCHAR (&staging)[kFormRoom]);

// Copies at most size - 1 units of `text` (null reads as empty) and a NUL into `out`; writes
// nothing when size is 0. Returns the units copied, the NUL not counted.
uint32_t CutText(XCHAR* out, uint32_t size, const XCHAR* text);

// Reads `text` (null reads nothing) as a value of type 1 ("%ld"), 3 ("%lf") or 4 (StringToTime
// with the default mask) into *value. Returns false, *value untouched, when it does not read or
// for any other type.
bool ReadTextValue(const XCHAR* text, uint16_t type, XUnitValue* value);

}  // namespace tabrow

#endif  // TABROW_VALUES_CONVERT_FORMS_H_

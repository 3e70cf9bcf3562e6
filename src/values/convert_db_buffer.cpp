// A unit's value written into and read from database record buffers, whose date-times are
// 16-byte DbTimestamps and whose alternative text type 14 is a plain text.
#include <cstring>

#include "tabrow/convert.h"

int32_t GetUnitDbBuffer(void* buffer, uint16_t type, uint16_t size, const XDataUnit* unit) {
  if (buffer == nullptr || unit == nullptr) return 0;
  if (type == XDT_ALTSTRING) type = XDT_STRING;
  if (type != XDT_DATETIME || (unit->Null & 1)) return GetUnitBuffer(buffer, type, size, unit);
  // A date-time unit, or a text parsed into a temporary, so a failed parse writes nothing.
  DATETIME time;
  if (!GetUnitBuffer(&time, XDT_DATETIME, sizeof time, unit)) return 0;
  DbTimestamp stamp;
  TimeTransfer(&stamp, &time);
  std::memcpy(buffer, &stamp, sizeof stamp);
  return 1;
}

void SetUnitDbBuffer(XDataUnit* unit, const void* buffer) {
  if (unit == nullptr) return;
  if (unit->Type != XDT_DATETIME) {
    SetUnitBuffer(unit, buffer);
    return;
  }
  ClearUnitData(unit);
  if (buffer == nullptr) return;
  DbTimestamp stamp;
  std::memcpy(&stamp, buffer, sizeof stamp);
  TimeTransfer(&unit->Value.Time, &stamp);
  unit->Null = 0;
}

// Units to and from VARIANT records. Date-times become OLE dates: days since 1899-12-30
// 00:00:00 with the time of day as the fraction, counted linearly on both sides of that day, so
// 1899-12-29 06:00:00 is -0.75 and every date-time of the calendar's range round-trips.
#include "platform/calendar.h"
#include "tabrow/convert.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsPerDay = 86400;
// Days from 1601-01-01, where the calendar's counts start, to 1899-12-30.
constexpr int64_t kDaysTo1899 = 109205;
constexpr double kDayPerSecond = 1.1574074074074073e-05;  // 1 / 86400
// Seconds since 1601 from which the tick count no longer fits the calendar's 63 bits.
constexpr double kSecondsLimit = 922337203685.0;
constexpr uint16_t kLastYear = 30827;

double ToOleDate(const DATETIME& time) {
  tabrow::SystemTime parts{};
  parts.year = time.Year;
  parts.month = static_cast<uint16_t>(time.Month);
  parts.day = static_cast<uint16_t>(time.Day);
  parts.hour = static_cast<uint16_t>(time.Hour);
  parts.minute = static_cast<uint16_t>(time.Minute);
  parts.second = static_cast<uint16_t>(time.Second);
  uint64_t count = 0;
  if (!tabrow::SystemTimeToFileTime(parts, &count)) count = 0;  // counts from 1601-01-01
  const auto seconds = static_cast<int64_t>(count / kTicksPerSecond);
  const int64_t days = seconds / kSecondsPerDay - kDaysTo1899;
  return static_cast<double>(days) + static_cast<double>(seconds % kSecondsPerDay) * kDayPerSecond;
}

// The OLE date rounded to the nearest second; NaN and dates outside the years 1601 to 30827
// give 1601-01-01 00:00:00.
DATETIME FromOleDate(double date) {
  const double seconds = (date + static_cast<double>(kDaysTo1899)) * kSecondsPerDay + 0.5;
  tabrow::SystemTime parts{};
  const bool inRange = seconds >= 0.0 && seconds < kSecondsLimit;
  if (!inRange ||
      !tabrow::FileTimeToSystemTime(static_cast<uint64_t>(seconds) * kTicksPerSecond, &parts) ||
      parts.year > kLastYear) {
    parts = tabrow::SystemTime{};
    parts.year = 1601;
    parts.month = 1;
    parts.day = 1;
  }
  DATETIME time;
  time.Year = parts.year;
  time.Month = static_cast<int8_t>(parts.month);
  time.Day = static_cast<int8_t>(parts.day);
  time.Hour = static_cast<int8_t>(parts.hour);
  time.Minute = static_cast<int8_t>(parts.minute);
  time.Second = static_cast<int8_t>(parts.second);
  time.Reserved = 0;
  return time;
}

}  // namespace

int32_t DataTransfer(const XDataUnit* unit, VARIANT* variant) {
  if (unit == nullptr || variant == nullptr) return 0;
  variant->vt = VT_EMPTY;
  if (unit->Null & 1) return 1;
  switch (unit->Type) {
    case XDT_LONG:
      variant->lVal = unit->Value.Long;
      variant->vt = VT_I4;
      return 1;
    case XDT_STRING: {
      BSTR text = SysAllocString(unit->Value.Text != nullptr ? unit->Value.Text : u"");
      if (text == nullptr) return 0;
      variant->bstrVal = text;
      variant->vt = VT_BSTR;
      return 1;
    }
    case XDT_DOUBLE:
      variant->dblVal = unit->Value.Double;
      variant->vt = VT_R8;
      return 1;
    case XDT_DATETIME:
      variant->date = ToOleDate(unit->Value.Time);
      variant->vt = VT_DATE;
      return 1;
    default:
      return 0;
  }
}

int32_t DataTransfer(const VARIANT* variant, XDataUnit* unit) {
  if (variant == nullptr || unit == nullptr) return 0;
  ClearUnitData(unit);
  switch (variant->vt) {
    case VT_EMPTY:
    case VT_NULL:
      return 1;
    case VT_I2:
      SetUnitValue(unit, int32_t{variant->iVal});
      return 1;
    case VT_UI2:
      SetUnitValue(unit, int32_t{variant->uiVal});
      return 1;
    case VT_I4:
    case VT_INT:
      SetUnitValue(unit, variant->lVal);
      return 1;
    case VT_UI4:
    case VT_UINT:
      SetUnitValue(unit, static_cast<int32_t>(variant->ulVal));
      return 1;
    case VT_BOOL:
      SetUnitValue(unit, int32_t{variant->boolVal != 0});
      return 1;
    case VT_R4:
      SetUnitValue(unit, double{variant->fltVal});
      return 1;
    case VT_R8:
      SetUnitValue(unit, variant->dblVal);
      return 1;
    case VT_DATE:
      SetUnitValue(unit, FromOleDate(variant->date));
      return 1;
    case VT_BSTR:
      unit->Type = XDT_STRING;  // a null string leaves the unit null, but of type 2
      SetUnitValue(unit, variant->bstrVal, 1);
      return 1;
    default:
      return 0;
  }
}

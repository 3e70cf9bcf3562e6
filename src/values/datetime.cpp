// Comparing date-times, calendar arithmetic, and the database timestamp record.
#include <cstring>

#include "platform/calendar.h"
#include "platform/text.h"
#include "tabrow/datetime.h"

namespace {

int32_t Order(int32_t a, int32_t b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

bool IsSpace(XCHAR c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool IsDigit(XCHAR c) {
  return c >= u'0' && c <= u'9';
}

// Reads one "%<width>hd" number as the C library's formatted input does: white space is passed
// over, then an optional sign and digits, the sign counting toward the width. Returns false
// when no digit follows.
bool ScanNumber(const XCHAR*& text, int32_t width, int32_t* value) {
  while (IsSpace(tabrow::LoadUnit(text))) ++text;
  bool negative = false;
  const XCHAR sign = tabrow::LoadUnit(text);
  if (sign == u'-' || sign == u'+') {
    negative = sign == u'-';
    ++text;
    --width;
  }
  int32_t number = 0;
  int32_t digits = 0;
  for (XCHAR c; digits < width && IsDigit(c = tabrow::LoadUnit(text)); ++digits, ++text) {
    number = number * 10 + (c - u'0');
  }
  *value = negative ? -number : number;
  return digits > 0;
}

// Reads "%04hd-%02hd-%02hd %02hd:%02hd:%02hd" into `fields`, stopping at the first number or
// literal that does not match; the fields not reached stay as they are.
void ScanDateTime(const XCHAR* text, int32_t fields[6]) {
  static constexpr XCHAR kSeparators[] = u"-- ::";
  for (int i = 0; i < 6; ++i) {
    if (!ScanNumber(text, i == 0 ? 4 : 2, &fields[i]) || i == 5) return;
    const XCHAR separator = kSeparators[i];
    if (separator == u' ') continue;  // matches any white space, which the number skips anyway
    if (tabrow::LoadUnit(text) != separator) return;
    ++text;
  }
}

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void SetMonth(DATETIME* time, int64_t month) {
  const int64_t years = FloorDiv(month - 1, 12);
  time->Month = static_cast<int8_t>(month - 1 - years * 12 + 1);
  time->Year = static_cast<uint16_t>(time->Year + static_cast<uint32_t>(years));
}

void SetFirstMoment(tabrow::SystemTime* time) {
  *time = tabrow::SystemTime{};
  time->year = 1601;
  time->month = 1;
  time->day = 1;
}

// Moves the record by `seconds` through the calendar. A record the calendar refuses counts from
// 1601-01-01 00:00:00, and so does a result outside the calendar's years.
void AddSeconds(DATETIME* time, int64_t seconds) {
  constexpr int64_t kTicksPerSecond = 10000000;
  tabrow::SystemTime parts{};
  parts.year = time->Year;
  parts.month = static_cast<uint16_t>(time->Month);
  parts.day = static_cast<uint16_t>(time->Day);
  parts.hour = static_cast<uint16_t>(time->Hour);
  parts.minute = static_cast<uint16_t>(time->Minute);
  parts.second = static_cast<uint16_t>(time->Second);
  uint64_t start = 0;
  if (!tabrow::SystemTimeToFileTime(parts, &start)) start = 0;
  int64_t count = 0;
  if (__builtin_add_overflow(static_cast<int64_t>(start), seconds * kTicksPerSecond, &count) ||
      count < 0 || !tabrow::FileTimeToSystemTime(static_cast<uint64_t>(count), &parts) ||
      parts.year > 30827) {
    SetFirstMoment(&parts);
  }
  time->Year = parts.year;
  time->Month = static_cast<int8_t>(parts.month);
  time->Day = static_cast<int8_t>(parts.day);
  time->Hour = static_cast<int8_t>(parts.hour);
  time->Minute = static_cast<int8_t>(parts.minute);
  time->Second = static_cast<int8_t>(parts.second);
}

}  // namespace

int32_t CompareTime(const DATETIME& a, const DATETIME& b) {
  const int32_t left[] = {a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second, int8_t(a.Reserved)};
  const int32_t right[] = {b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second, int8_t(b.Reserved)};
  for (int i = 0; i < 7; ++i) {
    if (left[i] != right[i]) return Order(left[i], right[i]);
  }
  return 0;
}

int32_t CompareTime(const DATETIME& a, const XCHAR* text) {
  int32_t read[6] = {};
  if (text != nullptr) ScanDateTime(text, read);
  const int32_t own[] = {a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second};
  for (int i = 0; i < 6; ++i) {
    if (own[i] != read[i]) return Order(own[i], read[i]);
  }
  return 0;
}

void AddDateTime(DATETIME* time, int32_t part, int32_t value) {
  if (time == nullptr) return;
  const int32_t unit = part & 15;
  const bool set = part >= XDP_SET;
  if (unit == XDP_YEAR) {
    const uint32_t base = set ? 0 : time->Year;
    time->Year = static_cast<uint16_t>(base + static_cast<uint32_t>(value));
  } else if (unit == XDP_MONTH) {
    SetMonth(time, set ? int64_t{value} : int64_t{time->Month} + value);
  } else if (set) {
    int8_t* const fields[] = {&time->Day, &time->Hour, &time->Minute, &time->Second};
    if (unit <= XDP_SECOND) *fields[unit - XDP_DAY] = static_cast<int8_t>(value);
  } else {
    // The offset is a 32-bit product that wraps, as the arithmetic always has.
    static constexpr uint32_t kSeconds[16] = {0, 0, 86400, 3600, 60, 1};
    const auto offset = static_cast<int32_t>(static_cast<uint32_t>(value) * kSeconds[unit]);
    AddSeconds(time, offset);
  }
}

void TimeTransfer(DATETIME* time, const DbTimestamp* stamp) {
  if (time == nullptr || stamp == nullptr) return;
  DbTimestamp in;
  std::memcpy(&in, stamp, sizeof in);
  DATETIME out;
  out.Year = static_cast<uint16_t>(in.year);
  out.Month = static_cast<int8_t>(in.month);
  out.Day = static_cast<int8_t>(in.day);
  out.Hour = static_cast<int8_t>(in.hour);
  out.Minute = static_cast<int8_t>(in.minute);
  out.Second = static_cast<int8_t>(in.second);
  out.Reserved = 0;
  std::memcpy(time, &out, sizeof out);
}

void TimeTransfer(DbTimestamp* stamp, const DATETIME* time) {
  if (stamp == nullptr || time == nullptr) return;
  DATETIME in;
  std::memcpy(&in, time, sizeof in);
  DbTimestamp out;
  out.year = static_cast<int16_t>(in.Year);
  out.month = in.Month;
  out.day = in.Day;
  out.hour = in.Hour;
  out.minute = in.Minute;
  out.second = in.Second;
  out.fraction = 0;
  std::memcpy(stamp, &out, sizeof out);
}

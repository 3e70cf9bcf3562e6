#include "platform/calendar.h"

namespace tabrow {

namespace {

constexpr uint64_t kTicksPerMillisecond = 10000;
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kTicksPerDay = kTicksPerSecond * 86400;
constexpr uint64_t kCountLimit = uint64_t(1) << 63;

bool IsLeapYear(int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int32_t DaysInMonth(int64_t year, int32_t month) {
  static const int8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 0000-03-01 of a proleptic Gregorian date (year >= 1); years start in March so that
// the leap day ends them.
constexpr int64_t DaysFromCivil(int64_t year, int32_t month, int32_t day) {
  if (month <= 2) --year;
  int64_t era = year / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}

constexpr int64_t kDaysTo1601 = DaysFromCivil(1601, 1, 1);

// The inverse of DaysFromCivil for days >= 0.
void CivilFromDays(int64_t days, int64_t* year, int32_t* month, int32_t* day) {
  int64_t era = days / 146097;
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 is March
  *day = int32_t(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  *month = int32_t(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  *year = yearOfEra + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

bool SystemTimeToFileTime(const SystemTime& time, uint64_t* count) {
  if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12) return false;
  if (time.day < 1 || time.day > DaysInMonth(time.year, time.month)) return false;
  if (time.hour > 23 || time.minute > 59 || time.second > 59 || time.milliseconds > 999) {
    return false;
  }
  uint64_t days = uint64_t(DaysFromCivil(time.year, time.month, time.day) - kDaysTo1601);
  uint64_t seconds = (uint64_t(time.hour) * 60 + time.minute) * 60 + time.second;
  *count =
      days * kTicksPerDay + seconds * kTicksPerSecond + time.milliseconds * kTicksPerMillisecond;
  return true;
}

bool FileTimeToSystemTime(uint64_t count, SystemTime* time) {
  if (count >= kCountLimit) return false;
  uint64_t days = count / kTicksPerDay;
  uint64_t ticks = count % kTicksPerDay;
  int64_t year;
  int32_t month, day;
  CivilFromDays(int64_t(days) + kDaysTo1601, &year, &month, &day);
  uint64_t seconds = ticks / kTicksPerSecond;
  time->year = uint16_t(year);
  time->month = uint16_t(month);
  time->dayOfWeek = uint16_t((days + 1) % 7);  // 1601-01-01 was a Monday
  time->day = uint16_t(day);
  time->hour = uint16_t(seconds / 3600);
  time->minute = uint16_t(seconds / 60 % 60);
  time->second = uint16_t(seconds % 60);
  time->milliseconds = uint16_t(ticks % kTicksPerSecond / kTicksPerMillisecond);
  return true;
}

}  // namespace tabrow

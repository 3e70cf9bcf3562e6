// Calendar arithmetic in 100-nanosecond counts since 1601-01-01 00:00:00, proleptic Gregorian.
#ifndef TABROW_PLATFORM_CALENDAR_H_
#define TABROW_PLATFORM_CALENDAR_H_

#include "tabrow/base.h"

namespace tabrow {

struct SystemTime {
  uint16_t year;
  uint16_t month;      // 1 to 12
  uint16_t dayOfWeek;  // 0 Sunday to 6; ignored on input
  uint16_t day;
  uint16_t hour;
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};

// Returns false for what the calendar refuses: a year before 1601 or after 30827, a month
// outside 1..12, a day the month lacks, an hour above 23, a minute or second above 59,
// milliseconds above 999.
bool SystemTimeToFileTime(const SystemTime& time, uint64_t* count);
// Returns false for counts at or beyond 0x8000000000000000.
bool FileTimeToSystemTime(uint64_t count, SystemTime* time);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_CALENDAR_H_

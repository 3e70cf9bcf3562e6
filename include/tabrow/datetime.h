// Tabrow: the DATETIME value, its arithmetic, its two text forms, and number text.
//
// Output buffers are the caller's; no capacity is passed, so each function states how large its
// buffer must be. All texts are NUL-terminated UTF-16.
#ifndef TABROW_DATETIME_H_
#define TABROW_DATETIME_H_

#include "tabrow/base.h"

// A date and time of day to the second. Conversions that build a whole record write Reserved 0.
struct DATETIME {
  uint16_t Year;
  int8_t Month;   // 1 to 12
  int8_t Day;     // 1 to 31
  int8_t Hour;    // 0 to 23
  int8_t Minute;  // 0 to 59
  int8_t Second;  // 0 to 59
  uint8_t Reserved;
};
static_assert(sizeof(DATETIME) == 8, "DATETIME is an 8-byte record");

// The date-time record of database buffers.
struct DbTimestamp {
  int16_t year;
  int16_t month;
  int16_t day;
  int16_t hour;
  int16_t minute;
  int16_t second;
  uint32_t fraction;
};
static_assert(sizeof(DbTimestamp) == 16, "DbTimestamp is a 16-byte record");

// The part argument of AddDateTime: a unit, plus XDP_SET to set instead of add.
constexpr int32_t XDP_YEAR = 0;
constexpr int32_t XDP_MONTH = 1;
constexpr int32_t XDP_DAY = 2;
constexpr int32_t XDP_HOUR = 3;
constexpr int32_t XDP_MINUTE = 4;
constexpr int32_t XDP_SECOND = 5;
constexpr int32_t XDP_SET = 16;

// 1 if `a` is later than `b`, -1 if earlier, 0 if all eight bytes are equal. Year compares
// unsigned, then month, day, hour, minute, second and Reserved as signed bytes.
TABROW_API int32_t CompareTime(const DATETIME& a, const DATETIME& b);
// The same against a text read as "%04hd-%02hd-%02hd %02hd:%02hd:%02hd" (fields the text lacks
// are 0); Reserved takes no part. A null text reads as empty.
TABROW_API int32_t CompareTime(const DATETIME& a, const XCHAR* text);

// Adds `value` to one field (part 0 to 15: year, month, day, hour, minute, second by part modulo
// 16) or sets it (part 16 and above). Months carry into years; days, hours, minutes and seconds
// are added through the calendar, and a record the calendar refuses counts from 1601-01-01.
TABROW_API void AddDateTime(DATETIME* time, int32_t part, int32_t value);

// Writes `time` through a mask: each run of '$' is the next field (year "%04hd", the others
// "%02hd"); a mask not beginning with "$$$$" starts at the hour; null is "$$$$-$$-$$ $$:$$:$$".
// `out` must hold the mask's length plus 37 units. Returns the characters written.
TABROW_API int32_t TimeToString(const DATETIME& time, const XCHAR* mask, XCHAR* out);
// Reads `text` through a mask (null: the default mask). Returns 1 on success, 0 when the year
// reads as 0 or no field was passed; the fields read so far stay in `time`.
TABROW_API int32_t StringToTime(const XCHAR* text, const XCHAR* mask, DATETIME& time);

// Writes `time` through a token format (%Y %y %M %D %d %H %h %m %S %s %P %p %%; null is
// "%Y-%M-%d %H:%m:%s"). `out` must hold 3 x the format's length + 1 units. Returns the
// characters written.
TABROW_API int32_t TimeToStringEx(const DATETIME& time, const XCHAR* format, XCHAR* out);
// Reads `text` through a token format (null: the default). Returns 1 on success, 0 when a
// numeric token finds no digit or %p finds neither AM nor PM; the fields read so far stay.
TABROW_API int32_t StringToTimeEx(const XCHAR* text, const XCHAR* format, DATETIME& time);

// The double that starts `text` (decimal, optional fraction and exponent), or 0.0 when none does.
TABROW_API double ParseFloater(const XCHAR* text);
// Writes `value` with eight decimals, correctly rounded, then trims trailing zeros down to one
// after the point (2.5, 3.0); NaN and infinities give "nan", "inf", "-inf". `out` must hold 330
// units. Returns the characters written.
TABROW_API int32_t FormatFloater(double value, XCHAR* out);

// Database timestamp to DATETIME: the year whole, the other fields as their low byte, Reserved 0.
TABROW_API void TimeTransfer(DATETIME* time, const DbTimestamp* stamp);
// DATETIME to database timestamp: the fields sign-extended to 16 bits, fraction 0.
TABROW_API void TimeTransfer(DbTimestamp* stamp, const DATETIME* time);

#endif  // TABROW_DATETIME_H_

// Tabrow: the DATETIME value, its arithmetic, its two text forms, and number text.
//
// Output buffers are the caller's; no capacity is passed, so each function states how large its
// buffer must be. All texts are NUL-terminated UTF-16 and may sit at odd addresses. A null input
// text reads as empty; a null record pointer or a null output buffer makes the call do nothing
// (a writer then returns 0).
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

// Adds `value` to one field or sets it. The field is part modulo 16 (0 year, 1 month, 2 day,
// 3 hour, 4 minute, 5 second); part 16 and above sets, below 16 (negative too) adds.
//  - Year: 16-bit wrap-around. Month, either mode: 13 is January of the next year, 0 December of
//    the year before.
//  - Setting a day, hour, minute or second stores the value's low byte unchecked; setting fields
//    6 to 15 does nothing.
//  - Adding days, hours, minutes or seconds (fields 6 to 15 add nothing) goes through the
//    calendar: the offset in seconds is the 32-bit product of value and the unit, wrapping
//    around. A record the calendar refuses counts from 1601-01-01 00:00:00, and a result before
//    that or after year 30827 becomes 1601-01-01 00:00:00. Reserved is left alone.
TABROW_API void AddDateTime(DATETIME* time, int32_t part, int32_t value);

// Writes `time` through a mask: each run of '$' is the next field, in the order year, month, day,
// hour, minute, second (year as a signed 16-bit "%04hd", the others as signed bytes "%02hd");
// runs past the seconds write nothing; other characters are copied. A mask not beginning with
// "$$$$" starts at the hour; null is "$$$$-$$-$$ $$:$$:$$". `out` must hold the mask's length
// plus 18 units (32 for the null mask). Returns the characters written.
TABROW_API int32_t TimeToString(const DATETIME& time, const XCHAR* mask, XCHAR* out);
// Reads `text` through a mask (null: the default mask) into a zeroed record with month and day 1.
// A mask not beginning with "$$$$" is time-only: the date is 1900-01-01 and the first run is the
// hour. Each mask literal passes over one text unit unchecked; each '$' takes one text unit, the
// digits among them making the field's number. A year below 1900 becomes 2000; month and day
// are folded into range (0 counts as 1; Feb 30 of 2023 is day 2), hours modulo 24, minutes and
// seconds modulo 60. Returns 1 on success (always for a time-only mask), 0 when the year reads
// as 0 or the text ended before the first field; the fields read so far stay in `time`.
TABROW_API int32_t StringToTime(const XCHAR* text, const XCHAR* mask, DATETIME& time);

// Writes `time` through a token format (%Y %y %M %D %d %H %h %m %S %s %P %p %%; null is
// "%Y-%M-%d %H:%m:%s"). '%' before any other character writes that character; a '%' at the
// end is dropped. `out` must hold 3 x the format's length + 1 units (32 for the null format).
// Returns the characters written.
TABROW_API int32_t TimeToStringEx(const DATETIME& time, const XCHAR* format, XCHAR* out);
// Reads `text` through a token format (null: the default) into a zeroed record with month and
// day 1. Numeric tokens read 1 to 4 digits (%Y) or 1 to 2, unchecked; %y is 2000 + value; %h
// and %p combine into a 24-hour clock in either order. Literals, "%%" and unknown tokens pass
// over one text unit unchecked. Returns 1 on success, 0 when a numeric token finds no digit or
// %p finds neither AM nor PM; the fields read so far stay.
TABROW_API int32_t StringToTimeEx(const XCHAR* text, const XCHAR* format, DATETIME& time);

// The double that starts `text` (decimal, optional fraction and exponent), or 0.0 when none does.
TABROW_API double ParseFloater(const XCHAR* text);
// Writes `value` with eight decimals, correctly rounded, then trims trailing zeros down to one
// after the point (2.5, 3.0); NaN and infinities give "nan", "inf", "-inf". `out` must hold 330
// units. Returns the characters written.
TABROW_API int32_t FormatFloater(double value, XCHAR* out);

// Database timestamp to DATETIME: the year whole, the other fields as their low byte, Reserved 0.
// In both directions the records may sit at any address (inside a database record buffer).
TABROW_API void TimeTransfer(DATETIME* time, const DbTimestamp* stamp);
// DATETIME to database timestamp: the fields sign-extended to 16 bits, fraction 0.
TABROW_API void TimeTransfer(DbTimestamp* stamp, const DATETIME* time);

#endif  // TABROW_DATETIME_H_

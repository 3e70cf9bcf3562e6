// The two text forms of DATETIME: masks of '$' runs and '%' token formats.
//
// These run for every date a grid or a row prints or reads, so the fields are written and read
// by the small digit helpers below rather than through the general formatter.
#include "values/time_text.h"

#include <cstring>

#include "platform/text.h"

namespace {

using tabrow::LoadUnit;
using tabrow::StoreUnit;

constexpr XCHAR kDefaultMask[] = u"$$$$-$$-$$ $$:$$:$$";
constexpr XCHAR kDefaultFormat[] = u"%Y-%M-%d %H:%m:%s";

// Field positions of a mask, in their fixed order.
enum Field { kYear, kMonth, kDay, kHour, kMinute, kSecond, kFieldCount };

bool IsDigit(XCHAR c) {
  return c >= u'0' && c <= u'9';
}

inline uint32_t TextUnit(const XCHAR* p) {
  return LoadUnit(p);
}
inline uint32_t TextUnit(const char* p) {
  return static_cast<unsigned char>(*p);
}

// Writes `value` as "%0<width>hd" would: zero padded to `width` units, a minus sign counting
// toward the width. `value` is a 16-bit quantity.
XCHAR* WriteNumber(XCHAR* out, int32_t value, int32_t width) {
  if (width == 2 && value >= 0 && value < 100) {
    StoreUnit(out, static_cast<XCHAR>(u'0' + value / 10));
    StoreUnit(out + 1, static_cast<XCHAR>(u'0' + value % 10));
    return out + 2;
  }
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    StoreUnit(out++, u'-');
    magnitude = 0u - magnitude;
    --width;
  }
  XCHAR digits[10];
  int32_t count = 0;
  do {
    digits[count++] = static_cast<XCHAR>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  for (; width > count; --width) StoreUnit(out++, u'0');
  while (count > 0) StoreUnit(out++, digits[--count]);
  return out;
}

// The values a mask writes, year first, each as printf's "%hd" sees it.
void FieldValues(const DATETIME& time, int32_t values[kFieldCount]) {
  values[kYear] = static_cast<int16_t>(time.Year);
  values[kMonth] = time.Month;
  values[kDay] = time.Day;
  values[kHour] = time.Hour;
  values[kMinute] = time.Minute;
  values[kSecond] = time.Second;
}

// A mask that does not begin with "$$$$" has no date part: its first run is the hour.
bool HasDate(const XCHAR* mask) {
  for (int i = 0; i < 4; ++i) {
    if (LoadUnit(mask + i) != u'$') return false;
  }
  return true;
}

int32_t DaysInMonth(int32_t month, int32_t year) {
  static constexpr int8_t kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month != 2) return kDays[month];
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return leap ? 29 : 28;
}

// Stores a number read through a mask into its field, folding it into the field's range.
// Returns false for a year of 0.
inline bool StoreMaskField(DATETIME& time, int32_t field, uint32_t value) {
  const uint32_t from_one = value == 0 ? 0 : value - 1;  // month and day: 0 counts as 1
  switch (field) {
    case kYear:
      if (value == 0) return false;
      time.Year = static_cast<uint16_t>(value < 1900 ? 2000 : value);
      break;
    case kMonth:
      time.Month = static_cast<int8_t>(from_one % 12 + 1);
      break;
    case kDay: {
      const uint32_t days = static_cast<uint32_t>(DaysInMonth(time.Month, time.Year));
      time.Day = static_cast<int8_t>((from_one < days ? from_one : from_one % days) + 1);
      break;
    }
    case kHour:
      time.Hour = static_cast<int8_t>(value % 24);
      break;
    case kMinute:
      time.Minute = static_cast<int8_t>(value % 60);
      break;
    case kSecond:
      time.Second = static_cast<int8_t>(value % 60);
      break;
  }
  return true;
}

enum class Meridiem { kNone, kAm, kPm };

void ApplyMeridiem(DATETIME& time, Meridiem meridiem) {
  if (meridiem == Meridiem::kAm && time.Hour == 12) {
    time.Hour = 0;
  } else if (meridiem == Meridiem::kPm && time.Hour < 12) {
    time.Hour = static_cast<int8_t>(time.Hour + 12);
  }
}

// Reads 1 to `limit` digits; false when the text does not begin with one.
bool ReadDigits(const XCHAR*& text, int32_t limit, int32_t* value) {
  int32_t number = 0;
  int32_t count = 0;
  for (XCHAR c; count < limit && IsDigit(c = LoadUnit(text)); ++count, ++text) {
    number = number * 10 + (c - u'0');
  }
  *value = number;
  return count > 0;
}

// Reads "AM" or "PM" in any case; the text's NUL stops the comparison.
Meridiem ReadMeridiem(const XCHAR*& text) {
  const XCHAR first = LoadUnit(text) & ~0x20;
  if ((first != u'A' && first != u'P') || (LoadUnit(text + 1) & ~0x20) != u'M') {
    return Meridiem::kNone;
  }
  text += 2;
  return first == u'A' ? Meridiem::kAm : Meridiem::kPm;
}

// The field a two-digit token reads or writes; null for other characters.
template <typename Record>
auto TokenField(Record& time, XCHAR token) -> decltype(&time.Month) {
  switch (token) {
    case u'M':
      return &time.Month;
    case u'D':
    case u'd':
      return &time.Day;
    case u'H':
    case u'h':
      return &time.Hour;
    case u'm':
      return &time.Minute;
    case u'S':
    case u's':
      return &time.Second;
  }
  return nullptr;
}

// Reads one token. Returns 0 when it fails the call, 1 when it was read, and -1 when the
// token is not one of these (the caller then takes its character as a literal).
int32_t ReadToken(const XCHAR*& text, XCHAR token, DATETIME& time, Meridiem& meridiem) {
  int32_t value;
  if (token == u'Y' || token == u'y') {
    if (!ReadDigits(text, token == u'Y' ? 4 : 2, &value)) return 0;
    time.Year = static_cast<uint16_t>(token == u'Y' ? value : 2000 + value);
    return 1;
  }
  if (token == u'P' || token == u'p') {
    meridiem = ReadMeridiem(text);
    if (meridiem == Meridiem::kNone) return 0;
    if (time.Hour > 0) ApplyMeridiem(time, meridiem);
    return 1;
  }
  int8_t* field = TokenField(time, token);
  if (field == nullptr) return -1;
  if (!ReadDigits(text, 2, &value)) return 0;
  *field = static_cast<int8_t>(value);
  if (token == u'h') ApplyMeridiem(time, meridiem);
  return 1;
}

// Writes one token; characters that are not tokens (and "%%") write themselves.
XCHAR* WriteToken(XCHAR* out, XCHAR token, const DATETIME& time) {
  switch (token) {
    case u'Y':
      return WriteNumber(out, static_cast<int16_t>(time.Year), 4);
    case u'y':
      return WriteNumber(out, time.Year % 100, 2);
    case u'h': {
      const int32_t hour = time.Hour % 12;
      return WriteNumber(out, hour == 0 ? 12 : hour, 2);
    }
    case u'P':
    case u'p':
      StoreUnit(out, time.Hour >= 12 ? u'P' : u'A');
      StoreUnit(out + 1, u'M');
      return out + 2;
  }
  if (const int8_t* field = TokenField(time, token)) return WriteNumber(out, *field, 2);
  StoreUnit(out, token);
  return out + 1;
}

// StringToTime for texts of 16-bit units or of bytes (ASCII); `text` is not null.
template <typename Char>
int32_t ReadMasked(const Char* text, const XCHAR* mask, DATETIME& time) {
  time = DATETIME{};
  time.Month = 1;
  time.Day = 1;
  int32_t field = kYear;
  if (!HasDate(mask)) {
    time.Year = 1900;
    field = kHour;
  }
  while (LoadUnit(mask) != 0 && TextUnit(text) != 0) {
    if (LoadUnit(mask) != u'$') {
      ++mask;
      ++text;
      continue;
    }
    // One text unit per '$'; digits make the number (wrapping past 32 bits), others are passed.
    uint32_t value = 0;
    for (uint32_t c; LoadUnit(mask) == u'$' && (c = TextUnit(text)) != 0; ++mask, ++text) {
      if (c - u'0' < 10) value = value * 10 + (c - u'0');
    }
    while (LoadUnit(mask) == u'$') ++mask;
    if (field < kFieldCount && !StoreMaskField(time, field++, value)) return 0;
  }
  return field > kYear ? 1 : 0;
}

// Reads exactly `width` digits; false when a character among them (a NUL included) is not one.
inline bool ReadFixedDigits(const char* text, int32_t width, uint32_t* value) {
  uint32_t number = 0;
  for (int32_t i = 0; i < width; ++i) {
    const uint32_t digit = static_cast<unsigned char>(text[i]) - uint32_t{'0'};
    if (digit >= 10) return false;
    number = number * 10 + digit;
  }
  *value = number;
  return true;
}

// The default mask over text that has a digit under every '$' and some character under every
// separator, as "2024-03-05 14:07:09": reads what ReadMasked reads, without walking the mask.
// False for any other text (and for a year 0), which ReadMasked then reads.
bool ReadDefaultForm(const char* text, DATETIME& time) {
  uint32_t values[kFieldCount];
  // Field by field, so that each reads a known number of digits; a NUL stops the read in place.
  const bool read = ReadFixedDigits(text, 4, &values[kYear]) && text[4] != 0 &&
                    ReadFixedDigits(text + 5, 2, &values[kMonth]) && text[7] != 0 &&
                    ReadFixedDigits(text + 8, 2, &values[kDay]) && text[10] != 0 &&
                    ReadFixedDigits(text + 11, 2, &values[kHour]) && text[13] != 0 &&
                    ReadFixedDigits(text + 14, 2, &values[kMinute]) && text[16] != 0 &&
                    ReadFixedDigits(text + 17, 2, &values[kSecond]);
  if (!read) return false;
  time = DATETIME{};
  time.Month = 1;
  time.Day = 1;
  return StoreMaskField(time, kYear, values[kYear]) &&
         StoreMaskField(time, kMonth, values[kMonth]) && StoreMaskField(time, kDay, values[kDay]) &&
         StoreMaskField(time, kHour, values[kHour]) &&
         StoreMaskField(time, kMinute, values[kMinute]) &&
         StoreMaskField(time, kSecond, values[kSecond]);
}

}  // namespace

namespace tabrow {

bool ReadDateTime(const char* text, DATETIME* time) {
  DATETIME read;
  if (!ReadDefaultForm(text, read) && !ReadMasked(text, kDefaultMask, read)) return false;
  *time = read;
  return true;
}

bool ReadDefaultDateTime(const char* text, DATETIME* time) {
  // Checked in order, so that the NUL of a shorter text stops the check where it stands. Each
  // place has a test of its own, which branch prediction learns once for every date; a loop
  // over a shape would branch differently from one place to the next.
  const auto digit = [text](int32_t at) { return uint32_t(uint8_t(text[at])) - '0' < 10; };
  const auto mark = [text](int32_t at) { return uint32_t(uint8_t(text[at])) - 1 < 0x7F; };
  if (!(digit(0) && digit(1) && digit(2) && digit(3) && mark(4) && digit(5) && digit(6) &&
        mark(7) && digit(8) && digit(9) && mark(10) && digit(11) && digit(12) && mark(13) &&
        digit(14) && digit(15) && mark(16) && digit(17) && digit(18) && text[19] == 0))
    return false;
  const auto two = [text](int32_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  const int32_t year = two(0) * 100 + two(2);
  const int32_t month = two(5), day = two(8), hour = two(11), minute = two(14), second = two(17);
  // A date whose fields are all in range is kept as read; another one is folded as the mask
  // reader folds it.
  if (year >= 1900 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year) &&
      hour < 24 && minute < 60 && second < 60) {
    // Stored as one 8-byte word (year, then a byte per field, then the reserved 0): a reader
    // that loads the whole record right after would otherwise wait for seven small stores.
    const uint64_t packed = uint64_t(year) | uint64_t(month) << 16 | uint64_t(day) << 24 |
                            uint64_t(hour) << 32 | uint64_t(minute) << 40 | uint64_t(second) << 48;
    std::memcpy(time, &packed, sizeof packed);
    return true;
  }
  DATETIME read;
  if (!ReadDefaultForm(text, read)) return false;
  *time = read;
  return true;
}

}  // namespace tabrow

int32_t TimeToString(const DATETIME& time, const XCHAR* mask, XCHAR* out) {
  if (out == nullptr) return 0;
  if (mask == nullptr) mask = kDefaultMask;
  int32_t values[kFieldCount];
  FieldValues(time, values);
  int32_t field = HasDate(mask) ? kYear : kHour;
  XCHAR* end = out;
  for (XCHAR c; (c = LoadUnit(mask)) != 0;) {
    if (c != u'$') {
      StoreUnit(end++, c);
      ++mask;
      continue;
    }
    while (LoadUnit(mask) == u'$') ++mask;
    if (field < kFieldCount) {
      end = WriteNumber(end, values[field], field == kYear ? 4 : 2);
      ++field;
    }
  }
  StoreUnit(end, 0);
  return static_cast<int32_t>(end - out);
}

int32_t StringToTime(const XCHAR* text, const XCHAR* mask, DATETIME& time) {
  return ReadMasked(text != nullptr ? text : u"", mask != nullptr ? mask : kDefaultMask, time);
}

int32_t TimeToStringEx(const DATETIME& time, const XCHAR* format, XCHAR* out) {
  if (out == nullptr) return 0;
  if (format == nullptr) format = kDefaultFormat;
  XCHAR* end = out;
  for (XCHAR c; (c = LoadUnit(format)) != 0;) {
    ++format;
    if (c != u'%') {
      StoreUnit(end++, c);
      continue;
    }
    const XCHAR token = LoadUnit(format);
    if (token == 0) break;  // a '%' at the very end is dropped
    ++format;
    end = WriteToken(end, token, time);
  }
  StoreUnit(end, 0);
  return static_cast<int32_t>(end - out);
}

int32_t StringToTimeEx(const XCHAR* text, const XCHAR* format, DATETIME& time) {
  if (text == nullptr) text = u"";
  if (format == nullptr) format = kDefaultFormat;
  time = DATETIME{};
  time.Month = 1;
  time.Day = 1;
  Meridiem meridiem = Meridiem::kNone;
  for (XCHAR c; (c = LoadUnit(format)) != 0;) {
    ++format;
    if (c == u'%') {
      const XCHAR token = LoadUnit(format);
      if (token == 0) break;
      ++format;
      const int32_t read = ReadToken(text, token, time, meridiem);
      if (read == 0) return 0;
      if (read == 1) continue;
    }
    // A literal, "%%" or an unknown token passes over one text unit without comparing it.
    if (LoadUnit(text) != 0) ++text;
  }
  return 1;
}

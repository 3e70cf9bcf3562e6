// Reading one literal (text, date-time, NULL or number) from text and appending it to a meter.
#include <cstring>

#include "platform/text.h"
#include "records/meter_walk.h"
#include "tabrow/datameter.h"
#include "tabrow/dataunit.h"

namespace {

using tabrow::kFieldHeaderWords;
using tabrow::kFixedFieldWords;
using tabrow::LoadUnit;

bool IsDigit(XCHAR c) {
  return c >= u'0' && c <= u'9';
}

// The value of a hexadecimal digit, or -1.
int32_t HexValue(XCHAR c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The character a backslash escape stands for; *p is just after the backslash and is moved past
// what the escape consumed. An unknown escape stands for the backslash itself and consumes
// nothing more.
XCHAR ReadEscape(const XCHAR** p) {
  const XCHAR c = LoadUnit(*p);
  switch (c) {
    case u'"':
    case u'\'':
    case u'\\':
      ++*p;
      return c;
    case u'r':
      ++*p;
      return 13;
    case u'n':
      ++*p;
      return 10;
    case u't':
      ++*p;
      return 9;
    case u'x': {
      ++*p;
      uint32_t value = 0;
      for (int32_t i = 0; i < 2 && HexValue(LoadUnit(*p)) >= 0; ++i, ++*p) {
        value = value * 16 + static_cast<uint32_t>(HexValue(LoadUnit(*p)));
      }
      return static_cast<XCHAR>(value);
    }
    default:
      break;
  }
  if (!IsDigit(c)) return u'\\';
  // Octal digits, with '8' accepted as a digit; a '9' ends the escape at once.
  uint32_t value = 0;
  for (int32_t i = 0; i < 3; ++i, ++*p) {
    const XCHAR digit = LoadUnit(*p);
    if (digit < u'0' || digit > u'8') break;
    value = (value * 8 + (digit - u'0')) & 0xFF;
  }
  return static_cast<XCHAR>(value);
}

// Decodes the quoted text whose opening quote is at `p`, storing the characters from word
// `offset` of `meter` when meter is not null. Returns the position after the closing quote, or
// null when the text ends first; *count gets the characters decoded.
const XCHAR* DecodeText(const XCHAR* p, uint16_t* meter, uint32_t offset, uint32_t* count) {
  uint32_t stored = 0;
  for (++p;; ++stored) {
    XCHAR c = LoadUnit(p);
    if (c == 0) return nullptr;
    ++p;
    if (c == u'"') break;
    if (c == u'\\') c = ReadEscape(&p);
    // A text longer than a meter can hold is only counted; the caller refuses it.
    if (meter != nullptr) tabrow::StoreWord(meter, offset + stored, c);
  }
  *count = stored;
  return p;
}

const XCHAR* AppendText(uint16_t* meter, uint32_t offset, const XCHAR* p) {
  uint32_t count;
  if (DecodeText(p, nullptr, 0, &count) == nullptr) return nullptr;
  if (count + 1 + kFieldHeaderWords > tabrow::kMaxMeterWords) return nullptr;
  const uint32_t length = count + 1 + kFieldHeaderWords;
  if (!tabrow::CanAppend(meter, length)) return nullptr;
  const XCHAR* end = DecodeText(p, meter, offset + kFieldHeaderWords, &count);
  tabrow::StoreWord(meter, offset + kFieldHeaderWords + count, 0);
  tabrow::CommitField(meter, offset, length, XDT_STRING);
  return end;
}

// Decimal digits from `p` up to the first non-digit, wrapping around in 32 bits.
uint32_t ReadDecimal(const XCHAR* p) {
  uint32_t value = 0;
  for (; IsDigit(LoadUnit(p)); ++p) value = value * 10 + (LoadUnit(p) - u'0');
  return value;
}

// T"yyyy-mm-dd" or T"yyyy-mm-dd hh:mm:ss"; `p` is at the T.
const XCHAR* AppendDate(uint16_t* meter, uint32_t offset, const XCHAR* p) {
  const XCHAR* body = p + 2;
  uint32_t length = 0;
  while (length < 20 && LoadUnit(body + length) != 0 && LoadUnit(body + length) != u'"') ++length;
  if (LoadUnit(body + length) != u'"' || (length != 10 && length != 19)) return nullptr;
  if (LoadUnit(body + 4) != u'-' || LoadUnit(body + 7) != u'-') return nullptr;
  if (!tabrow::CanAppend(meter, kFixedFieldWords)) return nullptr;
  DATETIME time = {};
  time.Year = static_cast<uint16_t>(ReadDecimal(body));
  time.Month = static_cast<int8_t>(ReadDecimal(body + 5));
  time.Day = static_cast<int8_t>(ReadDecimal(body + 8));
  if (length == 19) {
    time.Hour = static_cast<int8_t>(ReadDecimal(body + 11));
    time.Minute = static_cast<int8_t>(ReadDecimal(body + 14));
    time.Second = static_cast<int8_t>(ReadDecimal(body + 17));
  }
  std::memcpy(meter + offset + kFieldHeaderWords, &time, sizeof time);
  tabrow::CommitField(meter, offset, kFixedFieldWords, XDT_DATETIME);
  return body + length + 1;
}

// The word NULL in any letter case.
bool IsNullWord(const XCHAR* p) {
  static const char kWord[] = "null";
  for (int32_t i = 0; i < 4; ++i) {
    XCHAR c = LoadUnit(p + i);
    if (c >= u'A' && c <= u'Z') c = static_cast<XCHAR>(c - u'A' + u'a');
    if (c != static_cast<XCHAR>(kWord[i])) return false;
  }
  return true;
}

// An unsigned number as read: the 32-bit integer part and, when a fraction followed, the double.
struct Number {
  uint32_t whole;
  bool has_fraction;
  double value;
};

// Reads a number that starts with a digit at `p`: hexadecimal after 0x (no fraction), else
// decimal with an optional fraction. Returns the position after it.
const XCHAR* ReadNumber(const XCHAR* p, Number* number) {
  number->whole = 0;
  number->has_fraction = false;
  const bool hexadecimal = LoadUnit(p) == u'0' &&
                           (LoadUnit(p + 1) == u'x' || LoadUnit(p + 1) == u'X') &&
                           HexValue(LoadUnit(p + 2)) >= 0;
  if (hexadecimal) {
    for (p += 2; HexValue(LoadUnit(p)) >= 0; ++p) {
      number->whole = number->whole * 16 + static_cast<uint32_t>(HexValue(LoadUnit(p)));
    }
    return p;
  }
  for (; IsDigit(LoadUnit(p)); ++p) number->whole = number->whole * 10 + (LoadUnit(p) - u'0');
  if (LoadUnit(p) != u'.') return p;
  number->has_fraction = true;
  number->value = number->whole;
  double factor = 0.1;
  for (++p; IsDigit(LoadUnit(p)); ++p) {
    number->value += (LoadUnit(p) - u'0') * factor;
    factor *= 0.1;
  }
  return p;
}

// A number, or '-', blanks and a number; `p` is at the first digit or the sign.
const XCHAR* AppendNumber(uint16_t* meter, uint32_t offset, const XCHAR* p) {
  const bool negative = LoadUnit(p) == u'-';
  if (negative) {
    ++p;
    while (LoadUnit(p) >= 1 && LoadUnit(p) <= 32) ++p;
  }
  if (!IsDigit(LoadUnit(p)) || !tabrow::CanAppend(meter, kFixedFieldWords)) return nullptr;
  Number number;
  p = ReadNumber(p, &number);
  uint16_t* payload = meter + offset + kFieldHeaderWords;
  if (number.has_fraction) {
    const double value = negative ? -number.value : number.value;
    std::memcpy(payload, &value, sizeof value);
    tabrow::CommitField(meter, offset, kFixedFieldWords, XDT_DOUBLE);
  } else {
    const uint32_t image[2] = {negative ? 0u - number.whole : number.whole, 0};
    std::memcpy(payload, image, sizeof image);
    tabrow::CommitField(meter, offset, kFixedFieldWords, XDT_LONG);
  }
  return p;
}

}  // namespace

int32_t AddDataMeter(uint16_t* meter, const XCHAR* text) {
  if (meter == nullptr || text == nullptr) return 0;
  uint32_t offset;
  if (!tabrow::FieldOffset(meter, tabrow::LoadWord(meter, 1), &offset)) return 0;
  const XCHAR* p = text;
  while (LoadUnit(p) != 0 && LoadUnit(p) <= 32) ++p;
  const XCHAR first = LoadUnit(p);
  const XCHAR* end = nullptr;
  if (first == u'"') {
    end = AppendText(meter, offset, p);
  } else if (first == u'T' && LoadUnit(p + 1) == u'"') {
    end = AppendDate(meter, offset, p);
  } else if (IsNullWord(p)) {
    if (tabrow::CanAppend(meter, kFieldHeaderWords)) {
      tabrow::CommitField(meter, offset, kFieldHeaderWords, 0);
      end = p + 4;
    }
  } else if (IsDigit(first) || first == u'-') {
    end = AppendNumber(meter, offset, p);
  }
  return end == nullptr ? 0 : static_cast<int32_t>(end - text);
}

#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/text.h"

namespace tabrow {

namespace {

// Significant digits kept when reading a double. A decimal number halfway between two doubles
// has at most 767 significant digits, so keeping 800 and standing in a single '1' for any
// non-zero digits dropped after them rounds exactly as the whole number would.
constexpr int32_t kMaxDigits = 800;
// Decimal exponents are clamped here: far beyond where a double overflows or underflows.
constexpr int32_t kExponentLimit = 100000;

inline uint32_t Unit(const char* p) {
  return static_cast<unsigned char>(*p);
}
inline uint32_t Unit(const XCHAR* p) {
  return LoadUnit(p);
}

inline bool IsDigit(uint32_t c) {
  return c - '0' < 10;
}
// White space as isspace() in the C locale.
inline bool IsSpace(uint32_t c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

template <typename Char>
const Char* SkipSpace(const Char* p) {
  while (IsSpace(Unit(p))) ++p;
  return p;
}

// Reads an optional sign at *p; returns true for '-'.
template <typename Char>
bool ReadSign(const Char** p) {
  uint32_t c = Unit(*p);
  if (c == '+' || c == '-') ++*p;
  return c == '-';
}

template <typename Char>
bool ReadLongOf(const Char* text, int32_t* value, const Char** end) {
  if (end != nullptr) *end = text;
  if (text == nullptr) return false;
  const Char* p = SkipSpace(text);
  bool negative = ReadSign(&p);
  if (!IsDigit(Unit(p))) return false;
  const uint64_t limit = negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1;
  uint64_t magnitude = 0;
  // Nine digits stay below the limit; only the digits after them need the clamp.
  for (int32_t count = 0; count < 9 && IsDigit(Unit(p)); ++count, ++p)
    magnitude = magnitude * 10 + (Unit(p) - '0');
  for (; IsDigit(Unit(p)); ++p) {
    magnitude = magnitude * 10 + (Unit(p) - '0');
    if (magnitude > limit) magnitude = limit;
  }
  *value = negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
  if (end != nullptr) *end = p;
  return true;
}

// Collects the significant digits of a decimal number in normalized form "d.ddd" plus a decimal
// exponent, so that from_chars can read it whatever the length of the text.
class DigitCollector {
 public:
  void Add(uint32_t digit, bool beforePoint) {
    if (count_ == 0) {
      if (!beforePoint) --exponent_;  // this digit stands for a power below 10^0
      if (digit == 0) return;
    } else if (beforePoint) {
      ++exponent_;
    }
    if (count_ < kMaxDigits) {
      digits_[count_ + (count_ > 0 ? 1 : 0)] = char('0' + digit);
      ++count_;
    } else if (digit != 0) {
      dropped_ = true;
    }
  }
  void AddExponent(int64_t exponent) { exponent_ += exponent; }

  // The value with its sign; out of range gives +-HUGE_VAL or 0.
  double Value(bool negative) {
    double magnitude = 0.0;
    if (count_ > 0) magnitude = Convert();
    return negative ? -magnitude : magnitude;
  }

 private:
  double Convert() {
    char* p = digits_ + count_ + (count_ > 1 ? 1 : 0);
    if (count_ > 1) digits_[1] = '.';
    if (dropped_) *p++ = '1';
    int64_t exponent = exponent_ < -kExponentLimit  ? -kExponentLimit
                       : exponent_ > kExponentLimit ? kExponentLimit
                                                    : exponent_;
    *p++ = 'e';
    p = std::to_chars(p, std::end(digits_), exponent).ptr;
    double result = 0.0;
    if (std::from_chars(digits_, p, result).ec == std::errc::result_out_of_range) {
      result = exponent > 0 ? HUGE_VAL : 0.0;
    }
    return result;
  }

  char digits_[kMaxDigits + 16];
  int32_t count_ = 0;
  int64_t exponent_ = 0;  // of the first significant digit
  bool dropped_ = false;
};

// Reads the exponent digits at p into a value clamped to kExponentLimit.
template <typename Char>
int64_t ReadExponentDigits(const Char** p) {
  int64_t value = 0;
  for (; IsDigit(Unit(*p)); ++*p) {
    if (value < kExponentLimit) value = value * 10 + (Unit(*p) - '0');
  }
  return value;
}

// The common short number, digits with an optional fraction and no exponent, read at once:
// when the digits and the power of ten are both exact doubles, one division rounds correctly.
// False, nothing read, for a number of any other form, which DigitCollector then reads.
template <typename Char>
bool ReadShortDouble(const Char** text, double* magnitude) {
  // Every power of ten up to 10^19 is an exact double.
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  constexpr int32_t kMostDigits = 19;  // always fit 64 bits
  const Char* p = *text;
  uint64_t digits = 0;
  int32_t count = 0;
  int32_t fraction = 0;
  for (; IsDigit(Unit(p)) && count <= kMostDigits; ++p, ++count)
    digits = digits * 10 + (Unit(p) - '0');
  if (Unit(p) == '.') {
    for (++p; IsDigit(Unit(p)) && count <= kMostDigits; ++p, ++count, ++fraction)
      digits = digits * 10 + (Unit(p) - '0');
  }
  if (count == 0 || count > kMostDigits || digits > (uint64_t(1) << 53)) return false;
  if (Unit(p) == 'e' || Unit(p) == 'E') return false;
  *magnitude = double(digits) / kPowers[fraction];
  *text = p;
  return true;
}

// Reads a number of any length and form from its first digit or point at `p`, with the sign
// already read; as ReadDoubleOf. Kept apart so that the short numbers do not pay for the room
// the digits of a long one take.
template <typename Char>
bool ReadAnyDouble(const Char* p, bool negative, double* value, const Char** end) {
  DigitCollector digits;
  bool any = false;
  for (; IsDigit(Unit(p)); ++p, any = true) digits.Add(Unit(p) - '0', true);
  if (Unit(p) == '.') {
    for (++p; IsDigit(Unit(p)); ++p, any = true) digits.Add(Unit(p) - '0', false);
  }
  if (!any) return false;
  if (Unit(p) == 'e' || Unit(p) == 'E') {
    const Char* q = p + 1;
    bool negativeExponent = ReadSign(&q);
    if (IsDigit(Unit(q))) {
      int64_t exponent = ReadExponentDigits(&q);
      digits.AddExponent(negativeExponent ? -exponent : exponent);
      p = q;
    }
  }
  *value = digits.Value(negative);
  if (end != nullptr) *end = p;
  return true;
}

template <typename Char>
bool ReadDoubleOf(const Char* text, double* value, const Char** end) {
  if (end != nullptr) *end = text;
  if (text == nullptr) return false;
  const Char* p = SkipSpace(text);
  bool negative = ReadSign(&p);
  double magnitude;
  if (!ReadShortDouble(&p, &magnitude)) return ReadAnyDouble(p, negative, value, end);
  *value = negative ? -magnitude : magnitude;
  if (end != nullptr) *end = p;
  return true;
}

}  // namespace

bool ReadLong(const XCHAR* text, int32_t* value, const XCHAR** end) {
  return ReadLongOf(text, value, end);
}

bool ReadLong(const char* text, int32_t* value, const char** end) {
  return ReadLongOf(text, value, end);
}

bool ReadDouble(const XCHAR* text, double* value, const XCHAR** end) {
  return ReadDoubleOf(text, value, end);
}

bool ReadDouble(const char* text, double* value, const char** end) {
  return ReadDoubleOf(text, value, end);
}

int32_t TruncateToInt32(double value) {
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
  return std::numeric_limits<int32_t>::min();
}

}  // namespace tabrow

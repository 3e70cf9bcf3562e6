#include "platform/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/codepage.h"
#include "platform/text.h"

namespace tabrow {

namespace {

constexpr int32_t kMaxPrecision = 40;
// Room for the longest fixed form: a sign, 309 integer digits, the point and the decimals.
constexpr int32_t kFixedRoom = 1 + 309 + 1 + kMaxPrecision + 1;

inline void Store(char* p, uint32_t c) {
  *p = char(c);
}
inline void Store(XCHAR* p, uint32_t c) {
  StoreUnit(p, XCHAR(c));
}

// Collects output units, dropping whatever goes beyond kFormatLimit - 1.
template <typename Unit>
class Writer {
 public:
  explicit Writer(Unit* out) : out_(out) {}

  void Put(uint32_t c) {
    if (length_ < limit_) Store(out_ + length_++, c);
  }
  void Put(const char* text, int32_t count) {
    for (int32_t i = 0; i < count; ++i) Put(static_cast<unsigned char>(text[i]));
  }
  void Repeat(uint32_t c, int32_t count) {
    for (int32_t i = 0; i < count; ++i) Put(c);
  }
  // True when `count` more units fit; otherwise the output ends here, so that a character
  // that does not fit whole is dropped with everything after it.
  bool Fits(int32_t count) {
    if (length_ + count <= limit_) return true;
    limit_ = length_;
    return false;
  }
  int32_t Finish() {
    Store(out_ + length_, 0);
    return length_;
  }

 private:
  Unit* out_;
  int32_t length_ = 0;
  int32_t limit_ = kFormatLimit - 1;
};

// One conversion: %[-0][width][.precision][h|l]conversion.
struct Directive {
  bool left = false;
  bool zero = false;
  int32_t width = 0;
  int32_t precision = -1;  // none given
  char size = 0;           // 'h', 'l' or 0
  char conversion = 0;     // 0 when the format ended inside the conversion
};

int32_t ReadCount(const char** p) {
  int32_t value = 0;
  for (; **p >= '0' && **p <= '9'; ++*p) {
    if (value < kFormatLimit) value = value * 10 + (**p - '0');
  }
  return value;
}

// Parses the conversion after a '%'; *p ends after it.
Directive ParseDirective(const char** p) {
  Directive directive;
  for (;; ++*p) {
    if (**p == '-') {
      directive.left = true;
    } else if (**p == '0') {
      directive.zero = true;
    } else {
      break;
    }
  }
  directive.width = ReadCount(p);
  if (**p == '.') {
    ++*p;
    directive.precision = ReadCount(p);
  }
  if (**p == 'h' || **p == 'l') directive.size = *(*p)++;
  if (**p != 0) directive.conversion = *(*p)++;
  return directive;
}

bool IsKnown(const Directive& directive) {
  switch (directive.conversion) {
    case 'd':
      return true;
    case 'f':
    case 's':
      return directive.size != 'h';
    case '%':
      return directive.size == 0;
    default:
      return false;
  }
}

// Writes sign, zeros and body, padded with spaces to the width.
template <typename Unit>
void PutPadded(Writer<Unit>& out, const Directive& directive, char sign, int32_t zeros,
               const char* body, int32_t length) {
  int32_t spaces = directive.width - (sign != 0 ? 1 : 0) - zeros - length;
  if (!directive.left) out.Repeat(' ', spaces);
  if (sign != 0) out.Put(uint32_t(sign));
  out.Repeat('0', zeros);
  out.Put(body, length);
  if (directive.left) out.Repeat(' ', spaces);
}

int32_t ZeroFill(const Directive& directive, char sign, int32_t length) {
  if (!directive.zero || directive.left) return 0;
  int32_t zeros = directive.width - (sign != 0 ? 1 : 0) - length;
  return zeros > 0 ? zeros : 0;
}

template <typename Unit>
void PutInteger(Writer<Unit>& out, const Directive& directive, int32_t value) {
  int64_t wide = directive.size == 'h' ? int16_t(value) : value;
  char sign = wide < 0 ? '-' : 0;
  char digits[12];
  int32_t length = 0;
  if (wide != 0 || directive.precision != 0) {
    length = int32_t(std::to_chars(digits, digits + sizeof digits, wide < 0 ? -wide : wide).ptr -
                     digits);
  }
  int32_t zeros = directive.precision >= 0 ? std::max(directive.precision - length, 0)
                                           : ZeroFill(directive, sign, length);
  PutPadded(out, directive, sign, zeros, digits, length);
}

// Writes `value` in fixed notation and a NUL into `out`, which holds `room` chars.
int32_t FormatFixed(double value, int32_t precision, char* out, int32_t room) {
  if (std::isnan(value)) {
    std::memcpy(out, "nan", 4);
    return 3;
  }
  char* end = std::to_chars(out, out + room - 1, value, std::chars_format::fixed, precision).ptr;
  *end = 0;
  return int32_t(end - out);
}

template <typename Unit>
void PutFixed(Writer<Unit>& out, const Directive& directive, double value) {
  char text[kFixedRoom];
  int32_t precision = directive.precision < 0 ? 6 : std::min(directive.precision, kMaxPrecision);
  int32_t length = FormatFixed(value, precision, text, kFixedRoom);
  const char* body = text;
  char sign = 0;
  if (*body == '-') {
    sign = '-';
    ++body;
    --length;
  }
  int32_t zeros = std::isfinite(value) ? ZeroFill(directive, sign, length) : 0;
  PutPadded(out, directive, sign, zeros, body, length);
}

// The units of `text` that %s takes: all, or at most the precision.
size_t TakenUnits(const XCHAR* text, int32_t precision) {
  size_t count = 0;
  while ((precision < 0 || count < size_t(precision)) && LoadUnit(text + count) != 0) ++count;
  return count;
}

size_t OutputLength(const XCHAR*, size_t count, const Writer<XCHAR>&) {
  return count;
}

size_t OutputLength(const XCHAR* text, size_t count, const Writer<char>&) {
  char bytes[4];
  size_t length = 0;
  for (size_t i = 0, used; i < count; i += used) {
    length += size_t(WriteUtf8(ReadUtf16(text + i, count - i, &used), bytes));
  }
  return length;
}

void PutUnits(Writer<XCHAR>& out, const XCHAR* text, size_t count) {
  for (size_t i = 0; i < count; ++i) out.Put(LoadUnit(text + i));
}

// Char output holds the text as UTF-8, never cut inside a character.
void PutUnits(Writer<char>& out, const XCHAR* text, size_t count) {
  char bytes[4];
  for (size_t i = 0, used; i < count; i += used) {
    int32_t length = WriteUtf8(ReadUtf16(text + i, count - i, &used), bytes);
    if (!out.Fits(length)) return;
    out.Put(bytes, length);
  }
}

// Copies the format's literal character at p; returns the position after it. The format is
// UTF-8: char output copies its bytes, XCHAR output decodes it (never cut inside a character).
const char* PutLiteral(Writer<char>& out, const char* p) {
  out.Put(static_cast<unsigned char>(*p));
  return p + 1;
}

const char* PutLiteral(Writer<XCHAR>& out, const char* p) {
  size_t used;
  // The format's NUL cannot continue a sequence, so the read never passes it.
  char32_t c = ReadUtf8(p, SIZE_MAX, &used);
  XCHAR units[2];
  int32_t length = WriteUtf16(c, units);
  if (out.Fits(length)) {
    for (int32_t i = 0; i < length; ++i) out.Put(units[i]);
  }
  return p + used;
}

template <typename Unit>
void PutText(Writer<Unit>& out, const Directive& directive, const XCHAR* text) {
  if (text == nullptr) text = u"(null)";
  size_t count = TakenUnits(text, directive.precision);
  int32_t spaces = 0;
  if (directive.width > 0) {
    spaces =
        directive.width - int32_t(std::min(OutputLength(text, count, out), size_t(kFormatLimit)));
  }
  if (!directive.left) out.Repeat(' ', spaces);
  PutUnits(out, text, count);
  if (directive.left) out.Repeat(' ', spaces);
}

// Puts one conversion using the next argument, when it has the conversion's kind.
template <typename Unit>
void PutConversion(Writer<Unit>& out, const Directive& directive, const FormatArg* arg) {
  if (directive.conversion == '%') {
    out.Put('%');
    return;
  }
  if (arg == nullptr) return;
  if (directive.conversion == 'd' && arg->kind == FormatArg::kInteger) {
    PutInteger(out, directive, arg->integer);
  } else if (directive.conversion == 'f' && arg->kind == FormatArg::kDouble) {
    PutFixed(out, directive, arg->real);
  } else if (directive.conversion == 's' && arg->kind == FormatArg::kText) {
    PutText(out, directive, arg->text);
  }
}

template <typename Unit>
int32_t Format(Unit* target, const char* format, std::initializer_list<FormatArg> args) {
  Writer<Unit> out(target);
  const FormatArg* next = args.begin();
  for (const char* p = format; *p != 0;) {
    if (*p != '%') {
      p = PutLiteral(out, p);
      continue;
    }
    const char* start = p++;
    Directive directive = ParseDirective(&p);
    if (!IsKnown(directive)) {  // the '%' is a literal, and so is what follows it
      out.Put('%');
      p = start + 1;
      continue;
    }
    const FormatArg* arg = nullptr;
    if (directive.conversion != '%' && next != args.end()) arg = next++;
    PutConversion(out, directive, arg);
  }
  return out.Finish();
}

}  // namespace

int32_t FormatText(XCHAR* out, const char* format, std::initializer_list<FormatArg> args) {
  return Format(out, format, args);
}

int32_t FormatText(char* out, const char* format, std::initializer_list<FormatArg> args) {
  return Format(out, format, args);
}

int32_t FormatFixed8(double value, char* out) {
  return FormatFixed(value, 8, out, kFixed8Room);
}

}  // namespace tabrow

// A small printf-style formatter for XCHAR and char output, locale-independent.
//
// Conversions: %d %ld %hd (a 32-bit integer; %hd takes its low 16 bits as signed) with optional
// '0' flag and width; %s (an XCHAR text; null prints "(null)"); %.8lf (fixed with eight
// decimals, correctly rounded from the double's exact value, ties to even; "nan", "inf",
// "-inf"); %%. Any other conversion is copied as it stands. One call writes at most
// kFormatLimit - 1 units and a NUL, and returns the units written without the NUL.
#ifndef TABROW_PLATFORM_FORMAT_H_
#define TABROW_PLATFORM_FORMAT_H_

#include <initializer_list>

#include "tabrow/base.h"

namespace tabrow {

constexpr int32_t kFormatLimit = 1024;

// One argument of a formatted text.
struct FormatArg {
  enum Kind { kInteger, kDouble, kText } kind;
  union {
    int32_t integer;
    double real;
    const XCHAR* text;
  };
  FormatArg(int32_t v) : kind(kInteger), integer(v) {}
  FormatArg(double v) : kind(kDouble), real(v) {}
  FormatArg(const XCHAR* v) : kind(kText), text(v) {}
};

// `out` must hold kFormatLimit units (or fewer when the caller knows the result is shorter).
// Arguments that the format does not use are ignored; a conversion without an argument of its
// kind prints nothing.
int32_t FormatText(XCHAR* out, const char* format, std::initializer_list<FormatArg> args);
int32_t FormatText(char* out, const char* format, std::initializer_list<FormatArg> args);

// Writes `value` as "%.8lf" into `out` (at least 330 units); returns the length.
int32_t FormatFixed8(double value, char* out);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_FORMAT_H_

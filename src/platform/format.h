// A small printf-style formatter for XCHAR and char output, locale-independent.
//
// A conversion is %[flags][width][.precision][h|l]letter, flags '-' (left-justify) and '0'
// (zero padding after the sign; ignored with '-', and for %d when a precision is given):
//   %d %ld %hd  a 32-bit integer; %hd takes its low 16 bits as signed; the precision is the
//               minimum number of digits.
//   %s %ls      an XCHAR text, null prints "(null)"; the precision is the most units taken.
//   %f %lf      fixed notation, correctly rounded from the double's exact value, ties to even;
//               6 decimals unless a precision is given (at most 40: more counts as 40);
//               NaN prints "nan", infinities "inf" and "-inf".
//   %%          a '%'.
// Any other conversion is not one: its '%' and what follows are copied as they stand. The width
// counts output units. The format text is UTF-8: XCHAR output gets its characters as UTF-16,
// char output gets its bytes; char output holds %s texts as UTF-8 (a lone surrogate as U+FFFD).
// One call writes at most kFormatLimit - 1 units and a NUL, and returns the units written
// without the NUL; a character that does not fit whole ends the output.
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
// Each conversion but %% takes the next argument; one whose argument is missing or of another
// kind prints nothing. Arguments left over are ignored.
int32_t FormatText(XCHAR* out, const char* format, std::initializer_list<FormatArg> args);
int32_t FormatText(char* out, const char* format, std::initializer_list<FormatArg> args);

// Room FormatFixed8 needs: the longest form is 319 chars and a NUL.
constexpr int32_t kFixed8Room = 330;

// Writes `value` as "%.8lf" and a NUL into `out` (at least kFixed8Room chars); returns the
// length.
int32_t FormatFixed8(double value, char* out);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_FORMAT_H_

// Reading numbers from text with the C library's "%ld" and "%lf" meaning, locale-independent.
#ifndef TABROW_PLATFORM_NUMBERS_H_
#define TABROW_PLATFORM_NUMBERS_H_

#include "tabrow/base.h"

namespace tabrow {

// "%ld": optional white space (as isspace in the C locale), a sign and ASCII decimal digits,
// saturating at the 32-bit limits as strtol does. Returns false (value untouched) when no number
// starts the text. *end, when given, receives the position after the number, or `text` when
// there is none. A null text has no number.
bool ReadLong(const XCHAR* text, int32_t* value, const XCHAR** end = nullptr);
bool ReadLong(const char* text, int32_t* value, const char** end = nullptr);

// "%lf": optional white space, a sign, decimal digits with an optional fraction and exponent
// (no hexadecimal, no inf or nan), correctly rounded, however many digits. An 'e' that no
// exponent digit follows is not read ("1e" reads 1). Out of range gives +-HUGE_VAL or +-0.
// Returns false (value untouched) when no number starts the text; *end as for ReadLong.
bool ReadDouble(const XCHAR* text, double* value, const XCHAR** end = nullptr);
bool ReadDouble(const char* text, double* value, const char** end = nullptr);

// A double truncated toward zero into 32 bits; NaN and values outside the 32-bit range give
// -2147483648, as x86 conversion does.
int32_t TruncateToInt32(double value);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_NUMBERS_H_

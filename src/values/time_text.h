// Internal entry to the date-time text reader for 8-bit text.
#ifndef TABROW_VALUES_TIME_TEXT_H_
#define TABROW_VALUES_TIME_TEXT_H_

#include "tabrow/datetime.h"

namespace tabrow {

// Reads ASCII `text` (not null) as StringToTime reads the same characters as UTF-16 with the
// default mask; false, *time untouched, where StringToTime returns 0. Other bytes each count as
// one character, so text that is not ASCII must be decoded and read by StringToTime instead.
bool ReadDateTime(const char* text, DATETIME* time);

// Reads `text` (not null) only when it is 19 ASCII characters in the default mask's shape, a
// digit under each '$' and any ASCII character but NUL between, as "2024-03-05 14:07:09": what
// ReadDateTime reads. False, *time untouched, for any other text and where ReadDateTime fails.
bool ReadDefaultDateTime(const char* text, DATETIME* time);

}  // namespace tabrow

#endif  // TABROW_VALUES_TIME_TEXT_H_

// The letters that name the four basic unit types in type texts: I integer, S text, F double,
// T date-time. The grid's Rowset document writes and reads them; row and grid extraction reads
// them from its callers.
#ifndef TABROW_VALUES_TYPE_LETTERS_H_
#define TABROW_VALUES_TYPE_LETTERS_H_

#include "tabrow/dataunit.h"

namespace tabrow {

// The letter of type t (XDT_LONG to XDT_DATETIME) is kTypeLetters[t - 1].
constexpr char kTypeLetters[] = "ISFT";
static_assert(XDT_LONG == 1 && XDT_STRING == 2 && XDT_DOUBLE == 3 && XDT_DATETIME == 4,
              "the letters follow the type codes");

// The type a letter names, or 0 for any other character.
inline uint16_t LetterType(uint32_t letter) {
  for (uint16_t type = XDT_LONG; type <= XDT_DATETIME; ++type) {
    if (letter == static_cast<unsigned char>(kTypeLetters[type - 1])) return type;
  }
  return 0;
}

// The letter of a type, or 0 for a type without one.
inline char TypeLetter(uint16_t type) {
  return type >= XDT_LONG && type <= XDT_DATETIME ? kTypeLetters[type - 1] : 0;
}

}  // namespace tabrow

#endif  // TABROW_VALUES_TYPE_LETTERS_H_

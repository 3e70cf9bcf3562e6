// XCHAR text helpers. Texts may sit at odd addresses (inside packed records), so every unit is
// loaded and stored with memcpy, which compiles to a plain 16-bit access.
#ifndef TABROW_PLATFORM_TEXT_H_
#define TABROW_PLATFORM_TEXT_H_

#include <cstring>

#include "tabrow/base.h"

namespace tabrow {

inline XCHAR LoadUnit(const XCHAR* p) {
  XCHAR c;
  std::memcpy(&c, p, sizeof c);
  return c;
}

inline void StoreUnit(XCHAR* p, XCHAR c) {
  std::memcpy(p, &c, sizeof c);
}

// Number of units before the NUL; 0 for a null text.
size_t TextLength(const XCHAR* text);
// Copies `source` with its NUL into `target`, which must be large enough; returns `target`.
// A null source copies an empty text.
XCHAR* TextCopy(XCHAR* target, const XCHAR* source);
// Copies at most count - 1 units of `source` and a NUL; writes nothing when count <= 0.
// Returns `target`.
XCHAR* TextCopyN(XCHAR* target, const XCHAR* source, int32_t count);
// Ordinal comparison by code unit: negative, 0 or positive. Null reads as empty.
int32_t TextCompare(const XCHAR* a, const XCHAR* b);
// As TextCompare with ASCII letters folded to lower case.
int32_t TextCompareNoCase(const XCHAR* a, const XCHAR* b);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_TEXT_H_

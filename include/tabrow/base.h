// Tabrow: types and the export macro shared by every public header.
#ifndef TABROW_BASE_H_
#define TABROW_BASE_H_

#include <cstddef>
#include <cstdint>

#if defined(TABROW_BUILDING_LIBRARY)
#define TABROW_API __attribute__((visibility("default")))
#else
#define TABROW_API
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "Tabrow runs on little-endian hosts only");

// One UTF-16 code unit. Every text of the API is a NUL-terminated XCHAR text unless a length is
// passed; write literals as u"...".
typedef char16_t XCHAR;

#endif  // TABROW_BASE_H_

// Tabrow: XVariable, the value record of the response documents and of extraction queries.
//
// A record is a byte layout, and records may lie one after another at any address (each one's
// Length says where the next begins), so the library reads them byte-wise, never through the
// struct's members. The struct spells out the offsets:
//   0  Kind      XVAR_INLINE: a text value is held inline from offset 8
//   2  Length    total length of the record in bytes
//   4  Word2     not interpreted by the conversions
//   6  DataType  1, 2, 3, 4 or 10 as the unit type codes, XVAR_NULL for a null value
//   8  Value     32-bit integer, double, DATETIME, or a pointer (8 bytes) to a UTF-16 text or a
//                user blob; for an inline text the NUL-terminated characters themselves, running
//                on past offset 16 as far as the record's Length allows
#ifndef TABROW_VARIABLE_H_
#define TABROW_VARIABLE_H_

#include <cstddef>

#include "tabrow/base.h"
#include "tabrow/datetime.h"

constexpr uint16_t XVAR_INLINE = 0x1000;  // Kind: the text is held inline
constexpr uint16_t XVAR_NULL = 64;        // DataType: no value

struct XVariable {
  uint16_t Kind;
  uint16_t Length;
  uint16_t Word2;
  uint16_t DataType;
  union {
    int32_t Long;
    double Double;
    DATETIME Time;
    XCHAR* Text;
    void* User;
    XCHAR Inline[4];  // the first characters of an inline text
  } Value;
};
static_assert(offsetof(XVariable, Kind) == 0, "XVariable layout");
static_assert(offsetof(XVariable, Length) == 2, "XVariable layout");
static_assert(offsetof(XVariable, Word2) == 4, "XVariable layout");
static_assert(offsetof(XVariable, DataType) == 6, "XVariable layout");
static_assert(offsetof(XVariable, Value) == 8, "XVariable layout");
static_assert(sizeof(XVariable) == 16, "XVariable layout");

#endif  // TABROW_VARIABLE_H_

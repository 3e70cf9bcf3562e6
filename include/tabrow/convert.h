// Tabrow: moving a data unit's value into and out of caller buffers, to another type in place,
// to and from VARIANT records and text, and from XVariable records.
//
// Only the four basic types convert (XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME); anything
// else is declined with 0. A null unit or buffer pointer is declined too.
//
// Buffers are typed by unit type codes: 1 a 32-bit integer, 2 a UTF-16 text, 3 a double, 4 a
// DATETIME (a DbTimestamp in the database form, which also reads 14 as 2). They may sit at any
// address. `size` is the capacity in characters of a text buffer and the number of bytes
// cleared for a null unit.
//
// Text forms: integers "%ld"; doubles as FormatFloater writes them (2.5, 3.0); date-times
// "2024-03-05%2014:07:09" in buffers and in place (the %20 is an escaped space, ready for a
// query string), "2024-03-05 14:07:09" from DataTransfer to text. Numbers are read as "%ld" and
// "%lf" read them (leading white space allowed, trailing text ignored: "12abc" reads 12),
// date-times by StringToTime with the default mask. Every text written is cut to size - 1
// characters and a NUL; a size of 0 writes nothing.
//
// A conversion that fails leaves the caller's buffer as it was.
#ifndef TABROW_CONVERT_H_
#define TABROW_CONVERT_H_

#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/variable.h"
#include "tabrow/variant.h"

// Writes the unit's value into `buffer` in the buffer's type. A null unit clears `size` bytes
// and gives 1. Otherwise, by unit type:
//   1: to 1 the value, to 2 its text, to 3 widened.
//   2: to 1 and 3 the number read from the text (0 when none starts it), to 2 the text, to 4
//      StringToTime's result.
//   3: to 1 truncated toward zero (NaN and out of range give -2147483648), to 2 its text, to 3
//      the value.
//   4: to 2 its text (with %20), to 4 the eight bytes.
// Gives 1 when written, 0 for any other pair (nothing written).
TABROW_API int32_t GetUnitBuffer(void* buffer, uint16_t type, uint16_t size, const XDataUnit* unit);

// As GetUnitBuffer, with buffer type 14 read as 2 and buffer type 4 a 16-byte DbTimestamp (fraction
// 0), filled from a date-time unit or from a text unit that StringToTime reads.
TABROW_API int32_t GetUnitDbBuffer(void* buffer, uint16_t type, uint16_t size,
                                   const XDataUnit* unit);

// As SetUnitBuffer, except that a unit of type 4 reads a DbTimestamp (the year whole, the other
// fields as their low byte, Reserved 0). The buffer is only read.
TABROW_API void SetUnitDbBuffer(XDataUnit* unit, const void* buffer);

// Converts the unit in place to `type`; a unit that changes takes `size` as its Size. Text
// results go into `buffer` (capacity `size` characters), which the unit then borrows.
//  - A null unit just takes the new type and size: 1.
//  - To its own type nothing changes: 1; except a text to 2, which keeps a text shorter than
//    `size` (1) and otherwise cuts it into the buffer, gives back its own copy and gives 0.
//  - 1 to 2 or 3, 3 to 1 or 2, 4 to 2: 1.
//  - 2 to 1, 3 or 4: the text is read and its own copy given back; the unit is not null and
//    has the new type either way. 1 when the text read as the type; otherwise the value is 0
//    (a zero DATETIME for 4) and the result 0.
// Every other pair gives 0 and leaves the unit as it was; so does a null buffer where text
// would be written. A size of 0 writes no text, yet the unit borrows the buffer as for any size.
TABROW_API int32_t UnitTransfer(XDataUnit* unit, uint16_t type, uint16_t size, XCHAR* buffer);

// Fills the VARIANT from the unit. Its type word becomes VT_EMPTY first (nothing else of it is
// cleared), and stays so for a null unit (1) and for types other than 1 to 4 (0). Type 1 gives
// VT_I4, 3 VT_R8, 2 VT_BSTR with a new SysAllocString copy that the caller owns (empty for a null
// text pointer; 0 and VT_EMPTY when memory runs out), 4 VT_DATE.
// OLE dates count days from 1899-12-30 00:00:00 linearly, earlier dates negative: 1899-12-29
// 06:00:00 is -0.75. A date-time the calendar refuses (before 1601, or not a real date) counts as
// 1601-01-01 00:00:00.
TABROW_API int32_t DataTransfer(const XDataUnit* unit, VARIANT* variant);

// Sets the unit from the VARIANT. Whatever the unit owned is given back first and the unit is
// null until a value is set; its Type stays unless a value is set.
//  - VT_EMPTY, VT_NULL: null; 1.
//  - VT_I2 (sign-extended), VT_UI2 (zero-extended), VT_I4, VT_UI4, VT_INT, VT_UINT (the 32
//    bits), VT_BOOL (1 when non-zero, else 0): type 1; 1.
//  - VT_R4 (widened), VT_R8: type 3; 1.
//  - VT_DATE: type 4, the nearest second of the linear OLE date; NaN and dates outside the years
//    1601 to 30827 give 1601-01-01 00:00:00; 1.
//  - VT_BSTR: type 2, an owned copy up to the NUL; a null string leaves the unit null with type
//    2; 1.
//  - Any other type word: null, Type unchanged; 0.
TABROW_API int32_t DataTransfer(const VARIANT* variant, XDataUnit* unit);

// Sets the unit from `text` by its preset Type, after clearing it (Type kept). Types 1, 3 and 4
// read the text (a null text reads nothing): 1 and a value when it reads, else 0 and the unit
// stays null. Type 2 is SetUnitValue(unit, text, copy): 1. Other types: 0.
TABROW_API int32_t DataTransfer(const XCHAR* text, XDataUnit* unit, int32_t copy);

// Writes the unit's text form into `buffer`, at most capacity - 1 characters and a NUL, and
// returns the number of characters written. A null unit, or one of a type other than 1 to 4,
// writes an empty text and gives 0. A capacity of 0 writes nothing.
TABROW_API uint32_t DataTransfer(const XDataUnit* unit, XCHAR* buffer, uint32_t capacity);

// Sets the unit from the record's value by its DataType: 1, 2 (an owned copy of the inline or
// pointed-to text), 3, 4, 10 (an owned copy of the blob) through the unit setters; XVAR_NULL
// gives back what the unit owned and resets it with SetUnitNull. These give 1; any other data
// type gives 0 and leaves the unit alone. The record may sit at any address.
TABROW_API int32_t DataTransfer(const XVariable* variable, XDataUnit* unit);

#endif  // TABROW_CONVERT_H_

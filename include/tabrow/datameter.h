// Tabrow: data meters, compact keyed records of typed values in one array of 16-bit words.
//
// A meter is a header of two words (word 0: total length in words, header included; word 1:
// number of fields) and the fields back to back. A field is its length in words (its own two
// header words included), its type code and the payload:
//   0             null       no payload                          created with length 2
//   XDT_LONG      integer    32-bit value, then two zero words   length 6
//   XDT_STRING    text       the UTF-16 characters and a NUL     length characters + 3
//   XDT_DOUBLE    double     the 64-bit IEEE value               length 6
//   XDT_DATETIME  date-time  the 8-byte DATETIME                 length 6
// A field may be longer than its payload needs (a text replaced by a shorter one, a field nulled
// in place); walks always step by the stored length. A meter used as a key is a keyer. Every
// word is a plain little-endian memory image, so a meter is copied and compared as bytes.
//
// The caller owns the array and must make it large enough for what it appends; no function
// allocates. Word 0, word 1 and field lengths are 16-bit, so a meter holds at most 65,535 words:
// a change that would pass that limit fails.
//
// Indexes are zero-based field numbers; a negative index is out of range. Results are 1 for
// success and 0 for failure unless said otherwise; a failed Set or Add leaves words 0 and 1
// unchanged. A null meter fails. Lengths and counts that disagree with the content are the
// caller's to keep consistent, but no function reads or writes beyond word 0: a field whose
// length is below 2 or that runs past word 0 ends the walk with failure, and an integer, double
// or date-time field shorter than 6 words counts as missing.
//
// Choices made here:
// - Integer fields are created with words 4 and 5 zeroed, and replacing an integer writes them
//   as zeros again.
// - FormatDataKeyer writes every field as the literal AddDataMeter reads: NULL, integers as
//   decimal, texts between double quotes (inner quotes and backslashes are not escaped), doubles
//   as FormatFloater writes them and date-times as T"yyyy-mm-dd hh:mm:ss". A keyer without texts
//   holding quotes or backslashes therefore reads back field by field.
#ifndef TABROW_DATAMETER_H_
#define TABROW_DATAMETER_H_

#include "tabrow/base.h"
#include "tabrow/datetime.h"

// The two header words of one field; the payload words follow them.
struct XDataMeter {
  uint16_t Length;  // words, these two included
  uint16_t Type;    // 0 (null), XDT_LONG, XDT_STRING, XDT_DOUBLE or XDT_DATETIME
};
static_assert(sizeof(XDataMeter) == 4, "XDataMeter is two words");

// Makes the meter empty: word 0 is 2, word 1 is 0.
TABROW_API void InitDataMeter(uint16_t* meter);
// The number of fields (word 1); 0 for a null meter.
TABROW_API int32_t GetMeterNumber(const uint16_t* meter);
// The size in bytes (word 0 x 2); 0 for a null meter.
TABROW_API int32_t GetMeterByteSize(const uint16_t* meter);
// Keeps the first `count` fields: 0 when count is negative or above the field count; nothing
// changes when it equals it; otherwise word 1 becomes count and word 0 the offset where field
// `count` began.
TABROW_API int32_t SetMeterNumber(uint16_t* meter, int32_t count);
// The field at `index`, or null when there is none.
TABROW_API XDataMeter* GetDataMeter(uint16_t* meter, uint32_t index);

// Clears *value, then stores the integer of field `index`; 0 when that is no integer field.
TABROW_API int32_t FetchIntMeter(const uint16_t* meter, int32_t index, uint32_t* value);
// Clears `text` (when capacity > 0), then copies the text of field `index`: at most capacity - 1
// characters and a NUL. 0 when that is no text field.
TABROW_API int32_t FetchStrMeter(const uint16_t* meter, int32_t index, XCHAR* text,
                                 int32_t capacity);
// Fetches field `index` when its type is `type`: an integer's 32 bits are stored at `value` (any
// address), a text is copied to `value` as XCHAR text as FetchStrMeter does. 0 for another type
// or any type but those two; `value` is then left as it was.
TABROW_API int32_t FetchKeyMeter(const uint16_t* meter, int32_t index, void* value, uint16_t type,
                                 uint16_t capacity);
// Clears *value and `text`, then fetches field `index` into *value when it is an integer or into
// `text` (as FetchStrMeter) when it is a text; 0 for any other field.
TABROW_API int32_t FetchKeyMeter(const uint16_t* meter, int32_t index, uint32_t* value, XCHAR* text,
                                 int32_t capacity);

// Setting field `index` of a meter of c fields: index c appends a new field; index below c
// replaces the payload of a field of the same type (0 for another type); index above c fails.
// A longer text moves the fields after it up and grows the field and word 0; a shorter one
// keeps the field's length.
// Type 0. Replacing keeps the field's length and old payload words and always succeeds.
TABROW_API int32_t SetNullMeter(uint16_t* meter, int32_t index);
TABROW_API int32_t SetDataMeter(uint16_t* meter, int32_t index, int32_t value);
TABROW_API int32_t SetDataMeter(uint16_t* meter, int32_t index, double value);
// A null text fails.
TABROW_API int32_t SetDataMeter(uint16_t* meter, int32_t index, const XCHAR* text);
TABROW_API int32_t SetDataMeter(uint16_t* meter, int32_t index, const DATETIME& value);
// By type code: 0 null (value unused), 1 a 32-bit integer, 2 the text's characters, 3 a double,
// 4 a DATETIME, read from `value` at any address. Any other code, or a null value, fails.
TABROW_API int32_t SetDataMeter(uint16_t* meter, int32_t index, uint16_t type, const void* value);

// Reads one literal from the start of `text` and appends it as a new field. Returns the
// characters consumed (blanks before the literal included), or 0 when no literal could be read
// (the header unchanged). After characters of code 1 to 32:
//   "..."        a text. Escapes: \" \' \\ \r \n \t; \x and up to two hexadecimal digits; a
//                backslash and a decimal digit start up to three octal digits, '8' allowed
//                ("\9" gives 0 and leaves the 9); any other backslash stays. Unterminated fails.
//   T"yyyy-mm-dd" or T"yyyy-mm-dd hh:mm:ss"   a date-time; the numbers are not range-checked.
//   NULL         in any letter case: a null field.
//   digits       decimal, or hexadecimal after 0x; 32-bit wrap-around. A decimal number
//                followed by '.' and digits is a double, else an integer.
//   -number      the same negated, blanks allowed after the sign.
TABROW_API int32_t AddDataMeter(uint16_t* meter, const XCHAR* text);

// Copies the source meter (word 0 x 2 bytes, the header at least) over `target`; a null source
// makes `target` empty. The two may overlap.
TABROW_API void CloneDataKeyer(uint16_t* target, const uint16_t* source);
// Writes the fields as literals separated by ", " and returns the characters written (an empty
// text and 0 for no fields). `out` must hold, with 1 for the NUL: for a text field its text's
// length + 4, an integer 13, a double 321, a date-time 36, a null 6. The walk stops at a field
// that runs past word 0; a field of an unknown type writes nothing.
TABROW_API int32_t FormatDataKeyer(const uint16_t* meter, XCHAR* out);

#endif  // TABROW_DATAMETER_H_

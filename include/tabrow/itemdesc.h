// Tabrow: the item data descriptor XItemDataDesc and the free functions that make, set, read,
// copy and store it.
//
// A descriptor describes one item of a record (code, type, declared size, name) and can hold a
// current value of that item. Its Flags word tells whether the value is null (bit 0) and whether
// it changed since Flags was last written whole (bit 4, 0x10). Descriptors chain through
// Next; a chain describes a whole line.
//
// Ownership: a descriptor owns its text buffer (types 2 and 14, Size characters from the
// library's heap), its archive (17), its grid (129 to 143) and Text1 / Text2 (archive-layer
// texts, given back with XMem_Free). Records after the first in a chain belong to the chain; the
// first belongs to whoever holds the chain, which may be a record of its own.
//
// Setters return 0 when the descriptor's type does not take that kind of value (nothing
// changes), 1 when the value is the same as before (Flags untouched), 2 when it changed or the
// descriptor became null (Flags record it).
//
// Choices made here:
// - SetDescValue with a unit of type 17 or 129 to 143 checks the descriptor's type first: when
//   the result is 0 nothing is taken from the unit. A unit lending the very archive or grid the
//   descriptor holds leaves it in place (no copy is made).
// - A descriptor of a type up to 15 other than 1 to 4, 2 and 14 stores and loads at most the 8
//   bytes of Value, whatever its Size.
// - Setting the archive or grid the descriptor already holds destroys nothing: Flags 0x10,
//   result 2.
// - The date setters (text and DATETIME forms) count a value as unchanged only when the
//   descriptor is not null and the eight bytes are equal.
// - A text descriptor of Size 0 stores no text: MallocDescSpace allocates nothing and the text
//   setter gives 2 but holds nothing (GetDescValue then lends a null unit).
// - CopyDataDesc clears the target's Value whole before the target takes the source's type, so
//   no descriptor of a pointer type ever holds a pointer it does not own.
// - Loading is strict: a value item that does not fit (a text of Size characters or more, more
//   bytes than Size or than the 8 of Value) gives 0, as does a grid record in a descriptor whose
//   type is not a grid type. Value items of other types above 15 are skipped. A type or size item
//   read after a value drops that value. Every write is checked.
#ifndef TABROW_ITEMDESC_H_
#define TABROW_ITEMDESC_H_

#include <cstddef>

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/datetime.h"

class XRowGrider;

// A described item with an optional current value. A plain record; its field order is fixed.
struct XItemDataDesc {
  uint32_t Code;        // item code
  int32_t Extra;        // second item word, passed on to units
  uint16_t Type;        // type code (XDT_...), 14 (XDT_ALTSTRING) stored like 2
  uint16_t Size;        // text capacity in characters for types 2 and 14, else bytes
  int32_t Flags;        // bit 0 null, bit 4 changed
  XUnitValue Value;     // integer, double, DATETIME, or the owned text, archive or grid
  int32_t DescWord7;    // carried word; 15 when the record is made
  int32_t DescWord9;    // carried word
  XCHAR* Text1;         // archive-layer text or null
  XCHAR* Text2;         // archive-layer text or null
  XCHAR Name[32];       // item name, NUL-terminated within the 32
  XItemDataDesc* Next;  // next descriptor of the chain
  uint32_t Reserved;
};
static_assert(offsetof(XItemDataDesc, Flags) == 12, "XItemDataDesc layout");
static_assert(offsetof(XItemDataDesc, Value) == 16, "XItemDataDesc layout");
static_assert(offsetof(XItemDataDesc, Text1) == 32, "XItemDataDesc layout");
static_assert(offsetof(XItemDataDesc, Name) == 48, "XItemDataDesc layout");
static_assert(offsetof(XItemDataDesc, Next) == 112, "XItemDataDesc layout");
static_assert(sizeof(XItemDataDesc) == 128, "XItemDataDesc layout");

// A new record from the library's heap (malloc): every field zero, Flags 1, DescWord7 15. Null
// when memory runs out. Give it back with ReleaseItemDesc, then free().
TABROW_API XItemDataDesc* MallocItemDesc();
// Gives back the storage of every record of the chain (texts, value storage) and frees every
// record but the first, which is left to its holder with a Next that names freed records.
// Ignores null.
TABROW_API void ReleaseItemDesc(XItemDataDesc* desc);
// Types 2 and 14 without a buffer: allocates one of Size characters (not cleared) as Value.
TABROW_API void MallocDescSpace(XItemDataDesc* desc);
// Byte width of the item's slot in a packed line: Size x 2 for type 2, Size otherwise.
TABROW_API int32_t SizeOfDesc(const XItemDataDesc* desc);
// Gives back the value storage (text buffer, archive, grid), clears a pointer Value, and sets
// Flags to exactly 1. Other types keep their value bytes.
TABROW_API void ClearItemDesc(XItemDataDesc* desc);
// 1 when already null; otherwise Flags |= 0x11, an archive or grid is given back (a text buffer
// stays for reuse), result 2.
TABROW_API int32_t SetDescNull(XItemDataDesc* desc);

// Type 1 takes the integer, type 3 the integer widened. Unchanged (1) when not null and equal;
// otherwise Flags becomes exactly 0x10 (2). Other types: 0.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, int32_t value);
// Type 1 takes the double truncated toward zero, type 3 as is; as the integer form.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, double value);
// Types 2 and 14: the text, cut to Size - 1 characters, into the (reused) buffer; unchanged when
// not null and the stored text equals the given one. Type 4: the text read through the default
// date mask (a failed read gives 0). Other types: 0. The text must not be null.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, const XCHAR* text);
// Type 4 only; compared as eight bytes.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, const DATETIME& value);
// Type 17 only. The descriptor takes the archive over (a different stored one is destroyed);
// Flags 0x10, result 2. A null archive nulls the descriptor as SetDescNull does.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, IArchive* archive);
// Types 129 to 143 only; as the archive form, with grids.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, XRowGrider* grider);
// By the unit: null gives SetDescNull; types 1 to 4 use the forms above. An archive or grid the
// unit owns is taken over (its Owned cleared); one it borrows, or a referencing grid, is copied.
// Any other unit type: 0.
TABROW_API int32_t SetDescValue(XItemDataDesc* desc, XDataUnit* unit);

// Clears the unit, gives it the descriptor's Code, Extra, Size and Type (14 read as 2) and lends
// it the value: integers, doubles and dates copied, a text or an archive pointed at without
// owning; a grid is not passed on (the unit stays null). Returns 1.
TABROW_API int32_t GetDescValue(const XItemDataDesc* desc, XDataUnit* unit);
// Makes the target a copy of the source's Type, Size and value (types up to 15; a text gets a
// buffer of exactly its length + 1 characters, which becomes Size); Flags 0. Archives and grids
// leave the target null. Names, codes, words, texts and Next are not copied.
TABROW_API void CopyDataDesc(XItemDataDesc* target, const XItemDataDesc* source);
// Store non-zero writes the whole chain; store zero reads a chain into `desc` (a fresh or
// cleared record) and new records after it. Returns non-zero on success, 0 on failure (a failed
// read keeps what was read). Storing sets Size to 4 for type 1 and 8 for types 3 and 4.
TABROW_API int32_t SerializeItemDesc(XItemDataDesc* desc, IArchive* archive, int32_t store);

#endif  // TABROW_ITEMDESC_H_

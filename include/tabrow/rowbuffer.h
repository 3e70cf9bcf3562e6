// Tabrow: the row buffer XRowBuffer, an ordered chain of data units plus three header words.
//
// The row owns every unit of its chain: each is a heap record of the library, given back (its
// value released, the record freed) when the row is cleared or destroyed. Units enter through
// the adders, AddUnit, Combine, AttachBuffer and loading, and leave through ClearBuffer,
// DropUnit (handed to the caller) and Combine / AttachBuffer on the giving side.
//
// Choices made here:
// - No implicit copies. Moving takes the other row's words and chain; the source is left with
//   an empty chain and zero words.
// - Combine returns the number of units moved. Combine and AttachBuffer with a null row or with
//   the row itself do nothing.
// - AddItemLine reads a date-time item as a 16-byte DbTimestamp that occupies 16 bytes of the
//   line, whatever the descriptor's Size. A text item is read up to its NUL but never beyond
//   its slot of Size characters (Size 0 gives an empty text). A null `nulls` array means no
//   item is null. A negative index counts as past the end of the chain.
// - Loading refuses (result 0) a grid record before any unit, after a unit whose type is not a
//   grid type, or after a unit that already holds a grid, and a value part longer than 8 bytes
//   for a type other than 2 and 17. Units of type 10, 256 and grid types, and text or archive
//   units stored without a value, read back null with no value pointer; a grid unit becomes
//   non-null when its grid record follows. Only bit 0 of a stored Null word is changed, so a
//   loaded row stores the words it read. A loaded text is always NUL-terminated.
// - Every write is checked: a failed write of any part makes Serialize and StoreBacker give 0.
// - Binders are stored as their low 32 bits and zero-extended when loaded.
#ifndef TABROW_ROWBUFFER_H_
#define TABROW_ROWBUFFER_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/datetime.h"
#include "tabrow/itemdesc.h"

class XRowGrider;

class TABROW_API XRowBuffer {
 public:
  // Header words, stored as data items 1, 2 and 3 when non-zero; never interpreted.
  int32_t RowWord1;
  int32_t RowWord2;
  int32_t RowWord3;

  // Zero words, empty chain.
  XRowBuffer();
  // Gives back every unit (ClearBuffer).
  virtual ~XRowBuffer();
  XRowBuffer(const XRowBuffer&) = delete;
  XRowBuffer& operator=(const XRowBuffer&) = delete;
  XRowBuffer(XRowBuffer&& other) noexcept;
  // Gives back this row's units first.
  XRowBuffer& operator=(XRowBuffer&& other) noexcept;

  // Gives back every unit in chain order; the words stay.
  void ClearBuffer();
  // The first unit, or null.
  XDataUnit* GetRowBuffer() const;
  // Number of units in the chain.
  int32_t GetUnitCounter() const;
  // 1 when no two units carry the same Code (an empty row included), else 0.
  int32_t CheckRepeater() const;
  // Appends a unit the library allocated (one taken out by DropUnit, say) and takes it over;
  // its Next becomes null. Ignores null.
  void AddUnit(XDataUnit* unit);
  // Unlinks the unit when it is in the chain (its Next becomes null); it now belongs to the
  // caller. A unit not in the chain is ignored.
  void DropUnit(XDataUnit* unit);
  // Moves the other row's chain to this row's tail. The other row's RowWord2 and RowWord1
  // replace this row's when non-zero. Returns the number of units moved (0 for an empty row).
  int32_t Combine(XRowBuffer* other);
  // Gives back this row's units, then takes the other row's chain. The words stay.
  void AttachBuffer(XRowBuffer* other);

  // Adders: each appends a new unit set by the matching SetUnitValue / SetUserValue form and
  // returns it (null when memory runs out, nothing appended).
  // A null unit of Type 0.
  XDataUnit* AddNullUnit();
  XDataUnit* AddDataUnit(int32_t value);
  XDataUnit* AddDataUnit(double value);
  XDataUnit* AddDataUnit(const DATETIME& value);
  XDataUnit* AddDataUnit(const XCHAR* text, int32_t copy);
  XDataUnit* AddUserUnit(const void* blob, int32_t copy);
  XDataUnit* AddDataUnit(IArchive* archive, int32_t own);
  // The unit gets type 129.
  XDataUnit* AddDataUnit(XRowGrider* grider, int32_t own);
  XDataUnit* AddDataUnit(IObjectVar* object, int32_t own);
  // A copy of the source's value only (a text copied): a null source gives a null unit of
  // Type 0; a type other than 1 to 4 adds nothing and gives null.
  XDataUnit* AddDataUnit(const XDataUnit* source);
  // A unit filled by GetDescValue (a text or archive borrowed from the descriptor), with
  // `binder` attached.
  XDataUnit* AddDataUnit(const XItemDataDesc* desc, uintptr_t binder);
  // A null unit with the descriptor's Code, Extra, Type (14 read as 2) and Size, and `binder`.
  XDataUnit* AddDataDesc(const XItemDataDesc* desc, uintptr_t binder);
  // Appends `count` units read from the packed `line`: item i is described by the descriptor
  // at position indexes[i] of the chain `descs` (0 is its head) and is null when nulls[i] is
  // non-zero. Types 1, 2, 3 and 4 are read (a text copied); other types give null units. Each
  // item advances the line by SizeOfDesc bytes (16 for a date-time). The line must hold every
  // slot. Returns 1, or 0 for a null chain or an index past its end (units appended before
  // stay). A count below 1 gives 1.
  int32_t AddItemLine(const void* line, const uint8_t* nulls, const XItemDataDesc* descs,
                      const int32_t* indexes, int32_t count);

  // Store non-zero writes the row; store zero reads one, replacing the chain (the words are
  // read only when present). Non-zero on success, 0 on failure; a failed read keeps the units
  // read before the failure.
  int32_t Serialize(IArchive* archive, int32_t store);
  // Writes only the grid units that hold a grid, each followed by its grid's StoreBacker form.
  // Non-zero on success. Reads back through Serialize.
  int32_t StoreBacker(IArchive* archive);

 private:
  int32_t StoreRow(IArchive* archive);
  int32_t LoadRow(IArchive* archive);
  int32_t LoadGrider(XMF_Serialize* serializer);
  void Append(XDataUnit* unit);

  XDataUnit* head_;
  XDataUnit* tail_;
};

#endif  // TABROW_ROWBUFFER_H_

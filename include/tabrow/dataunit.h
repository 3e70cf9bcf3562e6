// Tabrow: the typed value cell XDataUnit and the operations that set and clear it.
//
// A unit holds one value of its Type, or none (Null bit 0 set). For pointer values it either
// owns the storage (Owned == the pointer; the unit frees or releases it when cleared) or only
// borrows it (Owned null; the caller keeps it alive). Type survives clearing, so a cleared unit
// still says what kind of value it is meant to hold.
//
// Every operation ignores a null unit. None reports failure: when memory for a copy runs out,
// the unit is left null with its new Type.
#ifndef TABROW_DATAUNIT_H_
#define TABROW_DATAUNIT_H_

#include <cstddef>

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/datetime.h"

class XRowGrider;

// Type codes.
constexpr uint16_t XDT_LONG = 1;        // 32-bit signed integer
constexpr uint16_t XDT_STRING = 2;      // NUL-terminated UTF-16 text
constexpr uint16_t XDT_DOUBLE = 3;      // IEEE 64-bit double
constexpr uint16_t XDT_DATETIME = 4;    // DATETIME
constexpr uint16_t XDT_USER = 10;       // blob whose first 32-bit word is its length in bytes
constexpr uint16_t XDT_ALTSTRING = 14;  // descriptors only; a unit formed from one gets type 2
constexpr uint16_t XDT_ARCHIVE = 17;    // IArchive
constexpr uint16_t XDT_GRIDER = 129;    // XRowGrider; every code from 129 to 143 means a grid
constexpr uint16_t XDT_GRIDER_LAST = 143;
constexpr uint16_t XDT_OBJECT = 256;  // IObjectVar

// True for the fifteen grid type codes 129 to 143.
constexpr bool IsGriderType(uint32_t type) {
  return type > 128 && type < 144;
}

// An object a unit of type XDT_OBJECT can hold: Release gives it back, GetType says what it is.
class TABROW_API IObjectVar {
 public:
  virtual void Release() = 0;
  virtual int32_t GetType() = 0;

 protected:
  ~IObjectVar() = default;
};

// The value of a unit, read by its Type.
union XUnitValue {
  int32_t Long;
  double Double;
  DATETIME Time;
  XCHAR* Text;
  void* Pointer;  // user blob
  IArchive* Archive;
  XRowGrider* Grider;
  IObjectVar* Object;
};
static_assert(sizeof(XUnitValue) == 8, "a unit value is 8 bytes");

// The typed value cell. Callers allocate it themselves; its field order is fixed.
struct XDataUnit {
  uint32_t Code;     // item code of the field or column the value belongs to
  int32_t Extra;     // second item word; travels with Code, never interpreted
  uint16_t Type;     // type code (XDT_...)
  uint16_t Size;     // declared size: characters for text, bytes otherwise
  int32_t Null;      // bit 0 set: no value
  XUnitValue Value;  // the value, by Type
  void* Owned;       // null, or Value's pointer when the unit owns that storage
  uintptr_t Binder;  // caller's opaque word, never dereferenced
  uint32_t Reserved1;
  XDataUnit* Next;  // next unit of a row buffer's chain
  uint32_t Reserved2[2];
};
static_assert(offsetof(XDataUnit, Type) == 8, "XDataUnit layout");
static_assert(offsetof(XDataUnit, Null) == 12, "XDataUnit layout");
static_assert(offsetof(XDataUnit, Value) == 16, "XDataUnit layout");
static_assert(offsetof(XDataUnit, Owned) == 24, "XDataUnit layout");
static_assert(offsetof(XDataUnit, Binder) == 32, "XDataUnit layout");
static_assert(offsetof(XDataUnit, Next) == 48, "XDataUnit layout");
static_assert(sizeof(XDataUnit) == 64, "XDataUnit layout");

// Gives back what the unit owns, by its Type (texts and blobs freed, archives and objects
// released, grids through XRowGrider::Release; other types own nothing), and makes it null:
// Value cleared (all 8 bytes), Owned null, Null 1. Type, Code, Extra, Size, Binder and Next stay.
TABROW_API void ClearUnitData(XDataUnit* unit);
// Initialises a record: every field zero (Code, Type and Next included), then Null 1. Releases
// nothing, so it is for records that own nothing.
TABROW_API void SetUnitNull(XDataUnit* unit);

// Each setter first clears the unit (ClearUnitData) and leaves Size alone, except where said.
// Type 1, the integer.
TABROW_API void SetUnitValue(XDataUnit* unit, int32_t value);
// Type 3, the double.
TABROW_API void SetUnitValue(XDataUnit* unit, double value);
// Type 4, the date-time.
TABROW_API void SetUnitValue(XDataUnit* unit, const DATETIME& value);
// Type 2. With copy non-zero the unit owns a copy; with copy 0 it borrows `text`. A null text
// leaves the unit null with its Type unchanged.
TABROW_API void SetUnitValue(XDataUnit* unit, const XCHAR* text, int32_t copy);
// Type 10, a blob whose first 32-bit word is its whole length in bytes, that word included. With
// copy non-zero the unit owns a copy of exactly that many bytes (4 when the word says less); with
// copy 0 it borrows. A null blob leaves the unit null with its Type unchanged.
TABROW_API void SetUserValue(XDataUnit* unit, const void* blob, int32_t copy);
// Type 17 (set even for a null archive, which leaves the unit null). With own non-zero the unit
// owns the archive and calls its Release when cleared.
TABROW_API void SetUnitValue(XDataUnit* unit, IArchive* archive, int32_t own);
// A grid type: the unit's Type stays when it is already 129 to 143, else becomes 129. Then as
// the archive form.
TABROW_API void SetUnitValue(XDataUnit* unit, XRowGrider* grider, int32_t own);
// Type 256 and Size 0, then as the archive form (an owned object's Release is called once when
// the unit is cleared).
TABROW_API void SetUnitValue(XDataUnit* unit, IObjectVar* object, int32_t own);
// Sets the value from a raw buffer laid out by the unit's preset Type: 4 bytes for type 1, 8
// for types 3 and 4, a NUL-terminated text (copied and owned) for type 2. The buffer may sit at
// any address. Any other type, or a null buffer, leaves the unit null.
TABROW_API void SetUnitBuffer(XDataUnit* unit, const void* buffer);

#endif  // TABROW_DATAUNIT_H_

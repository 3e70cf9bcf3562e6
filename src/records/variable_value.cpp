// A variable's value by type: taken over or copied from a unit, given back, lent to a unit.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "records/stack_variable.h"
#include "tabrow/archive.h"
#include "tabrow/grider.h"

namespace tabrow {
namespace {

// The unit's storage, which the variable takes over; the unit keeps pointing at it.
void* TakeOwned(XDataUnit* unit) {
  unit->Owned = nullptr;
  return unit->Value.Pointer;
}

void* CopyBytes(const void* source, size_t size) {
  void* copy = std::malloc(size);
  if (copy != nullptr) std::memcpy(copy, source, size);
  return copy;
}

size_t TextBytes(const XCHAR* text) {
  return (TextLength(text) + 1) * sizeof(XCHAR);
}

// A blob's first 32-bit word is its whole length in bytes, that word included.
size_t BlobBytes(const void* blob) {
  uint32_t length;
  std::memcpy(&length, blob, sizeof length);
  return length < sizeof length ? sizeof length : length;
}

IArchive* CopyArchive(IArchive* source) {
  XMemoArchive* copy = XMemoArchive::Malloc();
  if (copy != nullptr && copy->CopyFrom(source) == 0) {
    copy->Release();
    return nullptr;
  }
  return copy;
}

XRowGrider* CopyGrider(XRowGrider* source) {
  XRowGrider* copy = XRowGrider::Malloc();
  if (copy != nullptr && copy->CloneGrider(source) == 0) {
    XRowGrider::Release(copy);
    return nullptr;
  }
  return copy;
}

// Storage for a variable from a unit that holds a pointer: the unit's own storage, taken over,
// or a copy of what it borrows. A reference grid is copied even when owned, since the storage it
// points into belongs to another grid. A borrowed object cannot be copied: null.
void* StorePointer(XDataUnit* unit) {
  const uint16_t type = unit->Type;
  void* const pointer = unit->Value.Pointer;
  const bool reference = IsGriderType(type) && unit->Value.Grider->IsReference();
  if (unit->Owned != nullptr && !reference) return TakeOwned(unit);
  if (type == XDT_STRING) return CopyBytes(pointer, TextBytes(unit->Value.Text));
  if (type == XDT_USER) return CopyBytes(pointer, BlobBytes(pointer));
  if (type == XDT_ARCHIVE) return CopyArchive(unit->Value.Archive);
  if (IsGriderType(type)) return CopyGrider(unit->Value.Grider);
  return nullptr;
}

// The value for a variable from a non-null unit; false when there is nothing to store.
bool StoreValue(XDataUnit* unit, XUnitValue* value) {
  switch (unit->Type) {
    case XDT_LONG:
      value->Long = unit->Value.Long;
      return true;
    case XDT_DOUBLE:
    case XDT_DATETIME:
      *value = unit->Value;
      return true;
    case XDT_STRING:
    case XDT_USER:
    case XDT_ARCHIVE:
    case XDT_OBJECT:
      break;
    default:
      if (!IsGriderType(unit->Type)) return false;
  }
  if (unit->Value.Pointer == nullptr) return false;
  value->Pointer = StorePointer(unit);
  return value->Pointer != nullptr;
}

}  // namespace

void BuildVariableValue(XDataUnit* unit, StackVariable* variable) {
  variable->Null = 1;
  if (unit == nullptr) return;
  variable->Type = unit->Type;
  if ((unit->Null & 1) == 0 && StoreValue(unit, &variable->Value)) variable->Null = 0;
}

void ReleaseVariableValue(StackVariable* variable) {
  const uint16_t type = variable->Type;
  XUnitValue& value = variable->Value;
  if (variable->Null == 0 && value.Pointer != nullptr) {
    if (type == XDT_STRING || type == XDT_USER) {
      std::free(value.Pointer);
    } else if (type == XDT_ARCHIVE) {
      value.Archive->Release();
    } else if (type == XDT_OBJECT) {
      value.Object->Release();
    } else if (IsGriderType(type)) {
      XRowGrider::Release(value.Grider);
    }
  }
  std::memset(&value, 0, sizeof value);
  variable->Null = 1;
}

void LendVariableValue(const StackVariable& variable, XDataUnit* unit) {
  ClearUnitData(unit);
  unit->Type = variable.Type;
  if (variable.Null != 0) return;
  const XUnitValue& value = variable.Value;
  switch (variable.Type) {
    case XDT_LONG:
      SetUnitValue(unit, value.Long);
      break;
    case XDT_STRING:
      SetUnitValue(unit, value.Text, 0);
      break;
    case XDT_DOUBLE:
      SetUnitValue(unit, value.Double);
      break;
    case XDT_DATETIME:
      SetUnitValue(unit, value.Time);
      break;
    case XDT_USER:
      SetUserValue(unit, value.Pointer, 0);
      break;
    case XDT_ARCHIVE:
      SetUnitValue(unit, value.Archive, 0);
      break;
    case XDT_OBJECT:
      SetUnitValue(unit, value.Object, 0);
      break;
    default:
      if (IsGriderType(variable.Type)) SetUnitValue(unit, value.Grider, 0);
      break;
  }
}

}  // namespace tabrow

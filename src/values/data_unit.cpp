// Setting and clearing data units, and the heap units of row buffers.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "tabrow/dataunit.h"
#include "tabrow/grider.h"
#include "values/unit_alloc.h"

namespace {

// Gives back what an owning unit holds, by its Type. Other types own nothing releasable.
void ReleaseOwned(XDataUnit* unit) {
  const uint16_t type = unit->Type;
  if (type == XDT_STRING || type == XDT_USER) {
    std::free(unit->Owned);
  } else if (type == XDT_ARCHIVE) {
    if (unit->Value.Archive != nullptr) unit->Value.Archive->Release();
  } else if (IsGriderType(type)) {
    XRowGrider::Release(unit->Value.Grider);
  } else if (type == XDT_OBJECT) {
    if (unit->Value.Object != nullptr) unit->Value.Object->Release();
  }
}

// Makes the unit own a copy of `size` bytes at `source` (which may sit at any address).
// Returns false, leaving the unit null, when memory runs out.
bool OwnCopy(XDataUnit* unit, const void* source, size_t size) {
  void* copy = std::malloc(size);
  if (copy == nullptr) return false;
  std::memcpy(copy, source, size);
  unit->Value.Pointer = copy;
  unit->Owned = copy;
  return true;
}

bool OwnText(XDataUnit* unit, const XCHAR* text) {
  return OwnCopy(unit, text, (tabrow::TextLength(text) + 1) * sizeof(XCHAR));
}

}  // namespace

void ClearUnitData(XDataUnit* unit) {
  if (unit == nullptr) return;
  if (unit->Owned != nullptr) ReleaseOwned(unit);
  unit->Owned = nullptr;
  std::memset(&unit->Value, 0, sizeof unit->Value);
  unit->Null = 1;
}

void SetUnitNull(XDataUnit* unit) {
  if (unit == nullptr) return;
  std::memset(unit, 0, sizeof *unit);
  unit->Null = 1;
}

void SetUnitValue(XDataUnit* unit, int32_t value) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  unit->Type = XDT_LONG;
  unit->Value.Long = value;
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, double value) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  unit->Type = XDT_DOUBLE;
  unit->Value.Double = value;
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, const DATETIME& value) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  unit->Type = XDT_DATETIME;
  unit->Value.Time = value;
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, const XCHAR* text, int32_t copy) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  if (text == nullptr) return;
  unit->Type = XDT_STRING;
  if (copy) {
    if (!OwnText(unit, text)) return;
  } else {
    unit->Value.Text = const_cast<XCHAR*>(text);
  }
  unit->Null = 0;
}

void SetUserValue(XDataUnit* unit, const void* blob, int32_t copy) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  if (blob == nullptr) return;
  unit->Type = XDT_USER;
  if (copy) {
    uint32_t length;
    std::memcpy(&length, blob, sizeof length);
    if (length < sizeof length) length = sizeof length;
    if (!OwnCopy(unit, blob, length)) return;
  } else {
    unit->Value.Pointer = const_cast<void*>(blob);
  }
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, IArchive* archive, int32_t own) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  unit->Type = XDT_ARCHIVE;
  if (archive == nullptr) return;
  unit->Value.Archive = archive;
  if (own) unit->Owned = archive;
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, XRowGrider* grider, int32_t own) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  if (!IsGriderType(unit->Type)) unit->Type = XDT_GRIDER;
  if (grider == nullptr) return;
  unit->Value.Grider = grider;
  if (own) unit->Owned = grider;
  unit->Null = 0;
}

void SetUnitValue(XDataUnit* unit, IObjectVar* object, int32_t own) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  unit->Type = XDT_OBJECT;
  unit->Size = 0;
  if (object == nullptr) return;
  unit->Value.Object = object;
  if (own) unit->Owned = object;
  unit->Null = 0;
}

void SetUnitBuffer(XDataUnit* unit, const void* buffer) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  if (buffer == nullptr) return;
  switch (unit->Type) {
    case XDT_LONG:
      std::memcpy(&unit->Value.Long, buffer, sizeof unit->Value.Long);
      break;
    case XDT_DOUBLE:
      std::memcpy(&unit->Value.Double, buffer, sizeof unit->Value.Double);
      break;
    case XDT_DATETIME:
      std::memcpy(&unit->Value.Time, buffer, sizeof unit->Value.Time);
      break;
    case XDT_STRING:
      if (!OwnText(unit, static_cast<const XCHAR*>(buffer))) return;
      break;
    default:
      return;
  }
  unit->Null = 0;
}

namespace tabrow {

XDataUnit* MallocDataUnit() {
  auto* unit = static_cast<XDataUnit*>(std::malloc(sizeof(XDataUnit)));
  SetUnitNull(unit);
  return unit;
}

void ReleaseDataUnit(XDataUnit* unit) {
  if (unit == nullptr) return;
  ClearUnitData(unit);
  std::free(unit);
}

}  // namespace tabrow

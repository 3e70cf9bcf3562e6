// The SetDescValue forms: each stores a value into a descriptor whose type takes it and reports
// whether the value changed (0 refused, 1 unchanged, 2 changed).
#include <cstring>

#include "platform/numbers.h"
#include "platform/text.h"
#include "rows/desc_value.h"
#include "tabrow/grider.h"
#include "tabrow/itemdesc.h"

namespace {

using tabrow::IsDescNull;
using tabrow::kDescChanged;
using tabrow::kDescNull;

// Records the outcome of a setter that stored its value: unchanged leaves Flags alone.
int32_t Settle(XItemDataDesc* desc, bool unchanged) {
  if (unchanged) return 1;
  desc->Flags = kDescChanged;
  return 2;
}

int32_t StoreLong(XItemDataDesc* desc, int32_t value) {
  bool unchanged = !IsDescNull(desc) && desc->Value.Long == value;
  desc->Value.Long = value;
  return Settle(desc, unchanged);
}

int32_t StoreDouble(XItemDataDesc* desc, double value) {
  bool unchanged = !IsDescNull(desc) && desc->Value.Double == value;
  desc->Value.Double = value;
  return Settle(desc, unchanged);
}

int32_t StoreTime(XItemDataDesc* desc, const DATETIME& value) {
  bool unchanged = !IsDescNull(desc) && std::memcmp(&desc->Value.Time, &value, sizeof value) == 0;
  std::memcpy(&desc->Value.Time, &value, sizeof value);
  return Settle(desc, unchanged);
}

// The stored text equals `text`: compared unit by unit, never beyond the buffer's Size units.
bool SameText(const XItemDataDesc* desc, const XCHAR* text) {
  const XCHAR* stored = desc->Value.Text;
  if (stored == nullptr) return false;
  for (size_t i = 0; i < desc->Size; ++i) {
    XCHAR unit = tabrow::LoadUnit(stored + i);
    if (unit != tabrow::LoadUnit(text + i)) return false;
    if (unit == 0) return true;
  }
  return false;
}

int32_t StoreText(XItemDataDesc* desc, const XCHAR* text) {
  bool unchanged = !IsDescNull(desc) && SameText(desc, text);
  MallocDescSpace(desc);
  if (desc->Value.Text != nullptr) tabrow::TextCopyN(desc->Value.Text, text, desc->Size);
  return Settle(desc, unchanged);
}

// Takes an archive or grid over; `held` is what the descriptor holds now. Holding the same
// object again destroys nothing.
template <typename T>
int32_t StoreObject(XItemDataDesc* desc, T* held, T* object, T** slot) {
  if (object == nullptr) return SetDescNull(desc);
  if (held != object) tabrow::ReleaseDescObject(desc);
  *slot = object;
  desc->Flags = kDescChanged;
  return 2;
}

// The archive a unit holds, for a descriptor to own: the unit's own one when it owns it (its
// Owned cleared) or when the descriptor already holds it, else a new copy of its content.
IArchive* TakeArchive(const XItemDataDesc* desc, XDataUnit* unit) {
  IArchive* archive = unit->Value.Archive;
  if (archive == nullptr) return nullptr;
  if (unit->Owned == archive || desc->Value.Archive == archive) {
    if (unit->Owned == archive) unit->Owned = nullptr;
    return archive;
  }
  XMemoArchive* copy = XMemoArchive::Malloc();
  if (copy == nullptr) return nullptr;
  if (copy->CopyFrom(archive) == 0) {
    copy->Release();
    return nullptr;
  }
  return copy;
}

// As TakeArchive for grids; a referencing grid is always copied.
XRowGrider* TakeGrider(const XItemDataDesc* desc, XDataUnit* unit) {
  XRowGrider* grider = unit->Value.Grider;
  if (grider == nullptr) return nullptr;
  bool owned = unit->Owned == grider && grider->IsReference() == 0;
  if (owned || desc->Value.Grider == grider) {
    if (unit->Owned == grider) unit->Owned = nullptr;
    return grider;
  }
  XRowGrider* copy = XRowGrider::Malloc();
  if (copy == nullptr) return nullptr;
  if (copy->CloneGrider(grider) == 0) {
    XRowGrider::Release(copy);
    return nullptr;
  }
  return copy;
}

int32_t SetFromArchiveUnit(XItemDataDesc* desc, XDataUnit* unit) {
  if (desc->Type != XDT_ARCHIVE) return 0;
  if (unit->Value.Archive == nullptr) return SetDescValue(desc, static_cast<IArchive*>(nullptr));
  IArchive* archive = TakeArchive(desc, unit);
  return archive == nullptr ? 0 : SetDescValue(desc, archive);
}

int32_t SetFromGriderUnit(XItemDataDesc* desc, XDataUnit* unit) {
  if (!IsGriderType(desc->Type)) return 0;
  if (unit->Value.Grider == nullptr) return SetDescValue(desc, static_cast<XRowGrider*>(nullptr));
  XRowGrider* grider = TakeGrider(desc, unit);
  return grider == nullptr ? 0 : SetDescValue(desc, grider);
}

}  // namespace

int32_t SetDescValue(XItemDataDesc* desc, int32_t value) {
  if (desc->Type == XDT_LONG) return StoreLong(desc, value);
  if (desc->Type == XDT_DOUBLE) return StoreDouble(desc, value);
  return 0;
}

int32_t SetDescValue(XItemDataDesc* desc, double value) {
  if (desc->Type == XDT_LONG) return StoreLong(desc, tabrow::TruncateToInt32(value));
  if (desc->Type == XDT_DOUBLE) return StoreDouble(desc, value);
  return 0;
}

int32_t SetDescValue(XItemDataDesc* desc, const XCHAR* text) {
  if (text == nullptr) return 0;
  if (tabrow::IsTextDescType(desc->Type)) return StoreText(desc, text);
  if (desc->Type != XDT_DATETIME) return 0;
  DATETIME time{};
  if (StringToTime(text, nullptr, time) == 0) return 0;
  return StoreTime(desc, time);
}

int32_t SetDescValue(XItemDataDesc* desc, const DATETIME& value) {
  return desc->Type == XDT_DATETIME ? StoreTime(desc, value) : 0;
}

int32_t SetDescValue(XItemDataDesc* desc, IArchive* archive) {
  if (desc->Type != XDT_ARCHIVE) return 0;
  return StoreObject(desc, desc->Value.Archive, archive, &desc->Value.Archive);
}

int32_t SetDescValue(XItemDataDesc* desc, XRowGrider* grider) {
  if (!IsGriderType(desc->Type)) return 0;
  return StoreObject(desc, desc->Value.Grider, grider, &desc->Value.Grider);
}

int32_t SetDescValue(XItemDataDesc* desc, XDataUnit* unit) {
  if (unit == nullptr) return 0;
  if ((unit->Null & 1) != 0) return SetDescNull(desc);
  switch (unit->Type) {
    case XDT_LONG:
      return SetDescValue(desc, unit->Value.Long);
    case XDT_STRING:
      return unit->Value.Text == nullptr ? 0 : SetDescValue(desc, unit->Value.Text);
    case XDT_DOUBLE:
      return SetDescValue(desc, unit->Value.Double);
    case XDT_DATETIME:
      return SetDescValue(desc, unit->Value.Time);
    case XDT_ARCHIVE:
      return SetFromArchiveUnit(desc, unit);
    default:
      return IsGriderType(unit->Type) ? SetFromGriderUnit(desc, unit) : 0;
  }
}

// Moving a descriptor's value out: into a data unit (lent) or into another descriptor (copied).
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "rows/desc_value.h"
#include "tabrow/itemdesc.h"

namespace {

// The longest text a descriptor can hold with its NUL in a 16-bit Size.
constexpr size_t kMaxDescText = 0xFFFE;

// Copies the source's text into a new buffer of exactly its length + 1 characters (cut to what
// a 16-bit Size can describe). False when the source has no text or memory runs out.
bool CopyText(XItemDataDesc* target, const XItemDataDesc* source) {
  const XCHAR* text = source->Value.Text;
  if (text == nullptr) return false;
  size_t limit = source->Size != 0 ? source->Size : kMaxDescText;
  size_t length = tabrow::BoundedTextLength(text, limit < kMaxDescText ? limit : kMaxDescText);
  auto* copy = static_cast<XCHAR*>(std::malloc((length + 1) * sizeof(XCHAR)));
  if (copy == nullptr) return false;
  std::memcpy(copy, text, length * sizeof(XCHAR));
  tabrow::StoreUnit(copy + length, 0);
  target->Value.Text = copy;
  target->Size = static_cast<uint16_t>(length + 1);
  return true;
}

}  // namespace

int32_t GetDescValue(const XItemDataDesc* desc, XDataUnit* unit) {
  if (unit == nullptr) return 0;
  ClearUnitData(unit);
  unit->Code = desc->Code;
  unit->Extra = desc->Extra;
  unit->Size = desc->Size;
  unit->Type = desc->Type == XDT_ALTSTRING ? XDT_STRING : desc->Type;
  if (desc->Type == XDT_ARCHIVE) {
    if (desc->Value.Archive == nullptr) return 1;
    unit->Value.Archive = desc->Value.Archive;
  } else if (desc->Type > 15 || tabrow::IsDescNull(desc)) {
    return 1;
  } else if (tabrow::IsTextDescType(desc->Type)) {
    if (desc->Value.Text == nullptr) return 1;
    unit->Value.Text = desc->Value.Text;
  } else if (desc->Type == XDT_LONG || desc->Type == XDT_DOUBLE || desc->Type == XDT_DATETIME) {
    std::memcpy(&unit->Value, &desc->Value, sizeof unit->Value);
  } else {
    return 1;
  }
  unit->Null = 0;
  return 1;
}

void CopyDataDesc(XItemDataDesc* target, const XItemDataDesc* source) {
  ClearItemDesc(target);
  std::memset(&target->Value, 0, sizeof target->Value);
  target->Type = source->Type;
  target->Size = source->Size;
  if (tabrow::IsDescNull(source)) return;
  switch (source->Type) {
    case XDT_LONG:
    case XDT_DOUBLE:
    case XDT_DATETIME:
      std::memcpy(&target->Value, &source->Value, sizeof target->Value);
      break;
    case XDT_STRING:
    case XDT_ALTSTRING:
      if (!CopyText(target, source)) return;
      break;
    default:
      return;
  }
  target->Flags = 0;
}

// Making, giving back and clearing descriptor records.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "rows/desc_value.h"
#include "tabrow/grider.h"
#include "tabrow/itemdesc.h"

namespace tabrow {

void ReleaseDescObject(XItemDataDesc* desc) {
  if (desc->Type == XDT_ARCHIVE) {
    if (desc->Value.Archive != nullptr) desc->Value.Archive->Release();
  } else if (IsGriderType(desc->Type)) {
    XRowGrider::Release(desc->Value.Grider);
  } else {
    return;
  }
  std::memset(&desc->Value, 0, sizeof desc->Value);
}

void ReleaseDescStorage(XItemDataDesc* desc) {
  if (IsTextDescType(desc->Type)) {
    std::free(desc->Value.Text);
    std::memset(&desc->Value, 0, sizeof desc->Value);
    return;
  }
  ReleaseDescObject(desc);
}

size_t BoundedTextLength(const XCHAR* text, size_t limit) {
  size_t length = 0;
  while (length < limit && LoadUnit(text + length) != 0) ++length;
  return length;
}

}  // namespace tabrow

using tabrow::kDescChanged;
using tabrow::kDescNull;

XItemDataDesc* MallocItemDesc() {
  auto* desc = static_cast<XItemDataDesc*>(std::calloc(1, sizeof(XItemDataDesc)));
  if (desc == nullptr) return nullptr;
  desc->Flags = kDescNull;
  desc->DescWord7 = 15;
  return desc;
}

void ReleaseItemDesc(XItemDataDesc* desc) {
  XItemDataDesc* record = desc;
  while (record != nullptr) {
    XItemDataDesc* next = record->Next;
    XMem_Free(record->Text1);
    XMem_Free(record->Text2);
    record->Text1 = nullptr;
    record->Text2 = nullptr;
    tabrow::ReleaseDescStorage(record);
    if (record != desc) std::free(record);
    record = next;
  }
}

void MallocDescSpace(XItemDataDesc* desc) {
  if (!tabrow::IsTextDescType(desc->Type) || desc->Value.Text != nullptr || desc->Size == 0) {
    return;
  }
  desc->Value.Text = static_cast<XCHAR*>(std::malloc(desc->Size * sizeof(XCHAR)));
}

int32_t SizeOfDesc(const XItemDataDesc* desc) {
  return desc->Type == XDT_STRING ? desc->Size * 2 : desc->Size;
}

void ClearItemDesc(XItemDataDesc* desc) {
  tabrow::ReleaseDescStorage(desc);
  desc->Flags = kDescNull;
}

int32_t SetDescNull(XItemDataDesc* desc) {
  if (tabrow::IsDescNull(desc)) return 1;
  desc->Flags |= kDescNull | kDescChanged;
  tabrow::ReleaseDescObject(desc);
  return 2;
}

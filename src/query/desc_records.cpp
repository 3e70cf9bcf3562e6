#include "query/desc_records.h"

#include <cstring>

#include "platform/text.h"

namespace tabrow {

XCHAR* CopyTextN(const void* units, size_t length) {
  auto* copy = static_cast<XCHAR*>(std::malloc((length + 1) * sizeof(XCHAR)));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, units, length * sizeof(XCHAR));
  copy[length] = 0;
  return copy;
}

XCHAR* StoredText(const void* units, size_t length) {
  return length == 0 ? nullptr : CopyTextN(units, length);
}

XCHAR* StoredText(const XCHAR* text) {
  return StoredText(text, TextLength(text));
}

namespace {

void FreeText(XCHAR** text) {
  std::free(*text);
  *text = nullptr;
}

}  // namespace

void FreeTexts(XQueryFieldDesc* record) {
  FreeText(&record->Expression);
  FreeText(&record->ShortText);
  FreeText(&record->LongText);
}

void FreeTexts(XQueryWhereDesc* record) {
  FreeText(&record->Name);
  FreeText(&record->Value);
  FreeText(&record->ShortText);
  FreeText(&record->LongText);
}

void FreeTexts(XQueryGroupDesc* record) {
  FreeText(&record->Expression);
  FreeText(&record->ShortText);
}

void FreeTexts(XQueryOrderDesc* record) {
  FreeText(&record->Expression);
  FreeText(&record->ShortText);
}

}  // namespace tabrow

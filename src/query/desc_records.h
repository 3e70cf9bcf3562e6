// Heap texts and the four descriptor record kinds of a query template: making, freeing and
// walking their singly linked chains.
#ifndef TABROW_QUERY_DESC_RECORDS_H_
#define TABROW_QUERY_DESC_RECORDS_H_

#include <cstdlib>

#include "tabrow/query.h"

namespace tabrow {

// A heap copy of the first `length` units at `units` and a NUL; null when memory runs out. The
// source may sit at any address.
XCHAR* CopyTextN(const void* units, size_t length);
// A record's text: null for an empty text (length 0), else as CopyTextN.
XCHAR* StoredText(const void* units, size_t length);
// A record's text copied from a NUL-terminated text; null for a null or empty text.
XCHAR* StoredText(const XCHAR* text);

// Frees every text of a record (not the record) and nulls the pointers.
void FreeTexts(XQueryFieldDesc* record);
void FreeTexts(XQueryWhereDesc* record);
void FreeTexts(XQueryGroupDesc* record);
void FreeTexts(XQueryOrderDesc* record);

// A zeroed record, or null when memory runs out.
template <typename Record>
Record* NewRecord() {
  return static_cast<Record*>(std::calloc(1, sizeof(Record)));
}

// Frees `first` and every record after it, texts included.
template <typename Record>
void FreeChain(Record* first) {
  while (first != nullptr) {
    Record* next = first->Next;
    FreeTexts(first);
    std::free(first);
    first = next;
  }
}

// Links `record` behind the last record of the list that starts at *head.
template <typename Record>
void AppendRecord(Record** head, Record* record) {
  while (*head != nullptr) head = &(*head)->Next;
  *head = record;
}

// Record n of a chain (0-based), or null when there is none.
template <typename Record>
Record* RecordAt(Record* first, int32_t n) {
  if (n < 0) return nullptr;
  for (; first != nullptr && n > 0; --n) first = first->Next;
  return first;
}

}  // namespace tabrow

#endif  // TABROW_QUERY_DESC_RECORDS_H_

// The three ways a grid shares another grid's storage: borrowing it (a reference), taking it
// over from another grid, and taking it from the grid unit of a row.
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"

int32_t XRowGrider::SetReference(XRowGrider* source) {
  if (source == nullptr || source == this) return 0;
  ClearBuffer();
  Reference = 1;
  Types = source->Types;
  Sizes = source->Sizes;
  Codes = source->Codes;
  Kapes = source->Kapes;
  ColCounter = source->ColCounter;
  Head = source->Head;
  SourceKind = source->SourceKind;
  Source = source->Source;
  return 1;
}

int32_t XRowGrider::AttachGrider(XRowGrider* source) {
  if (source == nullptr || source == this) return 0;
  ClearBuffer();
  if (source->Reference != 0) return CloneGrider(source);
  Types = source->Types;
  Sizes = source->Sizes;
  Codes = source->Codes;
  Kapes = source->Kapes;
  ColCounter = source->ColCounter;
  ColCapacity = source->ColCapacity;
  Head = source->Head;
  Tail = source->Tail;
  SourceKind = source->SourceKind;
  Source = source->Source;
  // The source keeps seeing the same lines but no longer owns them.
  source->Reference = 1;
  return 1;
}

int32_t XRowGrider::SetGrider(XRowBuffer* row) {
  if (row == nullptr) return 0;
  XDataUnit* unit = row->GetRowBuffer();
  if (unit != nullptr && unit->Value.Grider == this && IsGriderType(unit->Type)) return 0;
  ClearBuffer();
  if (unit == nullptr) return 1;
  if (!IsGriderType(unit->Type)) return 0;
  XRowGrider* grider = unit->Value.Grider;
  if (grider == nullptr) return 1;
  if (unit->Owned == nullptr || grider->Reference != 0) {
    int32_t result = SetReference(grider);
    Tail = grider->Tail;
    return result;
  }
  TakeStorage(grider);
  return 1;
}

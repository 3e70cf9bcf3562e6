// Walking the line list, the line header accessors and deleting lines.
#include "grid/line_layout.h"
#include "tabrow/grider.h"

int32_t XRowGrider::GetRowCounter() const {
  int32_t count = 0;
  for (const RowLine* line = Head; line != nullptr; line = line->Next) ++count;
  return count;
}

void* XRowGrider::MoveNextLine(int32_t flag) {
  if (flag == 0) {
    Current = Head;
  } else if (Current != nullptr) {
    Current = Current->Next;
  }
  return Current;
}

void* XRowGrider::GetNextLine(const void* line) const {
  if (line == nullptr) return Head;
  return static_cast<const RowLine*>(line)->Next;
}

RowLine* XRowGrider::LineOrCurrent(const void* line) const {
  return line != nullptr ? static_cast<RowLine*>(const_cast<void*>(line)) : Current;
}

uint32_t XRowGrider::GetLineMarker(const void* line) const {
  const RowLine* target = LineOrCurrent(line);
  return target != nullptr ? target->Marker : 0;
}

uint32_t XRowGrider::GetLineProper(const void* line) const {
  const RowLine* target = LineOrCurrent(line);
  return target != nullptr ? target->Proper : 0;
}

uintptr_t XRowGrider::GetLineBinder(const void* line) const {
  const RowLine* target = LineOrCurrent(line);
  return target != nullptr ? target->Binder : 0;
}

int32_t XRowGrider::SetLineMarker(void* line, uint32_t marker) {
  RowLine* target = LineOrCurrent(line);
  if (target == nullptr) return 0;
  target->Marker = marker;
  return 1;
}

int32_t XRowGrider::SetLineProper(void* line, uint32_t proper) {
  RowLine* target = LineOrCurrent(line);
  if (target == nullptr) return 0;
  target->Proper = proper;
  return 1;
}

int32_t XRowGrider::SetLineBinder(void* line, uintptr_t binder) {
  RowLine* target = LineOrCurrent(line);
  if (target == nullptr) return 0;
  target->Binder = binder;
  return 1;
}

int32_t XRowGrider::DeleteRowLine(void* line) {
  if (Reference != 0 || line == nullptr) return 0;
  RowLine* previous = nullptr;
  RowLine* found = Head;
  while (found != nullptr && found != line) {
    previous = found;
    found = found->Next;
  }
  if (found == nullptr) return 0;
  if (previous != nullptr) {
    previous->Next = found->Next;
  } else {
    Head = found->Next;
  }
  if (Tail == found) Tail = previous;
  if (Current == found) Current = found->Next;
  tabrow::FreeLine(found);
  return 1;
}

// The grid's life: construction, moving, destruction and giving back its storage.
#include "tabrow/grider.h"

#include <cstdlib>
#include <new>

#include "grid/line_layout.h"

XRowGrider::XRowGrider()
    : SourceKind(0),
      Source(0),
      Types(nullptr),
      Sizes(nullptr),
      Codes(nullptr),
      Kapes(nullptr),
      ColCounter(0),
      Reference(0),
      Head(nullptr),
      Tail(nullptr),
      Current(nullptr),
      CellArchive(nullptr),
      ColCapacity(0) {}

XRowGrider::~XRowGrider() {
  ClearBuffer();
  if (CellArchive != nullptr) CellArchive->Release();
}

XRowGrider::XRowGrider(XRowGrider&& other) noexcept : XRowGrider() {
  TakeStorage(&other);
  other.SourceKind = 0;
  other.Source = 0;
}

XRowGrider& XRowGrider::operator=(XRowGrider&& other) noexcept {
  if (this != &other) {
    ClearBuffer();
    TakeStorage(&other);
    other.SourceKind = 0;
    other.Source = 0;
  }
  return *this;
}

XRowGrider* XRowGrider::Malloc() {
  return new (std::nothrow) XRowGrider();
}

void XRowGrider::Release() {
  delete this;
}

void XRowGrider::Release(XRowGrider* grider) {
  if (grider != nullptr) grider->Release();
}

void XRowGrider::ClearBuffer() {
  if (Reference == 0) {
    std::free(Types);
    std::free(Sizes);
    std::free(Codes);
    std::free(Kapes);
    tabrow::FreeLines(Head);
  }
  Types = nullptr;
  Sizes = nullptr;
  Codes = nullptr;
  Kapes = nullptr;
  ColCounter = 0;
  ColCapacity = 0;
  Head = nullptr;
  Tail = nullptr;
  Current = nullptr;
  Reference = 0;
}

// Moves the description, the lines, the borrowing state and the source words of `source` into
// this (cleared) grid and leaves `source` without storage (its source words stay).
void XRowGrider::TakeStorage(XRowGrider* source) {
  SourceKind = source->SourceKind;
  Source = source->Source;
  Types = source->Types;
  Sizes = source->Sizes;
  Codes = source->Codes;
  Kapes = source->Kapes;
  ColCounter = source->ColCounter;
  ColCapacity = source->ColCapacity;
  Reference = source->Reference;
  Head = source->Head;
  Tail = source->Tail;
  Current = source->Current;
  source->Reference = 1;  // forget the storage without freeing it
  source->ClearBuffer();
}

void XRowGrider::AppendLine(RowLine* line) {
  if (Tail != nullptr) {
    Tail->Next = line;
  } else {
    Head = line;
  }
  Tail = line;
}

// Gives a new line its header words and links it at Tail; passes null through.
void* XRowGrider::LinkNewLine(RowLine* line, uint32_t marker, uint32_t proper, uintptr_t binder) {
  if (line == nullptr) return nullptr;
  line->Marker = marker;
  line->Proper = proper;
  line->Binder = binder;
  AppendLine(line);
  return line;
}

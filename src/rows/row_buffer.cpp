// The row buffer's chain: construction, moving, and the operations that link and unlink units.
#include "tabrow/rowbuffer.h"
#include "values/unit_alloc.h"

XRowBuffer::XRowBuffer() : RowWord1(0), RowWord2(0), RowWord3(0), head_(nullptr), tail_(nullptr) {}

XRowBuffer::~XRowBuffer() {
  ClearBuffer();
}

XRowBuffer::XRowBuffer(XRowBuffer&& other) noexcept
    : RowWord1(other.RowWord1),
      RowWord2(other.RowWord2),
      RowWord3(other.RowWord3),
      head_(other.head_),
      tail_(other.tail_) {
  other.RowWord1 = other.RowWord2 = other.RowWord3 = 0;
  other.head_ = other.tail_ = nullptr;
}

XRowBuffer& XRowBuffer::operator=(XRowBuffer&& other) noexcept {
  if (&other == this) return *this;
  ClearBuffer();
  RowWord1 = other.RowWord1;
  RowWord2 = other.RowWord2;
  RowWord3 = other.RowWord3;
  head_ = other.head_;
  tail_ = other.tail_;
  other.RowWord1 = other.RowWord2 = other.RowWord3 = 0;
  other.head_ = other.tail_ = nullptr;
  return *this;
}

void XRowBuffer::ClearBuffer() {
  XDataUnit* unit = head_;
  head_ = tail_ = nullptr;
  while (unit != nullptr) {
    XDataUnit* next = unit->Next;
    tabrow::ReleaseDataUnit(unit);
    unit = next;
  }
}

XDataUnit* XRowBuffer::GetRowBuffer() const {
  return head_;
}

int32_t XRowBuffer::GetUnitCounter() const {
  int32_t count = 0;
  for (const XDataUnit* unit = head_; unit != nullptr; unit = unit->Next) ++count;
  return count;
}

int32_t XRowBuffer::CheckRepeater() const {
  for (const XDataUnit* unit = head_; unit != nullptr; unit = unit->Next) {
    for (const XDataUnit* later = unit->Next; later != nullptr; later = later->Next) {
      if (later->Code == unit->Code) return 0;
    }
  }
  return 1;
}

void XRowBuffer::Append(XDataUnit* unit) {
  unit->Next = nullptr;
  if (tail_ == nullptr) {
    head_ = unit;
  } else {
    tail_->Next = unit;
  }
  tail_ = unit;
}

void XRowBuffer::AddUnit(XDataUnit* unit) {
  if (unit != nullptr) Append(unit);
}

void XRowBuffer::DropUnit(XDataUnit* unit) {
  XDataUnit* previous = nullptr;
  for (XDataUnit* current = head_; current != nullptr; current = current->Next) {
    if (current != unit) {
      previous = current;
      continue;
    }
    if (previous == nullptr) {
      head_ = unit->Next;
    } else {
      previous->Next = unit->Next;
    }
    if (tail_ == unit) tail_ = previous;
    unit->Next = nullptr;
    return;
  }
}

int32_t XRowBuffer::Combine(XRowBuffer* other) {
  if (other == nullptr || other == this || other->head_ == nullptr) return 0;
  if (other->RowWord2 != 0) RowWord2 = other->RowWord2;
  if (other->RowWord1 != 0) RowWord1 = other->RowWord1;
  int32_t moved = other->GetUnitCounter();
  if (tail_ == nullptr) {
    head_ = other->head_;
  } else {
    tail_->Next = other->head_;
  }
  tail_ = other->tail_;
  other->head_ = other->tail_ = nullptr;
  return moved;
}

void XRowBuffer::AttachBuffer(XRowBuffer* other) {
  if (other == nullptr || other == this) return;
  ClearBuffer();
  head_ = other->head_;
  tail_ = other->tail_;
  other->head_ = other->tail_ = nullptr;
}

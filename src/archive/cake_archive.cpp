// A read-only byte stream over memory that the caller lends; nothing is ever copied.
#include <cstdint>
#include <cstring>
#include <new>

#include "archive/block_reader.h"
#include "tabrow/archive.h"

XCakeArchive::XCakeArchive() : data_(nullptr), length_(0), position_(0) {}

XCakeArchive* XCakeArchive::Malloc() {
  return new (std::nothrow) XCakeArchive();
}

void XCakeArchive::Release() {
  delete this;
}

void XCakeArchive::SetBuffer(const void* address, uint32_t count) {
  data_ = static_cast<const uint8_t*>(address);
  length_ = address == nullptr ? 0 : count;
  position_ = 0;
}

int32_t XCakeArchive::GetPosition(uint32_t* position) {
  if (position != nullptr) *position = position_;
  return 1;
}

int32_t XCakeArchive::SeekToBegin() {
  position_ = 0;
  return 1;
}

int32_t XCakeArchive::Seek(uint32_t position) {
  if (position > length_) return 0;
  position_ = position;
  return 1;
}

int32_t XCakeArchive::GetLength(uint32_t* length) {
  if (length != nullptr) *length = length_;
  return 1;
}

int32_t XCakeArchive::SetLength(uint32_t) {
  return 0;
}

const uint8_t* XCakeArchive::GetData() {
  return length_ == 0 ? nullptr : data_;
}

int32_t XCakeArchive::Skip(uint32_t count) {
  return tabrow::SkipInBlock(length_, &position_, count);
}

int32_t XCakeArchive::Read(void* buffer, uint32_t count) {
  return tabrow::ReadFromBlock(data_, length_, &position_, buffer, count);
}

int32_t XCakeArchive::Reserve(uint32_t) {
  return 0;
}

int32_t XCakeArchive::Append(const void*, uint32_t) {
  return -1;
}

int32_t XCakeArchive::CopyFrom(IArchive*) {
  return 0;
}

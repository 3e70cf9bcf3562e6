// A growable byte stream in one malloc'd block. The block grows geometrically, so a run of
// appends costs amortized constant time per byte; its length never reaches 4 GiB.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "archive/block_reader.h"
#include "tabrow/archive.h"

namespace {

constexpr uint32_t kMinimumCapacity = 256;
// CopyFrom reads an archive that cannot lend its block in pieces of this size.
constexpr uint32_t kCopyChunk = 64 * 1024;

}  // namespace

XMemoArchive::XMemoArchive() : data_(nullptr), length_(0), capacity_(0), position_(0) {}

XMemoArchive::~XMemoArchive() {
  std::free(data_);
}

XMemoArchive* XMemoArchive::Malloc() {
  return new (std::nothrow) XMemoArchive();
}

void XMemoArchive::Release() {
  delete this;
}

int32_t XMemoArchive::GetPosition(uint32_t* position) {
  if (position != nullptr) *position = position_;
  return 1;
}

int32_t XMemoArchive::SeekToBegin() {
  position_ = 0;
  return 1;
}

int32_t XMemoArchive::Seek(uint32_t position) {
  if (position > length_) return 0;
  position_ = position;
  return 1;
}

int32_t XMemoArchive::GetLength(uint32_t* length) {
  if (length != nullptr) *length = length_;
  return 1;
}

int32_t XMemoArchive::SetLength(uint32_t length) {
  if (length > length_) return 0;
  length_ = length;
  if (position_ > length_) position_ = length_;
  return 1;
}

const uint8_t* XMemoArchive::GetData() {
  return length_ == 0 ? nullptr : data_;
}

int32_t XMemoArchive::Skip(uint32_t count) {
  return tabrow::SkipInBlock(length_, &position_, count);
}

int32_t XMemoArchive::Read(void* buffer, uint32_t count) {
  return tabrow::ReadFromBlock(data_, length_, &position_, buffer, count);
}

int32_t XMemoArchive::Reserve(uint32_t capacity) {
  return Grow(capacity);
}

int32_t XMemoArchive::Append(const void* buffer, uint32_t count) {
  if (count == 0) return 0;
  if (buffer == nullptr || count > tabrow::kMaximumTransfer) return -1;
  // The bytes may come from this archive's own block (a document appended to itself), which
  // growing can move: keep their offset and find them again afterwards.
  const uint8_t* source = static_cast<const uint8_t*>(buffer);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t at = reinterpret_cast<uintptr_t>(source);
  const bool inside = data_ != nullptr && at >= begin && at < begin + capacity_;
  const uintptr_t offset = at - begin;
  if (!Grow(static_cast<uint64_t>(length_) + count)) return -1;
  if (inside) source = data_ + offset;
  std::memmove(data_ + length_, source, count);
  length_ += count;
  return static_cast<int32_t>(count);
}

uint8_t* XMemoArchive::AppendSpace(uint32_t count) {
  if (count == 0 || count > tabrow::kMaximumTransfer) return nullptr;
  if (!Grow(static_cast<uint64_t>(length_) + count)) return nullptr;
  uint8_t* space = data_ + length_;
  length_ += count;
  return space;
}

int32_t XMemoArchive::CopyFrom(IArchive* source) {
  if (source == nullptr) return 0;
  if (source == this) return SeekToBegin();
  uint32_t length = 0;
  source->GetLength(&length);
  const uint8_t* bytes = source->GetData();
  if (length == 0 || (bytes != nullptr && length <= capacity_)) {
    // The source may be a view over this very block, hence memmove.
    if (length > 0) std::memmove(data_, bytes, length);
    length_ = length;
    position_ = 0;
    return 1;
  }
  uint8_t* copy = static_cast<uint8_t*>(std::malloc(length));
  if (copy == nullptr) return 0;
  if (bytes != nullptr) {
    std::memcpy(copy, bytes, length);
  } else {
    source->SeekToBegin();
    for (uint32_t done = 0; done < length;) {
      const uint32_t want = length - done < kCopyChunk ? length - done : kCopyChunk;
      const int32_t got = source->Read(copy + done, want);
      if (got <= 0 || static_cast<uint32_t>(got) > want) {
        std::free(copy);
        return 0;
      }
      done += static_cast<uint32_t>(got);
    }
  }
  std::free(data_);
  data_ = copy;
  length_ = length;
  capacity_ = length;
  position_ = 0;
  return 1;
}

// Makes the block hold at least `needed` bytes: twice the old capacity when that is more, so
// that repeated appends stay linear, or exactly `needed` when the doubled block is refused.
int32_t XMemoArchive::Grow(uint64_t needed) {
  if (needed <= capacity_) return 1;
  if (needed > UINT32_MAX) return 0;
  uint64_t wanted = static_cast<uint64_t>(capacity_) * 2;
  if (wanted < kMinimumCapacity) wanted = kMinimumCapacity;
  if (wanted < needed) wanted = needed;
  if (wanted > UINT32_MAX) wanted = UINT32_MAX;
  void* grown = std::realloc(data_, static_cast<size_t>(wanted));
  if (grown == nullptr && wanted > needed) {
    wanted = needed;
    grown = std::realloc(data_, static_cast<size_t>(wanted));
  }
  if (grown == nullptr) return 0;
  data_ = static_cast<uint8_t*>(grown);
  capacity_ = static_cast<uint32_t>(wanted);
  return 1;
}

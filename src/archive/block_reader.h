// The reading side shared by the archives that hold their content as one block of memory.
#ifndef TABROW_ARCHIVE_BLOCK_READER_H_
#define TABROW_ARCHIVE_BLOCK_READER_H_

#include <cstdint>
#include <cstring>

namespace tabrow {

// Read and Append report their counts as int32_t, so one call moves at most this many bytes.
constexpr uint32_t kMaximumTransfer = INT32_MAX;

// Moves *position forward by `count` within a block of `length` bytes; 0 when fewer remain.
inline int32_t SkipInBlock(uint32_t length, uint32_t* position, uint32_t count) {
  if (count > length - *position) return 0;
  *position += count;
  return 1;
}

// Copies up to `count` bytes from *position of the block into `buffer` and advances *position;
// returns the number copied.
inline int32_t ReadFromBlock(const uint8_t* data, uint32_t length, uint32_t* position, void* buffer,
                             uint32_t count) {
  if (buffer == nullptr) return 0;
  uint32_t n = length - *position;
  if (n > count) n = count;
  if (n > kMaximumTransfer) n = kMaximumTransfer;
  if (n > 0) std::memcpy(buffer, data + *position, n);
  *position += n;
  return static_cast<int32_t>(n);
}

}  // namespace tabrow

#endif  // TABROW_ARCHIVE_BLOCK_READER_H_

// Little helpers for the stored forms of rows and descriptors: 32-bit little-endian words packed
// into byte blocks, and how many bytes a stream still holds (checked before a stored length is
// trusted with an allocation).
#ifndef TABROW_ROWS_STREAM_BYTES_H_
#define TABROW_ROWS_STREAM_BYTES_H_

#include <cstring>

#include "tabrow/archive.h"

namespace tabrow {

// Writes `value` at `out` (any address) and returns the position after it. The host is
// little-endian, so the stored byte order is the memory order.
inline uint8_t* PutWord(uint8_t* out, uint32_t value) {
  std::memcpy(out, &value, sizeof value);
  return out + sizeof value;
}

inline uint8_t* PutHalf(uint8_t* out, uint16_t value) {
  std::memcpy(out, &value, sizeof value);
  return out + sizeof value;
}

// Bytes between the archive's read position and its end.
inline uint32_t RemainingBytes(IArchive* archive) {
  uint32_t position = 0;
  uint32_t length = 0;
  archive->GetPosition(&position);
  archive->GetLength(&length);
  return length > position ? length - position : 0;
}

}  // namespace tabrow

#endif  // TABROW_ROWS_STREAM_BYTES_H_

// Internal helpers for the memory form of grid lines: the end offset table at the start of a
// line's data and the checks that keep cell access inside the data. Line memory itself is in
// line_memory.h.
#ifndef TABROW_GRID_LINE_LAYOUT_H_
#define TABROW_GRID_LINE_LAYOUT_H_

#include <cstring>

#include "grid/line_memory.h"
#include "tabrow/grider.h"

namespace tabrow {

// A grid never has more columns than its per-column work tables hold.
constexpr int32_t kMaxColumns = 256;
// Cells of one line end at a 16-bit offset.
constexpr uint32_t kMaxCellBytes = 65535;
// The largest line data a well-formed line can have: a full table and full cells.
constexpr uint32_t kMaxDataSize = 2 * kMaxColumns + kMaxCellBytes;
// Identifier, kind and byte count in front of a stored line header.
constexpr uint32_t kLineItemPrefix = 12;
// Marker, Proper, DataSize and the binder's low 32 bits.
constexpr uint32_t kLineHeaderBytes = 16;

// Table entry `column` of line data (the data may sit at any address).
inline uint32_t LoadEnd(const uint8_t* data, int32_t column) {
  uint16_t end;
  std::memcpy(&end, data + 2 * column, sizeof end);
  return end;
}

inline void StoreEnd(uint8_t* data, int32_t column, uint32_t end) {
  uint16_t word = static_cast<uint16_t>(end);
  std::memcpy(data + 2 * column, &word, sizeof word);
}

inline void Store32(uint8_t* target, uint32_t value) {
  std::memcpy(target, &value, 4);
}

inline uint32_t Load32(const uint8_t* source) {
  uint32_t value;
  std::memcpy(&value, source, 4);
  return value;
}

// Copies `count` bytes as memcpy does. Copies of up to 64 bytes, the usual cell or line, are
// two fixed-size moves whose ranges may overlap, with no library call.
inline void CopyBytes(uint8_t* target, const uint8_t* source, size_t count) {
  if (count >= 32 && count <= 64) {
    std::memcpy(target, source, 32);
    std::memcpy(target + count - 32, source + count - 32, 32);
  } else if (count >= 16 && count < 32) {
    std::memcpy(target, source, 16);
    std::memcpy(target + count - 16, source + count - 16, 16);
  } else if (count >= 8 && count < 16) {
    std::memcpy(target, source, 8);
    std::memcpy(target + count - 8, source + count - 8, 8);
  } else {
    std::memcpy(target, source, count);
  }
}

// The 28 bytes that start a stored line item: identifier, kind, byte count, then the line header
// (Marker, Proper, DataSize, the binder's low 32 bits), each a 32-bit little-endian word.
constexpr uint32_t kLinePrefixBytes = kLineItemPrefix + kLineHeaderBytes;
inline void PutLinePrefix(uint8_t* out, uint32_t marker, uint32_t proper, uint32_t data_size,
                          uintptr_t binder) {
  Store32(out, GDI_LINE);
  Store32(out + 4, XMF_DATA);
  Store32(out + 8, kLineHeaderBytes + data_size);
  Store32(out + 12, marker);
  Store32(out + 16, proper);
  Store32(out + 20, data_size);
  Store32(out + 24, static_cast<uint32_t>(binder));
}

// Writes a line's item: its prefix (DataSize as given) and `data_size` bytes of its data.
inline void PutLineItem(uint8_t* out, const RowLine* line, uint32_t data_size) {
  PutLinePrefix(out, line->Marker, line->Proper, data_size, line->Binder);
  if (data_size > 0) CopyBytes(out + kLinePrefixBytes, line->Data, data_size);
}

// Checks in constant time that cell `column` of a line lies inside its data: the table fits,
// the cell's start is not after its end and its end is inside the data. False when the line
// holds no data or the check fails; such a cell reads as empty.
bool CellInside(const RowLine* line, int32_t columns, int32_t column);

// True when the whole line fits a grid of `columns` columns: no data at all, or a table whose
// entries never decrease and whose last entry ends exactly at DataSize. Only such lines are
// changed in place.
bool LineLaidOut(const RowLine* line, int32_t columns);

}  // namespace tabrow

#endif  // TABROW_GRID_LINE_LAYOUT_H_

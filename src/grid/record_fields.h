// Internal helpers for the record buffers that lines are built from (AddItemLine, AddDataLine)
// or saved from (SaveGriderLine). Fields follow one another with no alignment: a text takes
// 2 x Size bytes, any other field Size bytes, except that in a database record a date-time is a
// 16-byte DbTimestamp and an archive a 44-byte block holding its IArchive pointer at offset 16.
#ifndef TABROW_GRID_RECORD_FIELDS_H_
#define TABROW_GRID_RECORD_FIELDS_H_

#include <cstring>

#include "platform/text.h"
#include "tabrow/datetime.h"
#include "tabrow/grider.h"

namespace tabrow {

constexpr size_t kArchiveBlockBytes = 44;
constexpr size_t kArchivePointerOffset = 16;

// Bytes a field of `type` and declared `size` takes in a record of the database form, or of the
// plain form when `database` is false.
inline size_t FieldWidth(uint16_t type, uint16_t size, bool database) {
  if (database && type == XDT_DATETIME) return sizeof(DbTimestamp);
  if (database && type == XDT_ARCHIVE) return kArchiveBlockBytes;
  if (type == XDT_STRING) return 2 * static_cast<size_t>(size);
  return size;
}

// The archive pointer in a database record's archive field (any address).
inline IArchive* FieldArchive(const uint8_t* field) {
  IArchive* archive;
  std::memcpy(&archive, field + kArchivePointerOffset, sizeof archive);
  return archive;
}

// Characters of the text at `field` (any address) before its NUL, never more than `slot`.
inline size_t SlotLength(const uint8_t* field, uint16_t slot) {
  const XCHAR* units = reinterpret_cast<const XCHAR*>(field);
  size_t length = 0;
  while (length < slot && LoadUnit(units + length) != 0) ++length;
  return length;
}

}  // namespace tabrow

#endif  // TABROW_GRID_RECORD_FIELDS_H_

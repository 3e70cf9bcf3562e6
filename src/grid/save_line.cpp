// Writing one database record as a stored grid line, without a grid.
#include <cstring>

#include "grid/line_layout.h"
#include "grid/record_fields.h"
#include "tabrow/datetime.h"
#include "tabrow/grider.h"

namespace {

constexpr uint32_t kChunkBytes = 8192;

// Bytes a field takes in the record.
size_t FieldWidth(const XFieldDesc* field) {
  return tabrow::FieldWidth(field->Type, field->Size, true);
}

// Bytes a non-null field's cell takes; false for a type a line cannot hold or a number field
// narrower than its value. A text is read up to its NUL, never past its field: a field that
// has no NUL gives all its characters.
bool CellLength(const XFieldDesc* field, const uint8_t* value, uint32_t* length) {
  switch (field->Type) {
    case XDT_LONG:
      *length = 4;
      return field->Size >= 4;
    case XDT_DOUBLE:
      *length = 8;
      return field->Size >= 8;
    case XDT_DATETIME:
      *length = 8;
      return true;
    case XDT_STRING: {
      size_t characters = tabrow::SlotLength(value, field->Size) + 1;
      *length = characters > tabrow::kMaxCellBytes / 2 ? tabrow::kMaxCellBytes + 1
                                                       : static_cast<uint32_t>(2 * characters);
      return true;
    }
    case XDT_ARCHIVE: {
      IArchive* archive = tabrow::FieldArchive(value);
      uint32_t size = 0;
      if (archive != nullptr) archive->GetLength(&size);
      *length = size <= tabrow::kMaxCellBytes ? size : 0;
      return true;
    }
    default:
      return false;
  }
}

// Streams `length` bytes of an archive from its start; bytes the archive fails to give are
// written as zeros so that the item keeps the length its header announced.
bool AppendArchive(IArchive* target, IArchive* source, uint32_t length) {
  uint8_t chunk[kChunkBytes];
  source->SeekToBegin();
  while (length > 0) {
    uint32_t count = length < kChunkBytes ? length : kChunkBytes;
    int32_t got = source->Read(chunk, count);
    uint32_t filled = got > 0 ? static_cast<uint32_t>(got) : 0;
    if (filled < count) std::memset(chunk + filled, 0, count - filled);
    if (target->Append(chunk, count) < 0) return false;
    length -= count;
  }
  return true;
}

bool AppendCell(IArchive* archive, const XFieldDesc* field, const uint8_t* value, uint32_t length) {
  if (field->Type == XDT_DATETIME) {
    DbTimestamp stamp;
    std::memcpy(&stamp, value, sizeof stamp);
    DATETIME time;
    TimeTransfer(&time, &stamp);
    return archive->Append(&time, sizeof time) >= 0;
  }
  if (field->Type == XDT_ARCHIVE) {
    return AppendArchive(archive, tabrow::FieldArchive(value), length);
  }
  if (field->Type == XDT_STRING) {
    const uint8_t nul[2] = {0, 0};
    return (length == 2 || archive->Append(value, length - 2) >= 0) &&
           archive->Append(nul, sizeof nul) >= 0;
  }
  return archive->Append(value, length) >= 0;
}

}  // namespace

int32_t SaveGriderLine(IArchive* archive, const XFieldDesc* fields, const void* record,
                       const int32_t* status) {
  if (archive == nullptr || (fields != nullptr && record == nullptr)) return 0;
  const uint8_t* base = static_cast<const uint8_t*>(record);
  uint32_t lengths[tabrow::kMaxColumns];
  uint8_t table[2 * tabrow::kMaxColumns];
  int32_t count = 0;
  uint32_t total = 0;
  size_t position = 0;
  for (const XFieldDesc* field = fields; field != nullptr; field = field->Next, ++count) {
    if (count == tabrow::kMaxColumns) return 0;
    uint32_t length = 0;
    bool null = status != nullptr && status[count] == 3;
    if (!null && !CellLength(field, base + position, &length)) return 0;
    total += length;
    if (total > tabrow::kMaxCellBytes) return 0;
    lengths[count] = length;
    tabrow::StoreEnd(table, count, total);
    position += FieldWidth(field);
  }
  uint32_t data_size = 2 * static_cast<uint32_t>(count) + total;
  uint8_t prefix[tabrow::kLinePrefixBytes];
  tabrow::PutLinePrefix(prefix, 0, 0, data_size, 0);
  if (archive->Append(prefix, sizeof prefix) < 0) return 0;
  if (count > 0 && archive->Append(table, 2 * static_cast<uint32_t>(count)) < 0) return 0;
  position = 0;
  int32_t i = 0;
  for (const XFieldDesc* field = fields; field != nullptr; field = field->Next, ++i) {
    if (lengths[i] > 0 && !AppendCell(archive, field, base + position, lengths[i])) return 0;
    position += FieldWidth(field);
  }
  return 1;
}

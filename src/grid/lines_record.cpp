// Lines built from record buffers: a plain record with null-flag bytes, and a database record
// with status words, whose date-times are DbTimestamps and whose archives sit in 44-byte blocks.
#include <cstring>

#include "grid/lines_build.h"
#include "platform/text.h"
#include "tabrow/grider.h"

namespace {

constexpr int32_t kNullStatus = 3;
constexpr size_t kArchiveBlockBytes = 44;
constexpr size_t kArchivePointerOffset = 16;

// Bytes a field of a column takes in the record.
size_t FieldWidth(uint16_t type, uint16_t size, bool database) {
  if (database && type == XDT_DATETIME) return sizeof(DbTimestamp);
  if (database && type == XDT_ARCHIVE) return kArchiveBlockBytes;
  if (type == XDT_STRING) return 2 * static_cast<size_t>(size);
  return size;
}

// Characters of the text at `text` before its NUL, never more than `slot`.
size_t SlotLength(const uint8_t* text, uint16_t slot) {
  const XCHAR* units = reinterpret_cast<const XCHAR*>(text);
  size_t length = 0;
  while (length < slot && tabrow::LoadUnit(units + length) != 0) ++length;
  return length;
}

// Plans the cell of a non-null field; false for a column type the form does not read or a
// field narrower than its value.
bool PlanField(uint16_t type, uint16_t size, bool database, const uint8_t* field,
               tabrow::CellPlan* plan) {
  switch (type) {
    case XDT_LONG:
      *plan = tabrow::BytesCell(field, 4);
      return size >= 4;
    case XDT_DOUBLE:
      *plan = tabrow::BytesCell(field, 8);
      return size >= 8;
    case XDT_STRING:
      *plan = tabrow::TextCell(field, SlotLength(field, size), size);
      return true;
    case XDT_DATETIME:
      if (database) {
        *plan = tabrow::CellPlan{tabrow::CellFill::kTimestamp, 8, field};
        return true;
      }
      *plan = tabrow::BytesCell(field, 8);
      return size >= 8;
    case XDT_ARCHIVE: {
      if (!database) return false;
      IArchive* archive;
      std::memcpy(&archive, field + kArchivePointerOffset, sizeof archive);
      *plan = tabrow::ArchiveCell(archive);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

// The plain form reads `nulls`, the database form `status`; either may be null (nothing null).
void* XRowGrider::AddRecord(const void* record, const uint8_t* nulls, const int32_t* status,
                            bool database, uint32_t marker, uint32_t proper, uintptr_t binder) {
  if (Reference != 0 || ColCounter == 0 || record == nullptr) return nullptr;
  const uint8_t* field = static_cast<const uint8_t*>(record);
  tabrow::CellPlan plans[tabrow::kMaxColumns];
  for (int32_t c = 0; c < ColCounter; ++c) {
    uint16_t type = Types != nullptr ? Types[c] : 0;
    uint16_t size = Sizes != nullptr ? Sizes[c] : 0;
    bool null = database ? status != nullptr && status[c] == kNullStatus
                         : nulls != nullptr && nulls[c] != 0;
    plans[c] = tabrow::CellPlan{};
    if (!null && !PlanField(type, size, database, field, &plans[c])) return nullptr;
    field += FieldWidth(type, size, database);
  }
  return LinkNewLine(tabrow::BuildLine(plans, ColCounter), marker, proper, binder);
}

void* XRowGrider::AddItemLine(const void* record, const uint8_t* nulls, uint32_t marker,
                              uint32_t proper, uintptr_t binder) {
  return AddRecord(record, nulls, nullptr, false, marker, proper, binder);
}

void* XRowGrider::AddDataLine(const void* record, const int32_t* status, uint32_t marker) {
  return AddRecord(record, nullptr, status, true, marker, 0, 0);
}

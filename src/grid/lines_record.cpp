// Lines built from record buffers: a plain record with null-flag bytes, and a database record
// with status words, whose date-times are DbTimestamps and whose archives sit in 44-byte blocks.
#include <cstring>

#include "grid/lines_build.h"
#include "grid/record_fields.h"
#include "tabrow/grider.h"

namespace {

constexpr int32_t kNullStatus = 3;

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
      *plan = tabrow::TextCell(field, tabrow::SlotLength(field, size), size);
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
      *plan = tabrow::ArchiveCell(tabrow::FieldArchive(field));
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
    field += tabrow::FieldWidth(type, size, database);
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

// Copying the cells of the current line into a caller's record buffer, plain or database form.
#include "grid/line_layout.h"
#include "tabrow/convert.h"
#include "tabrow/grider.h"

namespace {

// Where a field goes and how a unit is written into it.
struct Field {
  uint16_t type;
  uint16_t capacity;  // the size argument of the conversion
  size_t width;       // bytes the field takes in the record
  size_t least;       // bytes a value written into it takes
};

Field FieldOf(uint16_t type, uint16_t size, bool database) {
  Field field{type, size, size, 0};
  switch (type) {
    case XDT_LONG:
      field.least = 4;
      break;
    case XDT_DOUBLE:
      field.least = 8;
      break;
    case XDT_DATETIME:
      field.least = database ? sizeof(DbTimestamp) : sizeof(DATETIME);
      break;
    case XDT_STRING:
      field.width = 2 * static_cast<size_t>(size);
      break;
    case XDT_ALTSTRING:
      if (database) field.capacity = size / 2;
      break;
    default:
      break;
  }
  return field;
}

// The loop behind GetItemLine (byte null flags) and GetDataLine (32-bit null words).
template <typename NullEntry>
int32_t CopyOut(XRowGrider* grid, void* line, bool database, void* record, NullEntry* nulls,
                const int32_t* columns, const uint16_t* types, const uint16_t* sizes,
                int32_t count) {
  if (line == nullptr || count > tabrow::kMaxColumns) return 0;
  if (count > 0 &&
      (record == nullptr || columns == nullptr || types == nullptr || sizes == nullptr))
    return 0;
  uint8_t* at = static_cast<uint8_t*>(record);
  for (int32_t i = 0; i < count; ++i) {
    if (nulls != nullptr) nulls[i] = 0;
    XDataUnit unit;
    if (!grid->GetValue(line, columns[i], &unit)) return 0;
    bool null = (unit.Null & 1) != 0;
    if (null && nulls != nullptr) nulls[i] = 1;
    Field field = FieldOf(types[i], sizes[i], database);
    if (!null && field.width < field.least) return 0;
    int32_t written = database ? GetUnitDbBuffer(at, field.type, field.capacity, &unit)
                               : GetUnitBuffer(at, field.type, field.capacity, &unit);
    if (!written) return 0;
    at += field.width;
  }
  return 1;
}

}  // namespace

int32_t XRowGrider::GetItemLine(void* record, uint8_t* nulls, const int32_t* columns,
                                const uint16_t* types, const uint16_t* sizes, int32_t count) {
  return CopyOut(this, Current, false, record, nulls, columns, types, sizes, count);
}

int32_t XRowGrider::GetDataLine(void* record, int32_t* nulls, const int32_t* columns,
                                const uint16_t* types, const uint16_t* sizes, int32_t count) {
  return CopyOut(this, Current, true, record, nulls, columns, types, sizes, count);
}

// Reading and writing single cells, resizing a cell inside its line, and changing a column's
// type.
#include <cstdlib>
#include <cstring>

#include "grid/line_layout.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "tabrow/grider.h"

namespace {

// Gives `unit` the value of a non-empty cell of a column of `type`. A cell that cannot hold
// such a value leaves the unit null. False only when the cell archive cannot be made.
bool ReadCell(uint16_t type, uint8_t* cell, uint32_t length, XCakeArchive** cell_archive,
              XDataUnit* unit) {
  switch (type) {
    case XDT_LONG:
      if (length < 4) return true;
      std::memcpy(&unit->Value.Long, cell, 4);
      break;
    case XDT_DOUBLE:
    case XDT_DATETIME:
      if (length < 8) return true;
      std::memcpy(&unit->Value, cell, 8);
      break;
    case XDT_STRING: {
      // Only terminated text is lent, so a reader that stops at the NUL stays inside the cell.
      if (length % 2 != 0 || tabrow::LoadUnit(reinterpret_cast<XCHAR*>(cell + length - 2)) != 0) {
        return true;
      }
      unit->Value.Text = reinterpret_cast<XCHAR*>(cell);
      break;
    }
    case XDT_ARCHIVE:
      if (*cell_archive == nullptr) *cell_archive = XCakeArchive::Malloc();
      if (*cell_archive == nullptr) return false;
      (*cell_archive)->SetBuffer(cell, length);
      unit->Value.Archive = *cell_archive;
      break;
    default:
      return true;
  }
  unit->Null = 0;
  return true;
}

// The cell length a value of `unit` takes in a column of its type; false for a type that
// SetValue does not write or a text too long for any line.
bool ValueLength(const XDataUnit* unit, uint32_t* length) {
  switch (unit->Type) {
    case XDT_LONG:
      *length = 4;
      return true;
    case XDT_DOUBLE:
    case XDT_DATETIME:
      *length = 8;
      return true;
    case XDT_STRING: {
      if (unit->Value.Text == nullptr) {
        *length = 0;
        return true;
      }
      size_t characters = tabrow::TextLength(unit->Value.Text) + 1;
      if (characters > tabrow::kMaxCellBytes / 2) return false;
      *length = static_cast<uint32_t>(2 * characters);
      return true;
    }
    default:
      return false;
  }
}

// True when `value` points into the line's data.
bool InsideData(const RowLine* line, const void* value) {
  auto address = reinterpret_cast<uintptr_t>(value);
  auto data = reinterpret_cast<uintptr_t>(line->Data);
  return line->Data != nullptr && address >= data && address < data + line->DataSize;
}

// Gives a line without data a table of empty cells.
bool LayOutEmptyLine(RowLine* line, int32_t columns) {
  uint32_t table = 2 * static_cast<uint32_t>(columns);
  uint8_t* data = tabrow::AllocLineData(table);
  if (data == nullptr) return false;
  std::memset(data, 0, table);
  tabrow::FreeLineData(line->Data, line->DataSize);
  line->Data = data;
  line->DataSize = table;
  return true;
}

}  // namespace

uint8_t* XRowGrider::SeekSuber(uint8_t* data, int32_t column, uint32_t* length) const {
  if (column < 0 || column >= ColCounter) return nullptr;
  uint32_t start = column > 0 ? tabrow::LoadEnd(data, column - 1) : 0;
  if (length != nullptr) *length = tabrow::LoadEnd(data, column) - start;
  return data + 2 * ColCounter + start;
}

int32_t XRowGrider::GetValue(int32_t column, XDataUnit* unit) {
  if (Current == nullptr) return 0;
  return GetValue(Current, column, unit);
}

int32_t XRowGrider::GetValue(void* line, int32_t column, XDataUnit* unit) {
  if (line == nullptr || unit == nullptr) return 0;
  SetUnitNull(unit);
  if (column < 0 || column >= ColCounter) return 0;
  RowLine* row = static_cast<RowLine*>(line);
  uint16_t type = Types != nullptr ? Types[column] : 0;
  bool read = true;
  if (tabrow::CellInside(row, ColCounter, column)) {
    uint32_t length = 0;
    uint8_t* cell = SeekSuber(row->Data, column, &length);
    if (length > 0) read = ReadCell(type, cell, length, &CellArchive, unit);
  }
  unit->Type = type;
  unit->Size = Sizes != nullptr ? Sizes[column] : 0;
  return read ? 1 : 0;
}

int32_t XRowGrider::SetValue(void* line, int32_t column, const XDataUnit* unit) {
  if (Reference != 0 || line == nullptr || unit == nullptr) return 0;
  if (column < 0 || column >= ColCounter) return 0;
  RowLine* row = static_cast<RowLine*>(line);
  uint32_t length = 0;
  if ((unit->Null & 1) == 0) {
    uint16_t type = Types != nullptr ? Types[column] : 0;
    if (unit->Type != type) return 1;
    if (!ValueLength(unit, &length)) return 0;
  }
  if (!tabrow::LineLaidOut(row, ColCounter)) return 0;
  if (row->DataSize == 0) {
    if (length == 0) return 1;  // a line without data has only empty cells
    if (!LayOutEmptyLine(row, ColCounter)) return 0;
  }
  uint32_t old_length = 0;
  SeekSuber(row->Data, column, &old_length);
  uint32_t cells = row->DataSize - 2 * ColCounter;
  if (cells - old_length + length > tabrow::kMaxCellBytes) return 0;
  // A text lent by this very line moves or is freed when the cell is resized: keep a copy.
  const void* value = unit->Type == XDT_STRING ? static_cast<const void*>(unit->Value.Text)
                                               : static_cast<const void*>(&unit->Value);
  void* copy = nullptr;
  if (length > 0 && InsideData(row, value)) {
    copy = std::malloc(length);
    if (copy == nullptr) return 0;
    std::memcpy(copy, value, length);
    value = copy;
  }
  uint8_t* cell = ChangeSize(row, column, length);
  if (cell != nullptr && length > 0) std::memcpy(cell, value, length);
  std::free(copy);
  return cell != nullptr ? 1 : 0;
}

uint8_t* XRowGrider::ChangeSize(RowLine* line, int32_t column, uint32_t length) {
  uint32_t table = 2 * static_cast<uint32_t>(ColCounter);
  uint32_t start = column > 0 ? tabrow::LoadEnd(line->Data, column - 1) : 0;
  uint32_t end = tabrow::LoadEnd(line->Data, column);
  uint32_t last = tabrow::LoadEnd(line->Data, ColCounter - 1);
  uint32_t old_length = end - start;
  if (length == old_length) return line->Data + table + start;
  // The data is always a block of exactly DataSize bytes, so a cell that shrinks moves too.
  uint32_t size = line->DataSize - old_length + length;
  uint8_t* data = tabrow::AllocLineData(size);
  if (data == nullptr) return nullptr;
  std::memcpy(data, line->Data, table + start + (length < old_length ? length : old_length));
  std::memcpy(data + table + start + length, line->Data + table + end, last - end);
  for (int32_t i = column; i < ColCounter; ++i) {
    tabrow::StoreEnd(data, i, tabrow::LoadEnd(data, i) - old_length + length);
  }
  tabrow::FreeLineData(line->Data, line->DataSize);
  line->Data = data;
  line->DataSize = size;
  return data + table + start;
}

int32_t XRowGrider::ConfirmType(int32_t column, uint16_t type) {
  if (Reference != 0 || column < 0 || column >= ColCounter) return 0;
  uint16_t current = Types != nullptr ? Types[column] : 0;
  if (current == type) return 1;
  if (current != XDT_DOUBLE || type != XDT_LONG) return 0;
  // Every line must convert before any does, so a refusal changes nothing.
  for (const RowLine* line = Head; line != nullptr; line = line->Next) {
    if (!tabrow::LineLaidOut(line, ColCounter)) return 0;
    uint32_t length = 0;
    if (line->DataSize > 0) SeekSuber(line->Data, column, &length);
    if (length != 0 && length != 8) return 0;
  }
  for (RowLine* line = Head; line != nullptr; line = line->Next) {
    uint32_t length = 0;
    uint8_t* cell = line->DataSize > 0 ? SeekSuber(line->Data, column, &length) : nullptr;
    if (length == 0) continue;
    double value;
    std::memcpy(&value, cell, sizeof value);
    int32_t whole = tabrow::TruncateToInt32(value);
    std::memcpy(cell, &whole, sizeof whole);
    ChangeSize(line, column, 4);
  }
  Types[column] = XDT_LONG;
  return 1;
}

#include "grid/line_layout.h"

namespace tabrow {

bool CellInside(const RowLine* line, int32_t columns, int32_t column) {
  uint32_t table = 2 * static_cast<uint32_t>(columns);
  if (line->Data == nullptr || line->DataSize < table) return false;
  uint32_t start = column > 0 ? LoadEnd(line->Data, column - 1) : 0;
  uint32_t end = LoadEnd(line->Data, column);
  return start <= end && end <= line->DataSize - table;
}

bool LineLaidOut(const RowLine* line, int32_t columns) {
  if (line->DataSize == 0) return true;
  uint32_t table = 2 * static_cast<uint32_t>(columns);
  if (line->Data == nullptr || columns == 0 || line->DataSize < table) return false;
  uint32_t previous = 0;
  for (int32_t c = 0; c < columns; ++c) {
    uint32_t end = LoadEnd(line->Data, c);
    if (end < previous) return false;
    previous = end;
  }
  return table + previous == line->DataSize;
}

}  // namespace tabrow

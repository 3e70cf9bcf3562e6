// Merging the lines of another grid: moved whole when both grids have the same layout, copied
// line by line, converting numbers, when the source's columns map to other positions.
#include <cstring>

#include "grid/lines_build.h"
#include "platform/numbers.h"
#include "tabrow/grider.h"

namespace {

uint16_t TypeAt(const uint16_t* types, int32_t column) {
  return types != nullptr ? types[column] : 0;
}

uint32_t KeyAt(const uint32_t* kapes, int32_t column) {
  return kapes != nullptr ? kapes[column] : static_cast<uint32_t>(column);
}

// A non-empty cell of a source line, or null when the cell is empty, lies outside the data or
// is too short for its type.
const uint8_t* SourceCell(const RowLine* line, int32_t columns, int32_t column, uint16_t type,
                          uint32_t* length) {
  if (!tabrow::CellInside(line, columns, column)) return nullptr;
  uint32_t start = column > 0 ? tabrow::LoadEnd(line->Data, column - 1) : 0;
  *length = tabrow::LoadEnd(line->Data, column) - start;
  uint32_t least = type == XDT_LONG ? 4 : type == XDT_DOUBLE ? 8 : 1;
  if (*length < least) return nullptr;
  return line->Data + 2 * columns + start;
}

// Plans the destination cell for a source cell; a number converted to the destination's type
// goes into `scratch`. False when the cell does not fit the destination column.
bool PlanMerged(uint16_t from, uint16_t to, const uint8_t* cell, uint32_t length,
                XUnitValue* scratch, tabrow::CellPlan* plan) {
  if (to != XDT_LONG && to != XDT_DOUBLE) {
    if (from != to) return false;
    *plan = tabrow::BytesCell(cell, length);
    return true;
  }
  if (from != XDT_LONG && from != XDT_DOUBLE) return false;
  if (from == to) {
    *plan = tabrow::BytesCell(cell, to == XDT_LONG ? 4 : 8);
    return true;
  }
  if (to == XDT_LONG) {
    double value;
    std::memcpy(&value, cell, sizeof value);
    scratch->Long = tabrow::TruncateToInt32(value);
    *plan = tabrow::BytesCell(&scratch->Long, 4);
  } else {
    int32_t value;
    std::memcpy(&value, cell, sizeof value);
    scratch->Double = value;
    *plan = tabrow::BytesCell(&scratch->Double, 8);
  }
  return true;
}

}  // namespace

int32_t XRowGrider::AddGrider(XRowGrider* source) {
  if (Reference != 0 || source == nullptr || source == this) return 0;
  if (ColCounter == 0 || source->ColCounter > ColCounter) return 0;
  int32_t map[tabrow::kMaxColumns];
  bool same = source->ColCounter == ColCounter;
  for (int32_t i = 0; i < source->ColCounter; ++i) {
    uint32_t key = KeyAt(source->Kapes, i);
    int32_t j = 0;
    while (j < ColCounter && KeyAt(Kapes, j) != key) ++j;
    if (j == ColCounter) return 0;
    map[i] = j;
    same = same && j == i && TypeAt(Types, j) == TypeAt(source->Types, i);
  }
  return same ? MoveLines(source) : MergeMapped(source, map);
}

// Lines the source owns are relinked; a referencing source's lines are copied first.
int32_t XRowGrider::MoveLines(XRowGrider* source) {
  XRowGrider copy;
  XRowGrider* owner = source;
  if (source->Reference != 0) {
    if (!copy.CloneGrider(source)) return 0;
    owner = &copy;
  }
  AppendRun(owner->Head, owner->Tail);
  owner->Head = nullptr;
  owner->Tail = nullptr;
  source->Current = nullptr;
  return 1;
}

// New lines are gathered apart and linked at the end, so walking a source that borrows this
// grid's own lines never meets them.
int32_t XRowGrider::MergeMapped(XRowGrider* source, const int32_t* map) {
  const uint16_t* from_types = source->Types;
  int32_t from_columns = source->ColCounter;
  XUnitValue scratch[tabrow::kMaxColumns];
  tabrow::CellPlan plans[tabrow::kMaxColumns];
  RowLine* head = nullptr;
  RowLine* tail = nullptr;
  bool merged = true;
  for (const RowLine* line = source->Head; merged && line != nullptr; line = line->Next) {
    for (int32_t j = 0; j < ColCounter; ++j) plans[j] = tabrow::CellPlan{};
    for (int32_t i = 0; merged && i < from_columns; ++i) {
      uint16_t from = TypeAt(from_types, i);
      uint32_t length = 0;
      const uint8_t* cell = SourceCell(line, from_columns, i, from, &length);
      if (cell == nullptr) continue;
      int32_t j = map[i];
      merged = PlanMerged(from, TypeAt(Types, j), cell, length, &scratch[j], &plans[j]);
    }
    RowLine* copy = merged ? tabrow::BuildLine(plans, ColCounter) : nullptr;
    merged = copy != nullptr;
    if (!merged) break;
    copy->Marker = line->Marker;
    copy->Proper = line->Proper;
    copy->Binder = line->Binder;
    if (tail != nullptr) {
      tail->Next = copy;
    } else {
      head = copy;
    }
    tail = copy;
  }
  AppendRun(head, tail);
  source->Current = nullptr;
  return merged ? 1 : 0;
}

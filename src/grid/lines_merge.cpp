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

// How the cells of one source column enter their destination column, decided once per merge.
enum class Transfer : uint8_t {
  kRefuse,    // a non-empty cell does not fit the destination column
  kBytes,     // equal types: the cell copied byte for byte
  kLong,      // integer into integer
  kDouble,    // double into double
  kToLong,    // double into integer, truncated toward zero
  kToDouble,  // integer into double
};

Transfer TransferOf(uint16_t from, uint16_t to) {
  bool from_number = from == XDT_LONG || from == XDT_DOUBLE;
  if (to == XDT_LONG)
    return !from_number ? Transfer::kRefuse : from == to ? Transfer::kLong : Transfer::kToLong;
  if (to == XDT_DOUBLE)
    return !from_number ? Transfer::kRefuse : from == to ? Transfer::kDouble : Transfer::kToDouble;
  return from == to ? Transfer::kBytes : Transfer::kRefuse;
}

// The shortest source cell that holds a value of a column type; shorter cells count as empty.
uint32_t LeastCell(uint16_t type) {
  return type == XDT_LONG ? 4 : type == XDT_DOUBLE ? 8 : 1;
}

// Plans the destination cell of a non-empty source cell; a converted number goes into
// `scratch`. False when the cell does not fit the destination column.
bool PlanCell(Transfer transfer, const uint8_t* cell, uint32_t length, XUnitValue* scratch,
              tabrow::CellPlan* plan) {
  switch (transfer) {
    case Transfer::kRefuse:
      return false;
    case Transfer::kBytes:
      *plan = tabrow::BytesCell(cell, length);
      return true;
    case Transfer::kLong:
      *plan = tabrow::BytesCell(cell, 4);
      return true;
    case Transfer::kDouble:
      *plan = tabrow::BytesCell(cell, 8);
      return true;
    case Transfer::kToLong: {
      double value;
      std::memcpy(&value, cell, sizeof value);
      scratch->Long = tabrow::TruncateToInt32(value);
      *plan = tabrow::BytesCell(&scratch->Long, 4);
      return true;
    }
    case Transfer::kToDouble: {
      int32_t value;
      std::memcpy(&value, cell, sizeof value);
      scratch->Double = value;
      *plan = tabrow::BytesCell(&scratch->Double, 8);
      return true;
    }
  }
  return false;
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
  int32_t from_columns = source->ColCounter;
  Transfer transfers[tabrow::kMaxColumns];
  uint32_t least[tabrow::kMaxColumns];
  for (int32_t i = 0; i < from_columns; ++i) {
    uint16_t from = TypeAt(source->Types, i);
    transfers[i] = TransferOf(from, TypeAt(Types, map[i]));
    least[i] = LeastCell(from);
  }
  uint32_t table = 2 * static_cast<uint32_t>(from_columns);
  XUnitValue scratch[tabrow::kMaxColumns];
  tabrow::CellPlan plans[tabrow::kMaxColumns];
  RowLine* head = nullptr;
  RowLine* tail = nullptr;
  bool merged = true;
  for (const RowLine* line = source->Head; merged && line != nullptr; line = line->Next) {
    for (int32_t j = 0; j < ColCounter; ++j) plans[j] = tabrow::CellPlan{};
    // A cell that lies outside the data, or is too short for its type, counts as empty.
    const uint8_t* data = line->Data;
    uint32_t cells = data != nullptr && line->DataSize >= table ? line->DataSize - table : 0;
    uint32_t start = 0;
    for (int32_t i = 0; merged && cells > 0 && i < from_columns; ++i) {
      uint32_t end = tabrow::LoadEnd(data, i);
      if (start <= end && end <= cells && end - start >= least[i]) {
        int32_t j = map[i];
        merged = PlanCell(transfers[i], data + table + start, end - start, &scratch[j], &plans[j]);
      }
      start = end;
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

// Lines built from data units: an array of units, an array of unit pointers, or a row's chain.
#include <cstring>

#include "grid/lines_build.h"
#include "platform/text.h"
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"

namespace {

// Texts of this many characters or more never fit a cell.
constexpr size_t kLongestText = tabrow::kMaxCellBytes / 2;

inline bool HoldsCellValue(uint16_t type) {
  constexpr uint32_t kHeld =
      1u << XDT_LONG | 1u << XDT_STRING | 1u << XDT_DOUBLE | 1u << XDT_DATETIME | 1u << XDT_ARCHIVE;
  return type < 32 && ((kHeld >> type) & 1) != 0;
}

// Characters before the NUL of a unit's text (any address), but at most `limit`; reads nothing
// past the NUL or the limit.
inline size_t TextUnits(const XCHAR* text, size_t limit) {
  size_t length = 0;
  for (; length + 4 <= limit; length += 4) {
    if (tabrow::LoadUnit(text + length) == 0) return length;
    if (tabrow::LoadUnit(text + length + 1) == 0) return length + 1;
    if (tabrow::LoadUnit(text + length + 2) == 0) return length + 2;
    if (tabrow::LoadUnit(text + length + 3) == 0) return length + 3;
  }
  while (length < limit && tabrow::LoadUnit(text + length) != 0) ++length;
  return length;
}

// Bytes the cell of a non-null unit of a type that lines hold takes in a column of declared
// `size`; above kMaxCellBytes when it can never fit. A text is counted no further than the
// characters its cell can keep, or than makes it too long for any cell.
inline uint32_t UnitCellLength(const XDataUnit& unit, uint16_t size) {
  switch (unit.Type) {
    case XDT_LONG:
      return 4;
    case XDT_DOUBLE:
    case XDT_DATETIME:
      return 8;
    case XDT_STRING:
      if (unit.Value.Text == nullptr) return 0;
      return tabrow::TextCell(unit.Value.Text,
                              TextUnits(unit.Value.Text, size != 0 ? size - 1u : kLongestText),
                              size)
          .length;
    default:
      return tabrow::ArchiveCell(unit.Value.Archive).length;
  }
}

// Writes a unit's cell of `length` bytes (non-zero) at `cell`: a text keeps length / 2 - 1
// characters and a NUL.
inline void FillUnitCell(const XDataUnit& unit, uint32_t length, uint8_t* cell) {
  switch (unit.Type) {
    case XDT_LONG:
      std::memcpy(cell, &unit.Value.Long, 4);
      break;
    case XDT_DOUBLE:
    case XDT_DATETIME:
      std::memcpy(cell, &unit.Value, 8);
      break;
    case XDT_STRING:
      tabrow::CopyBytes(cell, reinterpret_cast<const uint8_t*>(unit.Value.Text), length - 2);
      std::memset(cell + length - 2, 0, 2);
      break;
    default:
      tabrow::FillCell(tabrow::CellPlan{tabrow::CellFill::kArchive, length, unit.Value.Archive},
                       cell);
      break;
  }
}

}  // namespace

// Sizes every cell first (adopting column types on the way), then allocates the line once and
// writes the cells.
void* XRowGrider::AddUnits(const XDataUnit* units, const XDataUnit* const* chain, bool adopt,
                           uint32_t marker, uint32_t proper, uintptr_t binder) {
  uint32_t lengths[tabrow::kMaxColumns];
  uint32_t total = 0;  // at most kMaxColumns * (kMaxCellBytes + 1): no overflow
  for (int32_t c = 0; c < ColCounter; ++c) {
    const XDataUnit* unit = units != nullptr ? &units[c] : chain[c];
    lengths[c] = 0;
    if (unit == nullptr || (unit->Null & 1) != 0) continue;
    if (!HoldsCellValue(unit->Type) || Types == nullptr) return nullptr;
    if (adopt && Types[c] == 0) Types[c] = unit->Type;
    if (Types[c] != unit->Type) return nullptr;
    lengths[c] = UnitCellLength(*unit, Sizes != nullptr ? Sizes[c] : 0);
    total += lengths[c];
  }
  if (total > tabrow::kMaxCellBytes) return nullptr;
  uint32_t table = 2 * static_cast<uint32_t>(ColCounter);
  RowLine* line = tabrow::AllocLine(table == 0 ? 0 : table + total);
  if (line == nullptr) return nullptr;
  uint32_t end = 0;
  for (int32_t c = 0; c < ColCounter; ++c) {
    if (lengths[c] > 0) {
      FillUnitCell(units != nullptr ? units[c] : *chain[c], lengths[c], line->Data + table + end);
    }
    end += lengths[c];
    tabrow::StoreEnd(line->Data, c, end);
  }
  return LinkNewLine(line, marker, proper, binder);
}

void* XRowGrider::AddItemLine(const XDataUnit* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  return AddUnits(units, nullptr, true, 0, 0, binder);
}

void* XRowGrider::AddUnitLine(const XDataUnit* const* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  return AddUnits(nullptr, units, true, 0, 0, binder);
}

void* XRowGrider::AddItemLine(const XRowBuffer* row, uint32_t marker, uint32_t proper,
                              uintptr_t binder) {
  if (Reference != 0 || row == nullptr) return nullptr;
  const XDataUnit* pointers[tabrow::kMaxColumns];
  const XDataUnit* unit = row->GetRowBuffer();
  for (int32_t c = 0; c < ColCounter; ++c, unit = unit->Next) {
    if (unit == nullptr) return nullptr;
    pointers[c] = unit;
  }
  return AddUnits(nullptr, pointers, false, marker, proper, binder);
}

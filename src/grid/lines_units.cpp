// Lines built from data units: an array of units, an array of unit pointers, or a row's chain.
#include "grid/lines_build.h"
#include "platform/text.h"
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"

namespace {

bool HoldsCellValue(uint16_t type) {
  return type == XDT_LONG || type == XDT_STRING || type == XDT_DOUBLE || type == XDT_DATETIME ||
         type == XDT_ARCHIVE;
}

// The cell a non-null unit of a type that lines hold takes in a column of declared `size`.
tabrow::CellPlan PlanUnit(const XDataUnit& unit, uint16_t size) {
  switch (unit.Type) {
    case XDT_LONG:
      return tabrow::BytesCell(&unit.Value.Long, 4);
    case XDT_DOUBLE:
    case XDT_DATETIME:
      return tabrow::BytesCell(&unit.Value, 8);
    case XDT_STRING:
      if (unit.Value.Text == nullptr) return tabrow::CellPlan{};
      return tabrow::TextCell(unit.Value.Text, tabrow::TextLength(unit.Value.Text), size);
    default:
      return tabrow::ArchiveCell(unit.Value.Archive);
  }
}

}  // namespace

void* XRowGrider::AddUnits(const XDataUnit* const* units, bool adopt, uint32_t marker,
                           uint32_t proper, uintptr_t binder) {
  tabrow::CellPlan plans[tabrow::kMaxColumns];
  for (int32_t c = 0; c < ColCounter; ++c) {
    const XDataUnit* unit = units[c];
    plans[c] = tabrow::CellPlan{};
    if (unit == nullptr || (unit->Null & 1) != 0) continue;
    if (!HoldsCellValue(unit->Type) || Types == nullptr) return nullptr;
    if (adopt && Types[c] == 0) Types[c] = unit->Type;
    if (Types[c] != unit->Type) return nullptr;
    plans[c] = PlanUnit(*unit, Sizes != nullptr ? Sizes[c] : 0);
  }
  return LinkNewLine(tabrow::BuildLine(plans, ColCounter), marker, proper, binder);
}

void* XRowGrider::AddItemLine(const XDataUnit* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  const XDataUnit* pointers[tabrow::kMaxColumns];
  for (int32_t c = 0; c < count; ++c) pointers[c] = &units[c];
  return AddUnits(pointers, true, 0, 0, binder);
}

void* XRowGrider::AddUnitLine(const XDataUnit* const* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  return AddUnits(units, true, 0, 0, binder);
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
  return AddUnits(pointers, false, marker, proper, binder);
}

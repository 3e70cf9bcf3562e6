// Laying out a new line from its planned cells and linking it into the grid.
#include "grid/lines_build.h"

#include <cstdlib>
#include <cstring>

#include "tabrow/datetime.h"

namespace tabrow {

namespace {

// Number and date-time cells are 4 or 8 bytes; copies of a size known here compile to one move
// instead of a call.
void CopyCell(uint8_t* cell, const void* source, uint32_t length) {
  if (length == 8) {
    std::memcpy(cell, source, 8);
  } else if (length == 4) {
    std::memcpy(cell, source, 4);
  } else {
    std::memcpy(cell, source, length);
  }
}

}  // namespace

void FillCell(const CellPlan& plan, uint8_t* cell) {
  switch (plan.fill) {
    case CellFill::kEmpty:
      break;
    case CellFill::kBytes:
      CopyCell(cell, plan.source, plan.length);
      break;
    case CellFill::kText:
      std::memcpy(cell, plan.source, plan.length - 2);
      std::memset(cell + plan.length - 2, 0, 2);
      break;
    case CellFill::kTimestamp: {
      DbTimestamp stamp;
      std::memcpy(&stamp, plan.source, sizeof stamp);
      DATETIME time;
      TimeTransfer(&time, &stamp);
      std::memcpy(cell, &time, sizeof time);
      break;
    }
    case CellFill::kArchive: {
      // Bytes the archive fails to give stay zero, so the cell keeps the length it announced.
      IArchive* archive = static_cast<IArchive*>(const_cast<void*>(plan.source));
      archive->SeekToBegin();
      int32_t got = archive->Read(cell, plan.length);
      uint32_t filled = got > 0 ? static_cast<uint32_t>(got) : 0;
      if (filled < plan.length) std::memset(cell + filled, 0, plan.length - filled);
      break;
    }
  }
}

CellPlan ArchiveCell(IArchive* archive) {
  uint32_t length = 0;
  if (archive != nullptr) archive->GetLength(&length);
  if (length == 0 || length > kMaxCellBytes) return CellPlan{};
  return CellPlan{CellFill::kArchive, length, archive};
}

RowLine* BuildLine(const CellPlan* plans, int32_t columns) {
  uint32_t table = 2 * static_cast<uint32_t>(columns);
  uint32_t total = 0;
  for (int32_t c = 0; c < columns; ++c) {
    if (plans[c].length > kMaxCellBytes - total) return nullptr;
    total += plans[c].length;
  }
  RowLine* line = AllocLine(table + total);
  if (line == nullptr || table == 0) return line;
  uint32_t end = 0;
  for (int32_t c = 0; c < columns; ++c) {
    FillCell(plans[c], line->Data + table + end);
    end += plans[c].length;
    StoreEnd(line->Data, c, end);
  }
  return line;
}

}  // namespace tabrow

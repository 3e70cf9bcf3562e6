// Internal helpers that lay out a new line: each builder first plans every cell (where its bytes
// come from and how long it is), then one call sizes the line, allocates it and fills it.
#ifndef TABROW_GRID_LINES_BUILD_H_
#define TABROW_GRID_LINES_BUILD_H_

#include "grid/line_layout.h"

namespace tabrow {

// How a planned cell is filled.
enum class CellFill : uint8_t {
  kEmpty,      // a null cell
  kBytes,      // `length` bytes copied from `source`
  kText,       // length / 2 - 1 characters copied from `source`, then a NUL
  kTimestamp,  // a DbTimestamp at `source` stored as an 8-byte DATETIME
  kArchive,    // `length` bytes read from the start of the IArchive at `source`
};

// CellPlan{} is an empty cell.
struct CellPlan {
  CellFill fill;
  uint32_t length;  // bytes the cell takes; above kMaxCellBytes when it can never fit
  const void* source;
};

// A cell of `length` bytes copied from `source`.
inline CellPlan BytesCell(const void* source, uint32_t length) {
  return CellPlan{CellFill::kBytes, length, source};
}

// A text cell for `characters` units at `text` (any address) in a column of declared `size`:
// a text that does not fit a non-zero size with its NUL keeps size - 1 characters.
inline CellPlan TextCell(const void* text, size_t characters, uint16_t size) {
  if (size != 0 && characters + 1 > size) characters = size - 1u;
  if (characters >= kMaxCellBytes / 2) return CellPlan{CellFill::kText, kMaxCellBytes + 1, text};
  return CellPlan{CellFill::kText, static_cast<uint32_t>(2 * (characters + 1)), text};
}

// An archive cell: the archive's length, or empty for no archive or 65536 bytes or more.
CellPlan ArchiveCell(IArchive* archive);

// Fills the `plan.length` bytes at `cell` as planned.
void FillCell(const CellPlan& plan, uint8_t* cell);

// A new line of `columns` cells (at most kMaxColumns) laid out and filled from the plans, with
// empty header words and links; null when the cells total more than kMaxCellBytes or memory
// runs out.
RowLine* BuildLine(const CellPlan* plans, int32_t columns);

}  // namespace tabrow

#endif  // TABROW_GRID_LINES_BUILD_H_

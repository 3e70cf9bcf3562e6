// A grid cell read as text, for the output formats.
#ifndef TABROW_TOOLS_TABROW_CELL_TEXT_H_
#define TABROW_TOOLS_TABROW_CELL_TEXT_H_

#include <string>

#include "tabrow/grider.h"

namespace tabrow::cli {

enum class CellKind {
  kNull,    // an empty cell
  kNumber,  // integer or double: the "%ld" or trimmed eight-decimal form
  kText,    // text, or a date-time as "2024-03-05 14:07:09"
  kOther,   // archive, blob, grid or object: a short description such as "<12 bytes>"
};

struct CellText {
  CellKind kind = CellKind::kNull;
  std::string text;  // UTF-8; empty for a null cell
};

// Reads cell `column` of `line` (a line handle of `grid`).
CellText ReadCell(XRowGrider* grid, void* line, int32_t column);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_CELL_TEXT_H_

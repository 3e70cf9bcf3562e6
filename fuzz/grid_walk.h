// Reading every cell of a grid, as a host does after loading one: each value the grid lends is
// touched whole, so a lent text or archive that runs outside its line shows up.
#ifndef TABROW_FUZZ_GRID_WALK_H_
#define TABROW_FUZZ_GRID_WALK_H_

#include "fuzz_check.h"

namespace fuzz {

// Touches a unit's value: a text up to its NUL, an archive's whole content.
inline void TouchValue(const XDataUnit& unit) {
  if ((unit.Null & 1) != 0) return;
  if (unit.Type == XDT_STRING && unit.Value.Text != nullptr) {
    Length(unit.Value.Text);
  } else if (unit.Type == XDT_ARCHIVE && unit.Value.Archive != nullptr) {
    Contents(unit.Value.Archive);
  }
}

inline void ReadEveryCell(XRowGrider* grider) {
  for (void* line = grider->GetNextLine(nullptr); line != nullptr;
       line = grider->GetNextLine(line)) {
    for (int32_t column = 0; column < grider->GetColCounter(); ++column) {
      XDataUnit unit;
      Require(grider->GetValue(line, column, &unit) == 1, "a cell in range reads");
      TouchValue(unit);
    }
  }
}

}  // namespace fuzz

#endif  // TABROW_FUZZ_GRID_WALK_H_

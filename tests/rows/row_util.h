// Helpers of the row and descriptor tests: a row's units, and a small stored grid of an integer
// column and a text column of size 8.
#ifndef TABROW_TESTS_ROWS_ROW_UTIL_H_
#define TABROW_TESTS_ROWS_ROW_UTIL_H_

#include <string>
#include <utility>
#include <vector>

#include "byte_stream.h"
#include "grid/grid_fixture.h"
#include "tabrow/tabrow.h"

namespace rows_test {

using test_util::Bytes;
using test_util::Contents;
using test_util::Stream;
using Lines = std::vector<std::pair<int32_t, std::u16string>>;

inline std::vector<XDataUnit*> Units(const XRowBuffer& row) {
  std::vector<XDataUnit*> units;
  for (XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next) {
    units.push_back(unit);
  }
  return units;
}

// The stored grid of these lines.
inline Bytes GridRecord(const Lines& lines) {
  std::vector<gridtest::Line> stored;
  for (const auto& [number, text] : lines)
    stored.push_back({0, 0, 0, gridtest::LineData({gridtest::Long(number), gridtest::Text(text)})});
  return gridtest::GridRecord({XDT_LONG, XDT_STRING}, {4, 8}, stored);
}

// A heap grid loaded from GridRecord(lines).
inline XRowGrider* MakeGrid(const Lines& lines) {
  XRowGrider* grider = XRowGrider::Malloc();
  gridtest::Load(grider, GridRecord(lines));
  return grider;
}

}  // namespace rows_test

#endif  // TABROW_TESTS_ROWS_ROW_UTIL_H_

// Helpers of the row and descriptor tests: a row's units, and a small stored grid of an integer
// column (code 11) and a text column of size 8 (code 12).
#ifndef TABROW_TESTS_ROWS_ROW_UTIL_H_
#define TABROW_TESTS_ROWS_ROW_UTIL_H_

#include <string>
#include <utility>
#include <vector>

#include "byte_stream.h"
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
  const uint16_t types[] = {XDT_LONG, XDT_STRING}, sizes[] = {4, 8};
  const uint32_t codes[] = {11, 12};
  Stream grid;
  grid.Open(GDI_GRID).WordItem(GDI_COLCOUNTER, 2).Item(GDI_TYPES, types, 4);
  grid.Item(GDI_SIZES, sizes, 4).Item(GDI_CODES, codes, 8);
  for (const auto& [number, text] : lines) {
    const uint16_t text_bytes = static_cast<uint16_t>((text.size() + 1) * 2);
    const uint16_t table[] = {4, static_cast<uint16_t>(4 + text_bytes)};
    const uint32_t data_size = 4u + table[1];
    grid.Header(GDI_LINE, XMF_DATA).Word(16 + data_size).Word(0).Word(0).Word(data_size).Word(0);
    grid.Raw(table, 4).Raw(&number, 4).Raw(text.c_str(), text_bytes);
  }
  return grid.Close(GDI_GRID).bytes();
}

// A heap grid loaded from GridRecord(lines).
inline XRowGrider* MakeGrid(const Lines& lines) {
  const Bytes bytes = GridRecord(lines);
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  XRowGrider* grider = XRowGrider::Malloc();
  grider->Serialize(&archive, 0, 0);
  return grider;
}

}  // namespace rows_test

#endif  // TABROW_TESTS_ROWS_ROW_UTIL_H_

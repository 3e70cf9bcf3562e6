#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

const DATETIME kTime = {2024, 3, 5, 14, 7, 9, 0};
const DbTimestamp kStamp = {2024, 3, 5, 14, 7, 9, 123};

// A text field of `characters` slots; a refused line shows as "null".
Bytes Slot(std::u16string s, size_t characters) {
  s.resize(characters, u'\0');
  return Raw(s.data(), 2 * characters);
}
Bytes Built(const void* line) {
  return line != nullptr ? DataOf(line) : Bytes{'n', 'u', 'l', 'l'};
}

// Every builder against hand-made line data: a text cut to size 5 keeps 4 characters and a NUL,
// size 0 keeps it whole, null values and null fields leave empty cells (and fields keep their
// width), records may sit at odd addresses.
TEST(LinesBuildTest, BuildersLayOutCellsByColumn) {
  XRowGrider grid;
  const uint16_t types[6] = {XDT_LONG,   XDT_STRING,   XDT_STRING,
                             XDT_DOUBLE, XDT_DATETIME, XDT_ARCHIVE};
  const uint16_t sizes[6] = {4, 5, 0, 8, 8, 0};
  grid.SetItemDesc(types, sizes, 6);
  XMemoArchive archive;
  archive.Append("xyz", 3);
  IArchive* pointer = &archive;
  XDataUnit units[6] = {Unit(), Unit(), Unit(), Unit(), Unit(), Unit()};
  SetUnitValue(&units[0], int32_t{-7});
  SetUnitValue(&units[1], u"abcdefghij", 0);
  SetUnitValue(&units[2], u"abcdefghij", 0);
  SetUnitValue(&units[4], kTime);
  SetUnitValue(&units[5], pointer, 0);
  const XDataUnit* pointers[6] = {&units[0], &units[1], &units[2], nullptr, &units[4], &units[5]};
  XRowBuffer row;
  for (int i = 0; i < 5; ++i) row.AddDataUnit(&units[i]);
  row.AddDataUnit(pointer, 0);
  row.AddDataUnit(int32_t{99});  // beyond the last column
  const Bytes expected = LineData(
      {Long(-7), Text(u"abcd"), Text(u"abcdefghij"), {}, Raw(&kTime, 8), Bytes{'x', 'y', 'z'}});
  EXPECT_EQ(expected, Built(grid.AddItemLine(units, 6, 0)));
  EXPECT_EQ(expected, Built(grid.AddUnitLine(pointers, 6, 0)));
  void* line = grid.AddItemLine(&row, 11, 12, 13);
  EXPECT_EQ(expected, Built(line));
  EXPECT_EQ(12u, grid.GetLineProper(line));

  Bytes block(44, 0xEE);
  std::memcpy(block.data() + 16, &pointer, sizeof pointer);
  Bytes plain = Cat({Bytes{0}, Long(-7), Slot(u"abcdefghij", 5), Dbl(1.5), Raw(&kTime, 8)});
  const uint8_t nulls[6] = {0, 0, 1, 1, 0, 1};  // the size-0 text field takes no bytes
  EXPECT_EQ(LineData({Long(-7), Text(u"abcd"), {}, {}, Raw(&kTime, 8), {}}),
            Built(grid.AddItemLine(plain.data() + 1, nulls, 0, 0, 0)));
  Bytes record = Cat({Bytes{0}, Long(-7), Slot(u"ab", 5), Dbl(1.5), Raw(&kStamp, 16), block});
  const int32_t status[6] = {0, 0, 0, 3, 0, 0};
  line = grid.AddDataLine(record.data() + 1, status, 21);
  EXPECT_EQ(LineData({Long(-7), Text(u"ab"), Text(u""), {}, Raw(&kTime, 8), Bytes{'x', 'y', 'z'}}),
            Built(line));
  EXPECT_EQ(21u, grid.GetLineMarker(line));
}

// Refused lines add nothing; untyped columns adopt the first values' types, which stay.
TEST(LinesBuildTest, RefusalsAndAdoptedTypes) {
  XRowGrider grid;
  XDataUnit units[2] = {Unit(), Unit()};
  grid.SetItemDesc(units, 2);
  SetUnitValue(&units[1], u"t", 0);
  ASSERT_NE(nullptr, grid.AddItemLine(units, 2, 0));
  EXPECT_EQ(0, grid.GetType()[0]);
  SetUnitValue(&units[0], 2.5);
  SetUnitValue(&units[1], int32_t{1});  // not text: refused, yet column 0 took doubles
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 2, 0));
  EXPECT_EQ(XDT_DOUBLE, grid.GetType()[0]);
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 1, 0));
  std::u16string huge(32767, u'h');  // 65536 bytes with its NUL
  SetUnitValue(&units[1], huge.c_str(), 0);
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 2, 0));
  Bytes record = Cat({Dbl(1), Text(u"")});
  EXPECT_EQ(nullptr, grid.AddItemLine(record.data(), nullptr, 0, 0, 0));  // 0-byte double field
  XRowGrider none, borrower;
  EXPECT_EQ(nullptr, none.AddDataLine(record.data(), nullptr, 0));
  borrower.SetReference(&grid);
  SetUnitValue(&units[1], u"ok", 0);
  EXPECT_EQ(nullptr, borrower.AddItemLine(units, 2, 0));
  EXPECT_EQ(1, grid.GetRowCounter());
}

// Lines longer than the usual stage still build whole, up to the cell limit exactly; fixed
// cells after long texts count toward it too.
TEST(LinesBuildTest, LongLinesUpToTheCellLimit) {
  XRowGrider grid;
  const uint16_t types[4] = {XDT_STRING, XDT_STRING, XDT_LONG, XDT_DOUBLE};
  const uint16_t sizes[4] = {0, 0, 4, 8};
  grid.SetItemDesc(types, sizes, 4);
  XDataUnit units[4] = {Unit(), Unit(), Unit(), Unit()};
  SetUnitValue(&units[2], int32_t{5});
  SetUnitValue(&units[3], 0.5);
  struct Case {
    size_t first, second;  // text lengths in characters
    bool built;
  };
  // Cells: 2 * (first + 1) + 2 * (second + 1) + 12 bytes, at most 65535.
  for (const Case& c : {Case{16000, 16000, true}, Case{32759, 0, true}, Case{32760, 0, false},
                        Case{16383, 16383, false}, Case{16380, 16380, false}}) {
    const std::u16string first(c.first, u'a'), second(c.second, u'b');
    SetUnitValue(&units[0], first.c_str(), 0);
    SetUnitValue(&units[1], second.c_str(), 0);
    void* line = grid.AddItemLine(units, 4, 0);
    ASSERT_EQ(c.built, line != nullptr) << c.first << "+" << c.second;
    if (line != nullptr) {
      EXPECT_EQ(LineData({Text(first), Text(second), Long(5), Dbl(0.5)}), DataOf(line));
    }
  }
  for (XDataUnit& unit : units) ClearUnitData(&unit);
}

}  // namespace

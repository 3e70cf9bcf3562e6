#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

Bytes Time(uint16_t y, int8_t mo, int8_t d, int8_t h, int8_t mi, int8_t s) {
  DATETIME t = {y, mo, d, h, mi, s, 0};
  return Raw(&t, 8);
}

Bytes Stamp(int16_t y, int16_t mo, int16_t d, int16_t h, int16_t mi, int16_t s) {
  DbTimestamp t = {y, mo, d, h, mi, s, 123};
  return Raw(&t, 16);
}

Bytes Slot(const std::u16string& s, size_t characters) {
  std::u16string padded = s;
  padded.resize(characters, u'\0');
  return Raw(padded.data(), 2 * characters);
}

Bytes ArchiveBlock(IArchive* archive) {
  Bytes block(44, 0xEE);
  std::memcpy(block.data() + 16, &archive, sizeof archive);
  return block;
}

// A refused line shows as "null" instead of crashing the test.
Bytes Built(const void* line) {
  return line != nullptr ? DataOf(line) : Bytes{'n', 'u', 'l', 'l'};
}

void Describe(XRowGrider* grid, std::vector<uint16_t> types, std::vector<uint16_t> sizes) {
  ASSERT_EQ(1, grid->SetItemDesc(types.data(), sizes.data(), int32_t(types.size())));
}

// Every builder against line data worked out by hand: texts cut to the column size keep a NUL,
// size 0 keeps the whole text, null values and fields leave empty cells.
TEST(LinesBuildTest, BuildersLayOutCellsByColumn) {
  XMemoArchive archive;
  archive.Append("xyz", 3);
  XRowGrider grid;
  Describe(&grid, {XDT_LONG, XDT_STRING, XDT_STRING, XDT_DOUBLE, XDT_DATETIME}, {4, 5, 0, 8, 8});
  const Bytes expected =
      LineData({Long(-7), Text(u"abcd"), Text(u"abcdefghij"), {}, Time(2024, 3, 5, 14, 7, 9)});

  XDataUnit units[5];
  for (XDataUnit& u : units) u = Unit();
  SetUnitValue(&units[0], int32_t{-7});
  SetUnitValue(&units[1], u"abcdefghij", 0);
  SetUnitValue(&units[2], u"abcdefghij", 0);
  units[3].Type = XDT_DOUBLE;
  SetUnitValue(&units[4], DATETIME{2024, 3, 5, 14, 7, 9, 0});
  const XDataUnit* pointers[5] = {&units[0], &units[1], &units[2], nullptr, &units[4]};
  XRowBuffer row;
  for (const XDataUnit& u : units) row.AddDataUnit(&u);
  row.AddDataUnit(int32_t{99});  // beyond the last column: ignored

  Bytes plain =
      Cat({Long(-7), Slot(u"abcdefghij", 5), Slot(u"", 0), Dbl(1.5), Time(2024, 3, 5, 14, 7, 9)});
  uint8_t nulls[5] = {0, 0, 1, 1, 0};
  Bytes database = Cat({Long(-7), Slot(u"abcdefghij", 5), Dbl(1.5), Stamp(2024, 3, 5, 14, 7, 9)});

  EXPECT_EQ(expected, Built(grid.AddItemLine(units, 5, 0)));
  EXPECT_EQ(expected, Built(grid.AddUnitLine(pointers, 5, 0)));
  void* line = grid.AddItemLine(&row, 11, 12, 13);
  EXPECT_EQ(expected, Built(line));
  EXPECT_EQ(11u, grid.GetLineMarker(line));
  EXPECT_EQ(12u, grid.GetLineProper(line));
  EXPECT_EQ(13u, grid.GetLineBinder(line));
  EXPECT_EQ(LineData({Long(-7), Text(u"abcd"), {}, {}, Time(2024, 3, 5, 14, 7, 9)}),
            Built(grid.AddItemLine(plain.data(), nulls, 0, 0, 0)));

  XRowGrider db;
  Describe(&db, {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME, XDT_ARCHIVE, XDT_LONG},
           {4, 5, 8, 8, 0, 4});
  Bytes record = Cat({Bytes{0}, database, ArchiveBlock(&archive), Long(5)});  // at an odd address
  int32_t status[6] = {0, 0, 3, 0, 0, 0};
  EXPECT_EQ(
      LineData(
          {Long(-7), Text(u"abcd"), {}, Time(2024, 3, 5, 14, 7, 9), Bytes{'x', 'y', 'z'}, Long(5)}),
      Built(line = db.AddDataLine(record.data() + 1, status, 21)));
  EXPECT_EQ(21u, db.GetLineMarker(line));
  EXPECT_EQ(4, grid.GetRowCounter());
}

TEST(LinesBuildTest, UntypedColumnsAdoptTheFirstValuesTypes) {
  XDataUnit units[2] = {Unit(), Unit()};
  XRowGrider grid;
  grid.SetItemDesc(units, 2);
  SetUnitValue(&units[0], 2.5);
  ASSERT_NE(nullptr, grid.AddItemLine(units, 2, 0));
  EXPECT_EQ(XDT_DOUBLE, grid.GetType()[0]);
  EXPECT_EQ(0, grid.GetType()[1]);
  SetUnitValue(&units[0], int32_t{1});
  SetUnitValue(&units[1], u"t", 0);
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 2, 0));  // column 0 stays a double column
  SetUnitValue(&units[0], 1.0);
  uint32_t blob = 4;
  SetUserValue(&units[1], &blob, 0);
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 2, 0));  // lines never hold blobs
  EXPECT_EQ(0, grid.GetType()[1]);
  EXPECT_EQ(1, grid.GetRowCounter());
}

TEST(LinesBuildTest, RefusedLinesAddNothing) {
  XRowGrider grid;
  const uint16_t types[2] = {XDT_LONG, XDT_STRING}, sizes[2] = {2, 0};
  grid.SetItemDesc(types, sizes, 2);
  XDataUnit units[2] = {Unit(), Unit()};
  SetUnitValue(&units[0], int32_t{1});
  std::u16string huge(32767, u'h');  // 65536 bytes with its NUL
  SetUnitValue(&units[1], huge.c_str(), 0);
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 2, 0));
  EXPECT_EQ(nullptr, grid.AddItemLine(units, 1, 0));
  XRowBuffer short_row;
  short_row.AddDataUnit(int32_t{1});
  EXPECT_EQ(nullptr, grid.AddItemLine(&short_row, 0, 0, 0));
  Bytes record = Cat({Long(1), Slot(u"", 0)});
  EXPECT_EQ(nullptr, grid.AddItemLine(record.data(), nullptr, 0, 0, 0));  // 2-byte integer field
  XMemoArchive big;
  Bytes bytes(65536, 1);
  big.Append(bytes.data(), uint32_t(bytes.size()));
  const uint16_t archive_type = XDT_ARCHIVE, no_size = 0;
  XRowGrider archives;
  archives.SetItemDesc(&archive_type, &no_size, 1);
  Bytes block = ArchiveBlock(&big);
  EXPECT_EQ(nullptr, archives.AddItemLine(block.data(), nullptr, 0, 0, 0));  // plain form
  EXPECT_EQ(LineData({{}}), Built(archives.AddDataLine(block.data(), nullptr, 0)));
  XRowGrider none;
  EXPECT_EQ(nullptr, none.AddDataLine(record.data(), nullptr, 0));
  XRowGrider borrower;
  borrower.SetReference(&grid);
  SetUnitValue(&units[1], u"ok", 0);
  EXPECT_EQ(nullptr, borrower.AddItemLine(units, 2, 0));
  EXPECT_EQ(0, grid.GetRowCounter());
  EXPECT_NE(nullptr, grid.AddItemLine(units, 2, 0));
}

}  // namespace

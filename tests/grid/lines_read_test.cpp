#include <gtest/gtest.h>

#include <cstring>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// One line of every readable type, a null double and an archive, to copy out of.
class LinesReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const uint16_t types[6] = {XDT_LONG,     XDT_STRING, XDT_DOUBLE,
                               XDT_DATETIME, XDT_DOUBLE, XDT_ARCHIVE};
    const uint16_t sizes[6] = {4, 0, 8, 8, 8, 0};
    grid_.SetItemDesc(types, sizes, 6);
    XDataUnit units[6];
    for (XDataUnit& u : units) u = Unit();
    SetUnitValue(&units[0], int32_t{42});
    SetUnitValue(&units[1], u"hello", 0);
    SetUnitValue(&units[2], 3.75);
    SetUnitValue(&units[3], DATETIME{2024, 3, 5, 14, 7, 9, 0});
    XMemoArchive archive;
    archive.Append("xyz", 3);
    SetUnitValue(&units[5], static_cast<IArchive*>(&archive), 0);
    ASSERT_NE(nullptr, grid_.AddItemLine(units, 6, 0));
  }

  XRowGrider grid_;
};

// Column numbers pick cells in any order; each field converts by its own type and size.
TEST_F(LinesReadTest, CopiesCellsIntoTypedFields) {
  const int32_t columns[5] = {1, 0, 4, 3, 2};
  const uint16_t types[5] = {XDT_STRING, XDT_DOUBLE, XDT_DOUBLE, XDT_STRING, XDT_LONG};
  const uint16_t sizes[5] = {4, 8, 8, 22, 4};
  uint8_t record[1 + 8 + 8 + 8 + 44 + 4];
  std::memset(record, 0xEE, sizeof record);
  uint8_t nulls[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(0, grid_.GetItemLine(record + 1, nulls, columns, types, sizes, 5));  // no current
  EXPECT_EQ(9, nulls[0]);
  grid_.MoveNextLine(0);
  ASSERT_EQ(1, grid_.GetItemLine(record + 1, nulls, columns, types, sizes, 5));
  std::u16string date = u"2024-03-05%2014:07:09";
  Bytes expected =
      Cat({Bytes{0xEE}, Raw(u"hel", 8), Dbl(42), Bytes(8, 0), Raw(date.c_str(), 44), Long(3)});
  EXPECT_EQ(expected, Raw(record, sizeof record));
  EXPECT_EQ((Bytes{0, 0, 1, 0, 0}), Raw(nulls, 5));
}

// The database form writes DbTimestamps and null words; type 14 fields are size bytes wide.
TEST_F(LinesReadTest, DatabaseFormWritesTimestampsAndNullWords) {
  grid_.MoveNextLine(0);
  const int32_t columns[4] = {3, 4, 1, 0};
  const uint16_t types[4] = {XDT_DATETIME, XDT_LONG, XDT_ALTSTRING, XDT_LONG};
  const uint16_t sizes[4] = {16, 4, 8, 4};
  uint8_t record[16 + 4 + 8 + 4];
  int32_t nulls[4] = {7, 7, 7, 7};
  ASSERT_EQ(1, grid_.GetDataLine(record, nulls, columns, types, sizes, 4));
  DbTimestamp stamp = {2024, 3, 5, 14, 7, 9, 0};
  EXPECT_EQ(Cat({Raw(&stamp, 16), Bytes(4, 0), Raw(u"hel", 8), Long(42)}),
            Raw(record, sizeof record));
  EXPECT_EQ(0, nulls[0]);
  EXPECT_EQ(1, nulls[1]);
}

// A failing field stops the copy; what was written before it stays.
TEST_F(LinesReadTest, FailuresStopAtTheField) {
  grid_.MoveNextLine(0);
  const struct {
    int32_t column;
    uint16_t type;
    uint16_t size;
  } cases[] = {
      {6, XDT_LONG, 4},      // column out of range
      {5, XDT_STRING, 8},    // an archive converts to nothing
      {1, XDT_LONG, 4},      // "hello" is no number
      {0, XDT_LONG, 2},      // field narrower than the integer
      {3, XDT_DATETIME, 8},  // too narrow for a DbTimestamp in the database form
  };
  for (const auto& c : cases) {
    const int32_t columns[2] = {0, c.column};
    const uint16_t types[2] = {XDT_LONG, c.type}, sizes[2] = {4, c.size};
    uint8_t record[4 + 16] = {};
    int32_t nulls[2] = {5, 5};
    EXPECT_EQ(0, grid_.GetDataLine(record, nulls, columns, types, sizes, 2)) << c.column;
    EXPECT_EQ(Long(42), Raw(record, 4));
    EXPECT_EQ(Bytes(16, 0), Raw(record + 4, 16)) << c.column;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// One line: 42, "hello", 3.75, a date-time, a null double and an archive.
class LinesReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const uint16_t types[6] = {XDT_LONG,     XDT_STRING, XDT_DOUBLE,
                               XDT_DATETIME, XDT_DOUBLE, XDT_ARCHIVE};
    const uint16_t sizes[6] = {4, 0, 8, 8, 8, 0};
    grid_.SetItemDesc(types, sizes, 6);
    XDataUnit units[6] = {Unit(), Unit(), Unit(), Unit(), Unit(), Unit()};
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

// Cells picked in any order convert into each field's type and size; the database form writes
// DbTimestamps and reads type 14 fields as size bytes of text.
TEST_F(LinesReadTest, CopiesCellsIntoTypedFields) {
  const int32_t columns[5] = {1, 0, 4, 3, 2};
  const uint16_t types[5] = {XDT_STRING, XDT_DOUBLE, XDT_DOUBLE, XDT_STRING, XDT_LONG};
  const uint16_t sizes[5] = {4, 8, 8, 22, 4};
  uint8_t record[1 + 8 + 8 + 8 + 44 + 4] = {0xEE};
  uint8_t nulls[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(0, grid_.GetItemLine(record + 1, nulls, columns, types, sizes, 5));  // no current
  grid_.MoveNextLine(0);
  ASSERT_EQ(1, grid_.GetItemLine(record + 1, nulls, columns, types, sizes, 5));
  EXPECT_EQ(Cat({Bytes{0xEE}, Raw(u"hel", 8), Dbl(42), Bytes(8, 0),
                 Raw(u"2024-03-05%2014:07:09", 44), Long(3)}),
            Raw(record, sizeof record));
  EXPECT_EQ((Bytes{0, 0, 1, 0, 0}), Raw(nulls, 5));

  const int32_t db_columns[3] = {3, 2, 1};
  const uint16_t db_types[3] = {XDT_DATETIME, XDT_LONG, XDT_ALTSTRING};
  const uint16_t db_sizes[3] = {16, 4, 8};
  int32_t null_words[3] = {7, 7, 7};
  ASSERT_EQ(1, grid_.GetDataLine(record, null_words, db_columns, db_types, db_sizes, 3));
  DbTimestamp stamp = {2024, 3, 5, 14, 7, 9, 0};
  EXPECT_EQ(Cat({Raw(&stamp, 16), Long(3), Raw(u"hel", 8)}), Raw(record, 28));
  EXPECT_EQ(0, null_words[0]);
}

// A failing field stops the copy; the field before it stays written.
TEST_F(LinesReadTest, FailuresStopAtTheField) {
  grid_.MoveNextLine(0);
  const struct {
    int32_t column;
    uint16_t type, size;
  } cases[] = {
      {6, XDT_LONG, 4},      // column out of range
      {5, XDT_STRING, 8},    // an archive converts to nothing
      {3, XDT_DATETIME, 8},  // too narrow for a DbTimestamp
  };
  for (const auto& c : cases) {
    const int32_t columns[2] = {0, c.column};
    const uint16_t types[2] = {XDT_LONG, c.type}, sizes[2] = {4, c.size};
    uint8_t record[4 + 16] = {};
    EXPECT_EQ(0, grid_.GetDataLine(record, nullptr, columns, types, sizes, 2)) << c.column;
    EXPECT_EQ(Cat({Long(42), Bytes(16, 0)}), Raw(record, sizeof record)) << c.column;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

class CellsTest : public ::testing::Test {
 protected:
  void Describe(const std::vector<uint16_t>& types, const std::vector<uint16_t>& sizes,
                const std::vector<Line>& lines) {
    ASSERT_EQ(1, Load(&grid_, GridRecord(types, sizes, lines)));
    line_ = grid_.GetNextLine(nullptr);
  }
  int32_t Set(int32_t column, const char16_t* text) {
    XDataUnit u = Unit();
    SetUnitValue(&u, text, 0);
    return grid_.SetValue(line_, column, &u);
  }
  XDataUnit Get(int32_t column, void* line = nullptr) {
    XDataUnit u = Unit();
    EXPECT_EQ(1, grid_.GetValue(line ? line : line_, column, &u));
    return u;
  }
  std::u16string TextAt(int32_t column) {
    XDataUnit u = Get(column);
    return (u.Null & 1) ? u"<null>" : std::u16string(u.Value.Text);
  }

  XRowGrider grid_;
  void* line_ = nullptr;
};

TEST_F(CellsTest, ValuesPackIntoTheEndOffsetLayout) {
  Describe({XDT_LONG, XDT_STRING, XDT_DOUBLE}, {4, 0, 8}, {Line{}});
  XDataUnit u = Unit();
  SetUnitValue(&u, int32_t{7});
  ASSERT_EQ(1, grid_.SetValue(line_, 0, &u));
  ASSERT_EQ(1, Set(1, u"ab"));
  EXPECT_EQ((Bytes{4, 0, 10, 0, 10, 0, 7, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}), DataOf(line_));
}

TEST_F(CellsTest, GetValueLendsTextInsideTheLineAndReportsTheColumn) {
  Describe({XDT_LONG, XDT_STRING, XDT_DOUBLE}, {4, 12, 8},
           {Line{0, 0, 0, LineData({Long(-5), Text(u"hello"), {}})}});
  XDataUnit u = Get(1);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(u.Value.Text), static_cast<RowLine*>(line_)->Data + 10);
  EXPECT_EQ(u"hello", std::u16string(u.Value.Text));
  u = Get(2);  // an empty cell
  EXPECT_EQ(1, u.Null & 1);
  EXPECT_EQ(0, grid_.GetValue(line_, 3, &u));
  SetUnitValue(&u, int32_t{99});
  EXPECT_EQ(0, grid_.GetValue(0, &u));  // no current line: unit untouched
  EXPECT_EQ(99, u.Value.Long);
  grid_.MoveNextLine(0);
  ASSERT_EQ(1, grid_.GetValue(0, &u));
  EXPECT_EQ(-5, u.Value.Long);
}

TEST_F(CellsTest, SetValueRefusesOrIgnoresWhatTheColumnCannotTake) {
  Describe({XDT_LONG, XDT_ARCHIVE, XDT_USER}, {4, 0, 0},
           {Line{0, 0, 0, LineData({Long(1), {}, {}})}});
  EXPECT_EQ(1, Set(0, u"x"));  // another type: unchanged
  EXPECT_EQ(0, Set(3, u"x"));
  XMemoArchive archive;
  archive.Append("abc", 3);
  XDataUnit u = Unit();
  SetUnitValue(&u, static_cast<IArchive*>(&archive), 0);
  EXPECT_EQ(0, grid_.SetValue(line_, 1, &u));
  EXPECT_EQ(1, grid_.SetValue(line_, 0, &u));
  uint32_t blob = 4;
  SetUserValue(&u, &blob, 0);
  EXPECT_EQ(0, grid_.SetValue(line_, 2, &u));
  EXPECT_EQ(LineData({Long(1), {}, {}}), DataOf(line_));
  SetUnitNull(&u);
  EXPECT_EQ(1, grid_.SetValue(line_, 0, &u));
  EXPECT_EQ(LineData({{}, {}, {}}), DataOf(line_));
}

TEST_F(CellsTest, TextLentByTheSameLineCanBeWrittenBack) {
  Describe({XDT_STRING, XDT_STRING}, {0, 0},
           {Line{0, 0, 0, LineData({Text(u"ab"), Text(u"longer text")})}});
  XDataUnit u = Get(1);
  ASSERT_EQ(1, grid_.SetValue(line_, 0, &u));  // grows cell 0, which moves cell 1
  EXPECT_EQ(u"longer text", TextAt(0));
  u = Get(1);
  ASSERT_EQ(1, grid_.SetValue(line_, 1, &u));
  EXPECT_EQ(LineData({Text(u"longer text"), Text(u"longer text")}), DataOf(line_));
}

TEST_F(CellsTest, CellsMayNotReach65536Bytes) {
  Describe({XDT_STRING, XDT_STRING}, {0, 0}, {Line{}});
  ASSERT_EQ(1, Set(0, std::u16string(20000, u'x').c_str()));  // 40002 bytes
  ASSERT_EQ(1, Set(1, u"kept"));
  EXPECT_EQ(0, Set(1, std::u16string(12766, u'y').c_str()));  // 65536 bytes in all
  EXPECT_EQ(u"kept", TextAt(1));
  EXPECT_EQ(1, Set(1, std::u16string(12765, u'y').c_str()));
}

// Loaded lines can hold anything: cells that do not fit read as null, never past the line, and
// lines whose table does not match are not written.
TEST_F(CellsTest, MalformedCellsReadAsNull) {
  Describe({XDT_STRING, XDT_LONG, XDT_DOUBLE}, {0, 4, 8},
           {Line{0, 0, 0, LineData({Raw(u"abc", 6), Bytes{1, 2}, Bytes{1, 2, 3}})},
            Line{0, 0, 0, Cat({Le16(2), Le16(1), Le16(900), Bytes{1, 1, 1, 1}})}});
  for (void* line = line_; line != nullptr; line = grid_.GetNextLine(line)) {
    for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(1, Get(c, line).Null & 1) << c;
    XDataUnit u = Unit();
    SetUnitValue(&u, u"fits", 0);
    EXPECT_EQ(line == line_ ? 1 : 0, grid_.SetValue(line, 0, &u));
  }
}

TEST_F(CellsTest, ConfirmTypeTruncatesDoublesTowardZero) {
  Describe({XDT_STRING, XDT_DOUBLE, XDT_LONG}, {0, 8, 4},
           {Line{0, 0, 0, LineData({Text(u"a"), Dbl(2.9), Long(10)})},
            Line{0, 0, 0, LineData({Text(u"b"), Dbl(-2.9), Long(20)})},
            Line{0, 0, 0, LineData({Text(u"c"), {}, Long(30)})}, Line{}});
  ASSERT_EQ(1, grid_.ConfirmType(1, XDT_LONG));
  EXPECT_EQ(XDT_LONG, grid_.GetType()[1]);
  std::vector<Bytes> expected = {LineData({Text(u"a"), Long(2), Long(10)}),
                                 LineData({Text(u"b"), Long(-2), Long(20)}),
                                 LineData({Text(u"c"), {}, Long(30)}), Bytes()};
  for (const Bytes& data : expected) {
    EXPECT_EQ(data, DataOf(line_));
    line_ = grid_.GetNextLine(line_);
  }
}

}  // namespace

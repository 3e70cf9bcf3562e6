#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// A grid of integer, text and double columns with `lines` lines that hold no data yet.
class CellsTest : public ::testing::Test {
 protected:
  void Describe(const std::vector<uint16_t>& types, const std::vector<uint16_t>& sizes,
                const std::vector<Line>& lines) {
    ASSERT_EQ(1, Load(&grid_, GridRecord(types, sizes, lines)));
    line_ = grid_.GetNextLine(nullptr);
  }
  void SetText(int32_t column, const char16_t* text) {
    XDataUnit u = Unit();
    SetUnitValue(&u, text, 0);
    ASSERT_EQ(1, grid_.SetValue(line_, column, &u));
  }
  std::u16string TextAt(int32_t column) {
    XDataUnit u = Unit();
    EXPECT_EQ(1, grid_.GetValue(line_, column, &u));
    return (u.Null & 1) ? u"<null>" : std::u16string(u.Value.Text);
  }
  int32_t LongAt(int32_t column) {
    XDataUnit u = Unit();
    EXPECT_EQ(1, grid_.GetValue(line_, column, &u));
    EXPECT_EQ(0, u.Null & 1);
    return u.Value.Long;
  }

  XRowGrider grid_;
  void* line_ = nullptr;
};

TEST_F(CellsTest, ValuesPackIntoTheEndOffsetLayout) {
  Describe({XDT_LONG, XDT_STRING, XDT_DOUBLE}, {4, 0, 8}, {Line{}});
  XDataUnit u = Unit();
  SetUnitValue(&u, int32_t{7});
  ASSERT_EQ(1, grid_.SetValue(line_, 0, &u));
  SetText(1, u"ab");
  EXPECT_EQ(LineData({Long(7), Text(u"ab"), {}}), DataOf(line_));
  EXPECT_EQ(16u, static_cast<RowLine*>(line_)->DataSize);
}

TEST_F(CellsTest, GetValueLendsTextInsideTheLineAndReportsTheColumn) {
  Describe({XDT_LONG, XDT_STRING, XDT_DOUBLE}, {4, 12, 8},
           {Line{0, 0, 0, LineData({Long(-5), Text(u"hello"), {}})}});
  XDataUnit u = Unit();
  ASSERT_EQ(1, grid_.GetValue(line_, 1, &u));
  const RowLine* row = static_cast<RowLine*>(line_);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(u.Value.Text), row->Data + 6 + 4);
  EXPECT_EQ(nullptr, u.Owned);
  EXPECT_EQ(XDT_STRING, u.Type);
  EXPECT_EQ(12, u.Size);
  EXPECT_EQ(u"hello", std::u16string(u.Value.Text));

  ASSERT_EQ(1, grid_.GetValue(line_, 2, &u));  // an empty cell
  EXPECT_EQ(1, u.Null & 1);
  EXPECT_EQ(XDT_DOUBLE, u.Type);
  EXPECT_EQ(8, u.Size);

  EXPECT_EQ(0, grid_.GetValue(line_, 3, &u));
  EXPECT_EQ(0, grid_.GetValue(line_, -1, &u));
  EXPECT_EQ(1, u.Null & 1);
}

TEST_F(CellsTest, ByColumnGetValueNeedsACurrentLine) {
  Describe({XDT_LONG}, {4}, {Line{0, 0, 0, LineData({Long(3)})}});
  XDataUnit u = Unit();
  SetUnitValue(&u, int32_t{99});
  EXPECT_EQ(0, grid_.GetValue(0, &u));
  EXPECT_EQ(99, u.Value.Long);  // untouched
  grid_.MoveNextLine(0);
  ASSERT_EQ(1, grid_.GetValue(0, &u));
  EXPECT_EQ(3, u.Value.Long);
}

TEST_F(CellsTest, SetValueRefusesOrIgnoresWhatTheColumnCannotTake) {
  Describe({XDT_LONG, XDT_ARCHIVE, XDT_USER}, {4, 0, 0},
           {Line{0, 0, 0, LineData({Long(1), {}, {}})}});
  XDataUnit text = Unit();
  SetUnitValue(&text, u"x", 0);
  EXPECT_EQ(1, grid_.SetValue(line_, 0, &text));  // another type: unchanged
  EXPECT_EQ(1, LongAt(0));

  XMemoArchive archive;
  archive.Append("abc", 3);
  XDataUnit held = Unit();
  SetUnitValue(&held, static_cast<IArchive*>(&archive), 0);
  EXPECT_EQ(0, grid_.SetValue(line_, 1, &held));
  EXPECT_EQ(1, grid_.SetValue(line_, 0, &held));  // archive into an integer column: mismatch

  XDataUnit blob = Unit();
  uint32_t word = 4;
  SetUserValue(&blob, &word, 0);
  EXPECT_EQ(0, grid_.SetValue(line_, 2, &blob));
  EXPECT_EQ(0, grid_.SetValue(line_, 3, &text));

  XDataUnit null = Unit();
  EXPECT_EQ(1, grid_.SetValue(line_, 0, &null));
  XDataUnit u = Unit();
  grid_.GetValue(line_, 0, &u);
  EXPECT_EQ(1, u.Null & 1);
  EXPECT_EQ(LineData({{}, {}, {}}), DataOf(line_));
}

// Rewriting the middle cell with longer and shorter texts keeps its neighbours readable.
TEST_F(CellsTest, ResizingAMiddleCellKeepsTheOthers) {
  Describe({XDT_STRING, XDT_STRING, XDT_STRING}, {0, 0, 0},
           {Line{0, 0, 0, LineData({Text(u"first"), Text(u"mid"), Text(u"last")})}});
  for (const char16_t* text : {u"a much longer middle", u"", u"m", u"medium sized"}) {
    SetText(1, text);
    EXPECT_EQ(u"first", TextAt(0));
    EXPECT_EQ(text, TextAt(1));
    EXPECT_EQ(u"last", TextAt(2));
    EXPECT_EQ(LineData({Text(u"first"), Text(text), Text(u"last")}), DataOf(line_));
  }
}

TEST_F(CellsTest, TextLentByTheSameLineCanBeWrittenBack) {
  Describe({XDT_STRING, XDT_STRING}, {0, 0},
           {Line{0, 0, 0, LineData({Text(u"ab"), Text(u"longer text")})}});
  XDataUnit u = Unit();
  grid_.GetValue(line_, 1, &u);
  ASSERT_EQ(1, grid_.SetValue(line_, 0, &u));  // grows cell 0 while u points into cell 1
  EXPECT_EQ(u"longer text", TextAt(0));
  grid_.GetValue(line_, 0, &u);
  SetText(0, u"z");
  grid_.GetValue(line_, 1, &u);
  ASSERT_EQ(1, grid_.SetValue(line_, 1, &u));  // its own text, written in place
  EXPECT_EQ(u"longer text", TextAt(1));
}

TEST_F(CellsTest, CellsMayNotReach65536Bytes) {
  Describe({XDT_STRING, XDT_STRING}, {0, 0}, {Line{}});
  std::u16string big(20000, u'x');  // 40002 bytes
  SetText(0, big.c_str());
  SetText(1, u"kept");
  XDataUnit u = Unit();
  std::u16string too_big(12766, u'y');  // 40002 + 25534 = 65536 bytes
  SetUnitValue(&u, too_big.c_str(), 0);
  EXPECT_EQ(0, grid_.SetValue(line_, 1, &u));
  EXPECT_EQ(u"kept", TextAt(1));
  std::u16string fitting(12765, u'y');  // 65534 bytes
  SetUnitValue(&u, fitting.c_str(), 0);
  EXPECT_EQ(1, grid_.SetValue(line_, 1, &u));
  EXPECT_EQ(fitting, TextAt(1));
}

TEST_F(CellsTest, ArchiveCellsAreLentThroughOneCellArchive) {
  Describe({XDT_ARCHIVE, XDT_ARCHIVE}, {0, 0},
           {Line{0, 0, 0, LineData({Bytes{1, 2, 3}, Bytes{9, 8, 7, 6, 5}})}});
  XDataUnit first = Unit();
  ASSERT_EQ(1, grid_.GetValue(line_, 0, &first));
  ASSERT_EQ(0, first.Null & 1);
  EXPECT_EQ(nullptr, first.Owned);
  EXPECT_EQ((Bytes{1, 2, 3}), ArchiveBytes(first.Value.Archive));
  XDataUnit second = Unit();
  ASSERT_EQ(1, grid_.GetValue(line_, 1, &second));
  EXPECT_EQ(first.Value.Archive, second.Value.Archive);
  EXPECT_EQ((Bytes{9, 8, 7, 6, 5}), ArchiveBytes(second.Value.Archive));
}

// Loaded lines can hold anything: cells that do not fit their type read as null, never past
// the line.
TEST_F(CellsTest, MalformedCellsReadAsNull) {
  Bytes unterminated = Raw(u"abc", 6);
  Bytes short_long = {1, 2};
  Describe({XDT_STRING, XDT_LONG, XDT_DOUBLE}, {0, 4, 8},
           {Line{0, 0, 0, LineData({unterminated, short_long, Bytes{1, 2, 3}})},
            Line{0, 0, 0, Cat({Le16(2), Le16(1), Le16(900), Bytes{1, 1, 1, 1}})}});
  for (void* line = grid_.GetNextLine(nullptr); line != nullptr; line = grid_.GetNextLine(line)) {
    for (int32_t c = 0; c < 3; ++c) {
      XDataUnit u = Unit();
      EXPECT_EQ(1, grid_.GetValue(line, c, &u));
      EXPECT_EQ(1, u.Null & 1) << c;
    }
    XDataUnit u = Unit();
    SetUnitValue(&u, u"fits", 0);
    EXPECT_EQ(line == line_ ? 1 : 0, grid_.SetValue(line, 0, &u));
  }
}

TEST_F(CellsTest, ConfirmTypeTruncatesDoublesTowardZero) {
  Describe({XDT_STRING, XDT_DOUBLE, XDT_LONG}, {0, 8, 4},
           {Line{1, 0, 0, LineData({Text(u"a"), Dbl(2.9), Long(10)})},
            Line{2, 0, 0, LineData({Text(u"b"), Dbl(-2.9), Long(20)})},
            Line{3, 0, 0, LineData({Text(u"c"), {}, Long(30)})}, Line{4, 0, 0, {}}});
  ASSERT_EQ(1, grid_.ConfirmType(1, XDT_LONG));
  EXPECT_EQ(XDT_LONG, grid_.GetType()[1]);
  EXPECT_EQ(8, grid_.GetSize()[1]);
  void* line = grid_.GetNextLine(nullptr);
  EXPECT_EQ(LineData({Text(u"a"), Long(2), Long(10)}), DataOf(line));
  line = grid_.GetNextLine(line);
  EXPECT_EQ(LineData({Text(u"b"), Long(-2), Long(20)}), DataOf(line));
  line = grid_.GetNextLine(line);
  EXPECT_EQ(LineData({Text(u"c"), {}, Long(30)}), DataOf(line));
  EXPECT_EQ(Bytes(), DataOf(grid_.GetNextLine(line)));
}

TEST_F(CellsTest, ConfirmTypeRefusesOtherPairs) {
  Describe({XDT_LONG, XDT_DOUBLE, XDT_STRING}, {4, 8, 0},
           {Line{0, 0, 0, LineData({Long(1), Dbl(1.5), Text(u"1")})}});
  Bytes before = DataOf(line_);
  struct Case {
    int32_t column;
    uint16_t type;
    int32_t result;
  };
  for (const Case& c : {Case{0, XDT_DOUBLE, 0}, Case{1, XDT_STRING, 0}, Case{2, XDT_LONG, 0},
                        Case{1, XDT_DATETIME, 0}, Case{0, XDT_LONG, 1}, Case{3, XDT_LONG, 0},
                        Case{-1, XDT_LONG, 0}}) {
    EXPECT_EQ(c.result, grid_.ConfirmType(c.column, c.type)) << c.column << " " << c.type;
  }
  EXPECT_EQ(before, DataOf(line_));
  EXPECT_EQ(XDT_DOUBLE, grid_.GetType()[1]);
}

TEST_F(CellsTest, ConfirmTypeChangesNothingWhenALineCannotConvert) {
  Describe({XDT_DOUBLE}, {8},
           {Line{0, 0, 0, LineData({Dbl(4.5)})}, Line{0, 0, 0, LineData({Long(4)})}});
  EXPECT_EQ(0, grid_.ConfirmType(0, XDT_LONG));
  EXPECT_EQ(LineData({Dbl(4.5)}), DataOf(line_));
  EXPECT_EQ(XDT_DOUBLE, grid_.GetType()[0]);
}

}  // namespace

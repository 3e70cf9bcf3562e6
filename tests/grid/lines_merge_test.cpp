#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

void Make(XRowGrider* grid, const std::vector<uint16_t>& types, const std::vector<Line>& lines,
          const std::vector<uint32_t>& kapes = {}) {
  ASSERT_EQ(1, Load(grid, GridRecord(types, std::vector<uint16_t>(types.size(), 0), lines)));
  if (!kapes.empty()) grid->SetDescKape(kapes.data(), int32_t(kapes.size()));
}

std::vector<Bytes> AllData(const XRowGrider& grid) {
  std::vector<Bytes> out;
  for (const void* l = grid.GetNextLine(nullptr); l != nullptr; l = grid.GetNextLine(l))
    out.push_back(DataOf(l));
  return out;
}

const std::vector<uint16_t> kTwo = {XDT_LONG, XDT_STRING};
const Line kLine = {0, 0, 0, LineData({Long(1), Text(u"one")})};

// The same layout moves the lines themselves (the tail too); lines a source only borrows are
// copied, so borrowing this grid's own lines doubles them.
TEST(LinesMergeTest, SameLayoutMovesOwnedLines) {
  XRowGrider target, source, borrower;
  Make(&target, kTwo, {kLine});
  Make(&source, kTwo, {kLine, kLine});
  void* moved = source.GetNextLine(nullptr);
  ASSERT_EQ(1, target.AddGrider(&source));
  EXPECT_EQ(nullptr, source.GetNextLine(nullptr));
  EXPECT_EQ(moved, target.GetNextLine(target.GetNextLine(nullptr)));
  XDataUnit units[2] = {Unit(), Unit()};
  void* added = target.AddItemLine(units, 2, 0);
  EXPECT_EQ(added, target.GetNextLine(target.GetNextLine(moved)));
  borrower.SetReference(&target);
  ASSERT_EQ(1, target.AddGrider(&borrower));
  EXPECT_EQ(8, target.GetRowCounter());
}

// Columns found by kape elsewhere: numbers convert to the target column's type, other cells
// copy, unmatched columns stay empty, header words travel, the source keeps its lines.
TEST(LinesMergeTest, KeyMappedLinesAreCopiedWithConversions) {
  XRowGrider target, source;
  Make(&target, {XDT_LONG, XDT_DOUBLE, XDT_STRING, XDT_LONG}, {}, {10, 20, 30, 40});
  Make(&source, {XDT_STRING, XDT_DOUBLE, XDT_LONG},
       {Line{1, 2, 3, LineData({Text(u"a"), Dbl(3.7), Long(5)})},
        Line{4, 5, 6, LineData({{}, Dbl(-3.7), Long(-1)})}},
       {30, 10, 20});
  ASSERT_EQ(1, target.AddGrider(&source));
  EXPECT_EQ((std::vector<Bytes>{LineData({Long(3), Dbl(5), Text(u"a"), {}}),
                                LineData({Long(-3), Dbl(-1), {}, {}})}),
            AllData(target));
  void* last = target.GetNextLine(target.GetNextLine(nullptr));
  EXPECT_EQ(5u, target.GetLineProper(last));
  EXPECT_EQ(6u, target.GetLineBinder(last));
  EXPECT_EQ(2, source.GetRowCounter());
}

TEST(LinesMergeTest, RefusalsKeepWhatWasMerged) {
  const struct {
    std::vector<uint16_t> types;
    std::vector<uint32_t> kapes;
    int32_t lines_after;
  } cases[] = {
      {{XDT_LONG, XDT_STRING, XDT_LONG}, {}, 0},  // wider source
      {{XDT_LONG}, {7}, 0},                       // kape 7 matches nothing
      {{XDT_STRING}, {0}, 1},                     // text into an integer column, second line
  };
  for (const auto& c : cases) {
    XRowGrider target, source;
    Make(&target, kTwo, {});
    Make(&source, c.types,
         {Line{0, 0, 0, LineData({{}})}, Line{0, 0, 0, LineData({Text(u"9")})}, Line{}}, c.kapes);
    EXPECT_EQ(0, target.AddGrider(&source));
    EXPECT_EQ(c.lines_after, target.GetRowCounter());
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// Loads a grid of the given columns and lines; kapes are set when given.
void Make(XRowGrider* grid, const std::vector<uint16_t>& types, const std::vector<Line>& lines,
          const std::vector<uint32_t>& kapes = {}) {
  ASSERT_EQ(1, Load(grid, GridRecord(types, std::vector<uint16_t>(types.size(), 0), lines)));
  if (kapes.empty()) return;
  ASSERT_EQ(1, grid->SetDescKape(kapes.data(), int32_t(kapes.size())));
}

std::vector<Bytes> AllData(const XRowGrider& grid) {
  std::vector<Bytes> out;
  for (const void* l = grid.GetNextLine(nullptr); l != nullptr; l = grid.GetNextLine(l))
    out.push_back(DataOf(l));
  return out;
}

const Bytes kOne = LineData({Long(1), Text(u"one")});
const Bytes kTwo = LineData({Long(2), Text(u"two")});

TEST(LinesMergeTest, SameLayoutMovesTheLinesThemselves) {
  XRowGrider target, source;
  Make(&target, {XDT_LONG, XDT_STRING}, {Line{0, 0, 0, kOne}});
  Make(&source, {XDT_LONG, XDT_STRING}, {Line{0, 0, 0, kTwo}, Line{0, 0, 0, kOne}});
  void* moved = source.GetNextLine(nullptr);
  ASSERT_EQ(1, target.AddGrider(&source));
  EXPECT_EQ(nullptr, source.GetNextLine(nullptr));
  EXPECT_EQ(moved, target.GetNextLine(target.GetNextLine(nullptr)));
  XDataUnit units[2] = {Unit(), Unit()};
  void* added = target.AddItemLine(units, 2, 0);  // the tail came along
  EXPECT_EQ(4, target.GetRowCounter());
  EXPECT_EQ(added, target.GetNextLine(target.GetNextLine(moved)));

  // Lines the source only borrows are copied; borrowing this grid's own lines doubles them.
  XRowGrider owner, borrower;
  Make(&owner, {XDT_LONG, XDT_STRING}, {Line{0, 0, 0, kTwo}});
  borrower.SetReference(&owner);
  ASSERT_EQ(1, target.AddGrider(&borrower));
  EXPECT_EQ(1, owner.GetRowCounter());
  EXPECT_NE(owner.GetNextLine(nullptr), static_cast<RowLine*>(added)->Next);
  borrower.SetReference(&target);
  ASSERT_EQ(1, target.AddGrider(&borrower));
  EXPECT_EQ(10, target.GetRowCounter());
}

// Columns found by kape in other positions: numbers convert to the target column's type, other
// cells copy, unmatched target columns stay empty, header words travel, the source keeps all.
TEST(LinesMergeTest, KeyMappedLinesAreCopiedWithConversions) {
  XRowGrider target, source;
  Make(&target, {XDT_LONG, XDT_DOUBLE, XDT_STRING, XDT_LONG}, {}, {10, 20, 30, 40});
  Make(&source, {XDT_STRING, XDT_DOUBLE, XDT_LONG},
       {Line{1, 2, 3, LineData({Text(u"a"), Dbl(3.7), Long(5)})},
        Line{4, 5, 6, LineData({{}, Dbl(-3.7), {}})}, Line{7, 8, 9, LineData({{}, {}, Long(-1)})}},
       {30, 10, 20});
  source.MoveNextLine(0);
  ASSERT_EQ(1, target.AddGrider(&source));
  EXPECT_EQ((std::vector<Bytes>{LineData({Long(3), Dbl(5), Text(u"a"), {}}),
                                LineData({Long(-3), {}, {}, {}}), LineData({{}, Dbl(-1), {}, {}})}),
            AllData(target));
  void* last = target.GetNextLine(target.GetNextLine(target.GetNextLine(nullptr)));
  EXPECT_EQ(7u, target.GetLineMarker(last));
  EXPECT_EQ(8u, target.GetLineProper(last));
  EXPECT_EQ(9u, target.GetLineBinder(last));
  EXPECT_EQ(3, source.GetRowCounter());
  EXPECT_EQ(0u, source.GetLineMarker(nullptr));  // Current walked off the end
}

TEST(LinesMergeTest, RefusalsKeepWhatWasMerged) {
  const std::vector<uint16_t> two = {XDT_LONG, XDT_STRING};
  const struct {
    std::vector<uint16_t> source_types;
    std::vector<uint32_t> source_kapes;
    std::vector<Line> source_lines;
    int32_t lines_after;
  } cases[] = {
      {{XDT_LONG, XDT_STRING, XDT_LONG}, {}, {Line{}}, 0},  // wider source
      {{XDT_LONG}, {7}, {Line{}}, 0},                       // kape 7 matches nothing
      {{XDT_STRING},
       {0},  // text into an integer column
       {Line{0, 0, 0, LineData({{}})}, Line{0, 0, 0, LineData({Text(u"9")})}, Line{}},
       1},
  };
  for (const auto& c : cases) {
    XRowGrider target, source;
    Make(&target, two, {});
    Make(&source, c.source_types, c.source_lines, c.source_kapes);
    EXPECT_EQ(0, target.AddGrider(&source));
    EXPECT_EQ(c.lines_after, target.GetRowCounter());
  }
  XRowGrider source, empty, borrower;
  Make(&source, two, {Line{}});
  EXPECT_EQ(0, empty.AddGrider(&source));
  borrower.SetReference(&source);
  EXPECT_EQ(0, borrower.AddGrider(&source));
  EXPECT_EQ(1, source.GetRowCounter());
}

}  // namespace

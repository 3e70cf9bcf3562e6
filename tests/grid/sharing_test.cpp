#include <gtest/gtest.h>

#include <utility>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// Grids of an integer and a text column; each line's integer is its marker.
Bytes Record(std::initializer_list<int32_t> values) {
  std::vector<Line> lines;
  for (int32_t v : values) {
    lines.push_back(Line{uint32_t(v), 0, uint32_t(v * 10), LineData({Long(v), Text(u"t")})});
  }
  return GridRecord({XDT_LONG, XDT_STRING}, {4, 8}, lines);
}

std::vector<int32_t> Values(XRowGrider* g) {
  std::vector<int32_t> out;
  for (void* l = g->GetNextLine(nullptr); l != nullptr; l = g->GetNextLine(l)) {
    XDataUnit u = Unit();
    g->GetValue(l, 0, &u);
    out.push_back(u.Value.Long);
  }
  return out;
}

XDataUnit LongUnit(int32_t v) {
  XDataUnit u = Unit();
  SetUnitValue(&u, v);
  return u;
}

TEST(SharingTest, AReferenceReadsButNeverChangesTheBorrowedStorage) {
  XRowGrider owner;
  ASSERT_EQ(1, Load(&owner, Record({1, 2})));
  {
    XRowGrider borrower;
    ASSERT_EQ(1, borrower.SetReference(&owner));
    EXPECT_EQ(1, borrower.IsReference());
    EXPECT_EQ((std::vector<int32_t>{1, 2}), Values(&borrower));
    EXPECT_EQ(owner.GetType(), borrower.GetType());
    XDataUnit u = LongUnit(9);
    void* line = borrower.GetNextLine(nullptr);
    EXPECT_EQ(0, borrower.SetValue(line, 0, &u));
    EXPECT_EQ(0, borrower.DeleteRowLine(line));
    EXPECT_EQ(0, borrower.ConfirmType(0, XDT_LONG));
    EXPECT_EQ(0, borrower.SetDescKape(nullptr, 2));
    borrower.ClearBuffer();
    EXPECT_EQ(0, borrower.IsReference());
    ASSERT_EQ(1, borrower.SetReference(&owner));
  }  // destroying the reference frees nothing
  EXPECT_EQ((std::vector<int32_t>{1, 2}), Values(&owner));
  EXPECT_EQ(0, owner.SetReference(&owner));
  EXPECT_EQ(0, owner.SetReference(nullptr));
}

TEST(SharingTest, AttachTakesOwnershipAndLeavesTheSourceReferencing) {
  XRowGrider* source = XRowGrider::Malloc();
  ASSERT_EQ(1, Load(source, Record({4, 5, 6})));
  XRowGrider taker;
  ASSERT_EQ(1, taker.AttachGrider(source));
  EXPECT_EQ(0, taker.IsReference());
  EXPECT_EQ(1, source->IsReference());
  EXPECT_EQ((std::vector<int32_t>{4, 5, 6}), Values(source));
  XRowGrider::Release(source);  // frees nothing: the sanitizers see a double free otherwise
  EXPECT_EQ((std::vector<int32_t>{4, 5, 6}), Values(&taker));
  XDataUnit u = LongUnit(40);
  ASSERT_EQ(1, taker.SetValue(taker.GetNextLine(nullptr), 0, &u));
  EXPECT_EQ((std::vector<int32_t>{40, 5, 6}), Values(&taker));
}

TEST(SharingTest, AttachFromAReferenceMakesADeepCopy) {
  XRowGrider owner;
  ASSERT_EQ(1, Load(&owner, Record({7, 8})));
  XRowGrider reference;
  ASSERT_EQ(1, reference.SetReference(&owner));
  XRowGrider copy;
  ASSERT_EQ(1, copy.AttachGrider(&reference));
  EXPECT_EQ(0, copy.IsReference());
  EXPECT_NE(owner.GetNextLine(nullptr), copy.GetNextLine(nullptr));
  XDataUnit u = LongUnit(70);
  ASSERT_EQ(1, copy.SetValue(copy.GetNextLine(nullptr), 0, &u));
  EXPECT_EQ((std::vector<int32_t>{70, 8}), Values(&copy));
  EXPECT_EQ((std::vector<int32_t>{7, 8}), Values(&owner));
}

TEST(SharingTest, CloneIsIndependentAndLeavesTheSourceWithoutCurrent) {
  XRowGrider source;
  ASSERT_EQ(1, Load(&source, Record({1, 2, 3})));
  ASSERT_EQ(1, source.SetDescKape(nullptr, 2));
  source.MoveNextLine(0);
  XRowGrider clone;
  ASSERT_EQ(1, clone.CloneGrider(&source));
  EXPECT_EQ(nullptr, source.MoveNextLine(1));
  EXPECT_EQ(Store(&source), Store(&clone));  // description, headers and line data alike
  EXPECT_EQ(10u, clone.GetLineBinder(clone.GetNextLine(nullptr)));
  XDataUnit u = LongUnit(100);
  ASSERT_EQ(1, clone.SetValue(clone.GetNextLine(nullptr), 0, &u));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), Values(&source));
  EXPECT_EQ(0, clone.CloneGrider(&clone));
  EXPECT_EQ(0, clone.CloneGrider(nullptr));
}

TEST(SharingTest, SetGriderTakesAnOwnedGridOver) {
  XRowGrider* held = XRowGrider::Malloc();
  ASSERT_EQ(1, Load(held, Record({1, 2})));
  XRowBuffer row;
  row.AddDataUnit(held, 1);
  XRowGrider g;
  ASSERT_EQ(1, g.SetGrider(&row));
  EXPECT_EQ(0, g.IsReference());
  EXPECT_EQ((std::vector<int32_t>{1, 2}), Values(&g));
  EXPECT_EQ(0, held->GetColCounter());
  EXPECT_EQ(nullptr, held->GetNextLine(nullptr));
}

TEST(SharingTest, SetGriderBorrowsAGridTheUnitDoesNotOwn) {
  XRowGrider held;
  ASSERT_EQ(1, Load(&held, Record({3})));
  XRowBuffer row;
  row.AddDataUnit(&held, 0);
  XRowGrider g;
  ASSERT_EQ(1, g.SetGrider(&row));
  EXPECT_EQ(1, g.IsReference());
  EXPECT_EQ((std::vector<int32_t>{3}), Values(&g));
  EXPECT_EQ((std::vector<int32_t>{3}), Values(&held));
}

TEST(SharingTest, SetGriderWithoutAGrid) {
  XRowGrider g;
  ASSERT_EQ(1, Load(&g, Record({1})));
  XRowBuffer row;
  EXPECT_EQ(1, g.SetGrider(&row));
  EXPECT_EQ(0, g.GetColCounter());
  row.AddDataUnit(static_cast<XRowGrider*>(nullptr), 0);
  EXPECT_EQ(1, g.SetGrider(&row));
  XRowBuffer numbers;
  numbers.AddDataUnit(int32_t{5});
  EXPECT_EQ(0, g.SetGrider(&numbers));
}

TEST(SharingTest, MovingLeavesTheSourceEmpty) {
  XRowGrider a;
  ASSERT_EQ(1, Load(&a, Record({1, 2})));
  XRowGrider b(std::move(a));
  EXPECT_EQ((std::vector<int32_t>{1, 2}), Values(&b));
  EXPECT_EQ(0, a.GetColCounter());
  EXPECT_EQ(0, a.GetRowCounter());
  XRowGrider c;
  ASSERT_EQ(1, Load(&c, Record({9})));
  c = std::move(b);
  EXPECT_EQ((std::vector<int32_t>{1, 2}), Values(&c));
  EXPECT_EQ(0, b.GetRowCounter());
}

}  // namespace

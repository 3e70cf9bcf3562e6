#include <gtest/gtest.h>

#include <utility>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// A grid of one integer column; each line's integer is also its marker.
Bytes Record(std::initializer_list<int32_t> values) {
  std::vector<Line> lines;
  for (int32_t v : values)
    lines.push_back(Line{uint32_t(v), 0, uint32_t(v * 10), LineData({Long(v)})});
  return GridRecord({XDT_LONG}, {4}, lines);
}

int32_t SetFirst(XRowGrider* g, int32_t value) {
  XDataUnit u = Unit();
  SetUnitValue(&u, value);
  return g->SetValue(g->GetNextLine(nullptr), 0, &u);
}

TEST(SharingTest, AReferenceReadsButNeverChangesTheBorrowedStorage) {
  XRowGrider owner;
  ASSERT_EQ(1, Load(&owner, Record({1, 2})));
  {
    XRowGrider borrower;
    ASSERT_EQ(1, borrower.SetReference(&owner));
    EXPECT_EQ(1, borrower.IsReference());
    EXPECT_EQ((std::vector<int32_t>{1, 2}), FirstLongs(&borrower));
    EXPECT_EQ(0, SetFirst(&borrower, 9));
    EXPECT_EQ(0, borrower.DeleteRowLine(borrower.GetNextLine(nullptr)));
  }  // destroying the reference frees nothing
  EXPECT_EQ((std::vector<int32_t>{1, 2}), FirstLongs(&owner));
  EXPECT_EQ(0, owner.SetReference(&owner));
}

TEST(SharingTest, AttachTakesOwnershipAndLeavesTheSourceReferencing) {
  XRowGrider* source = XRowGrider::Malloc();
  ASSERT_EQ(1, Load(source, Record({4, 5})));
  XRowGrider taker;
  ASSERT_EQ(1, taker.AttachGrider(source));
  EXPECT_EQ(0, taker.IsReference());
  EXPECT_EQ(1, source->IsReference());
  EXPECT_EQ((std::vector<int32_t>{4, 5}), FirstLongs(source));
  XRowGrider::Release(source);  // frees nothing, or the sanitizers report a double free
  ASSERT_EQ(1, SetFirst(&taker, 40));
  EXPECT_EQ((std::vector<int32_t>{40, 5}), FirstLongs(&taker));
}

TEST(SharingTest, AttachFromAReferenceAndCloneMakeDeepCopies) {
  XRowGrider owner;
  ASSERT_EQ(1, Load(&owner, Record({7, 8})));
  ASSERT_EQ(1, owner.SetDescKape(nullptr, 1));
  owner.MoveNextLine(0);
  XRowGrider reference, attached, clone;
  ASSERT_EQ(1, reference.SetReference(&owner));
  ASSERT_EQ(1, attached.AttachGrider(&reference));
  ASSERT_EQ(1, clone.CloneGrider(&owner));
  EXPECT_EQ(nullptr, owner.MoveNextLine(1));  // cloning walked the source
  for (XRowGrider* copy : {&attached, &clone}) {
    EXPECT_EQ(0, copy->IsReference());
    EXPECT_EQ(Store(&owner), Store(copy));  // description, line headers and data alike
    ASSERT_EQ(1, SetFirst(copy, 70));
  }
  EXPECT_EQ((std::vector<int32_t>{7, 8}), FirstLongs(&owner));
  EXPECT_EQ(0, clone.CloneGrider(&clone));
}

}  // namespace

// The row buffer's chain, its adders from units, and units read from a packed line.
#include <gtest/gtest.h>

#include "rows/row_util.h"

namespace {

using rows_test::Units;
using Chain = std::vector<XDataUnit*>;

TEST(RowChain, DropUnitKeepsHeadAndTailRight) {
  XRowBuffer row, keeper;
  XDataUnit* a = row.AddDataUnit(1);
  XDataUnit* b = row.AddDataUnit(u"b", 1);
  XDataUnit* c = row.AddDataUnit(3);
  row.DropUnit(c);  // the tail: the next unit links after b
  XDataUnit* d = row.AddNullUnit();
  row.DropUnit(a);
  XDataUnit stranger{};
  row.DropUnit(&stranger);
  EXPECT_EQ(Units(row), (Chain{b, d}));
  row.DropUnit(b);
  row.DropUnit(d);
  EXPECT_EQ(row.GetRowBuffer(), nullptr);
  row.AddUnit(c);  // dropped units belong to the caller and can come back
  row.AddUnit(a);
  EXPECT_EQ(Units(row), (Chain{c, a}));
  keeper.AddUnit(b);
  keeper.AddUnit(d);
}

TEST(RowChain, CombineAndAttachMoveWholeChains) {
  XRowBuffer row, other;
  row.RowWord1 = 1;
  row.RowWord3 = 3;
  other.RowWord2 = 20;
  other.RowWord3 = 30;
  XDataUnit* first = row.AddDataUnit(10);
  XDataUnit* second = other.AddDataUnit(20);
  XDataUnit* third = other.AddDataUnit(u"30", 1);
  EXPECT_EQ(row.Combine(&other), 2);
  XDataUnit* fourth = row.AddNullUnit();
  EXPECT_EQ(Units(row), (Chain{first, second, third, fourth}));
  EXPECT_EQ(other.GetRowBuffer(), nullptr);
  // A non-zero word replaces this row's; the third word is never taken.
  EXPECT_EQ(std::vector<int32_t>({row.RowWord1, row.RowWord2, row.RowWord3}),
            std::vector<int32_t>({1, 20, 3}));
  other.AddDataUnit(u"given back", 1);
  other.AttachBuffer(&row);
  EXPECT_EQ(other.GetUnitCounter(), 4);
}

// Item descriptors of these types and sizes, chained after `head`.
struct ItemChain {
  ItemChain(std::initializer_list<std::pair<uint16_t, uint16_t>> items) {
    XItemDataDesc* desc = nullptr;
    for (const auto& [type, size] : items) {
      desc = desc == nullptr ? &head : (desc->Next = MallocItemDesc());
      desc->Type = type;
      desc->Size = size;
    }
  }
  ~ItemChain() { ReleaseItemDesc(&head); }
  XItemDataDesc head{};
};

TEST(ItemLine, ReadsEachItemAtItsSlot) {
  // A date-time slot is a 16-byte timestamp whatever its Size; a text never leaves its slot.
  ItemChain items{
      {XDT_LONG, 4}, {XDT_STRING, 10}, {XDT_DATETIME, 8}, {XDT_STRING, 3}, {XDT_DOUBLE, 8}};
  const DbTimestamp stamp{2023, 12, 31, 23, 59, 58, 0};
  const double floater = -1.25;
  test_util::Stream line;  // from an odd address
  line.Raw("#", 1).Word(42).Raw(u"null text", 20).Raw(&stamp, 16).Raw(u"abcdef", 6);
  line.Raw(&floater, 8);
  const uint8_t nulls[] = {0, 1, 0, 0, 0};
  const int32_t indexes[] = {0, 1, 2, 3, 4};
  XRowBuffer row;
  ASSERT_EQ(row.AddItemLine(line.bytes().data() + 1, nulls, &items.head, indexes, 5), 1);
  std::vector<XDataUnit*> units = Units(row);
  EXPECT_EQ(units[0]->Value.Long, 42);
  EXPECT_TRUE(units[1]->Null == 1 && units[1]->Type == 0);
  EXPECT_EQ(units[2]->Value.Time.Second, 58);
  EXPECT_EQ(std::u16string(units[3]->Value.Text), u"abc");
  EXPECT_EQ(units[4]->Value.Double, -1.25);
}

}  // namespace

// The row buffer's chain, its adders from units, and units read from a packed line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

std::vector<XDataUnit*> Units(const XRowBuffer& row) {
  std::vector<XDataUnit*> units;
  for (XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next) {
    units.push_back(unit);
  }
  return units;
}

TEST(RowChain, CheckRepeaterFindsRepeatedCodes) {
  const std::vector<std::pair<std::vector<uint32_t>, int32_t>> cases = {
      {{}, 1}, {{5, 7, 9}, 1}, {{5, 7, 5}, 0}, {{5, 5}, 0}, {{1, 2, 3, 3}, 0}};
  for (const auto& c : cases) {
    XRowBuffer row;
    for (uint32_t code : c.first) row.AddNullUnit()->Code = code;
    EXPECT_EQ(row.CheckRepeater(), c.second);
  }
}

TEST(RowChain, DropUnitKeepsHeadAndTailRight) {
  XRowBuffer row;
  XDataUnit* a = row.AddDataUnit(1);
  XDataUnit* b = row.AddDataUnit(u"b", 1);
  XDataUnit* c = row.AddDataUnit(3);
  row.DropUnit(c);  // the tail: the next unit links after b
  XDataUnit* d = row.AddNullUnit();
  row.DropUnit(a);
  XDataUnit stranger{};
  row.DropUnit(&stranger);
  EXPECT_EQ(Units(row), (std::vector<XDataUnit*>{b, d}));
  row.DropUnit(b);
  row.DropUnit(d);
  EXPECT_EQ(row.GetRowBuffer(), nullptr);
  row.AddUnit(c);  // dropped units belong to the caller and can come back
  row.AddUnit(a);
  EXPECT_EQ(Units(row), (std::vector<XDataUnit*>{c, a}));
  XRowBuffer keeper;
  keeper.AddUnit(b);
  keeper.AddUnit(d);
}

TEST(RowChain, CombineAndAttachMoveWholeChains) {
  XRowBuffer row;
  row.RowWord1 = 1;
  row.RowWord3 = 3;
  XDataUnit* first = row.AddDataUnit(10);
  XRowBuffer other;
  other.RowWord2 = 20;
  other.RowWord3 = 30;  // never taken
  XDataUnit* second = other.AddDataUnit(20);
  XDataUnit* third = other.AddDataUnit(u"30", 1);
  EXPECT_EQ(row.Combine(&other), 2);
  EXPECT_EQ(row.Combine(&other), 0);
  XDataUnit* fourth = row.AddNullUnit();
  EXPECT_EQ(Units(row), (std::vector<XDataUnit*>{first, second, third, fourth}));
  EXPECT_EQ(other.GetRowBuffer(), nullptr);
  EXPECT_EQ(row.RowWord1, 1);  // a zero word does not replace
  EXPECT_EQ(row.RowWord2, 20);
  EXPECT_EQ(row.RowWord3, 3);

  other.AddDataUnit(u"given back", 1);
  other.AttachBuffer(&row);
  EXPECT_EQ(other.GetUnitCounter(), 4);
  XRowBuffer empty;
  other.AttachBuffer(&empty);
  EXPECT_EQ(other.GetRowBuffer(), nullptr);
}

TEST(RowChain, AddingFromAUnitCopiesOnlyValues) {
  XRowBuffer row;
  XDataUnit source{};
  SetUnitValue(&source, u"text", 1);
  source.Code = 4;
  XDataUnit* copy = row.AddDataUnit(&source);
  EXPECT_NE(copy->Value.Text, source.Value.Text);
  EXPECT_EQ(copy->Code, 0u);
  ClearUnitData(&source);
  source.Type = XDT_DOUBLE;
  EXPECT_EQ(row.AddDataUnit(&source)->Type, 0);  // null: a plain null unit
  source.Null = 0;
  source.Type = XDT_USER;
  EXPECT_EQ(row.AddDataUnit(&source), nullptr);
  EXPECT_EQ(row.GetUnitCounter(), 2);
}

class ItemLineTest : public ::testing::Test {
 protected:
  ~ItemLineTest() override { ReleaseItemDesc(&head_); }

  // Describes the line's items: head_ and records after it.
  void Describe(std::initializer_list<std::pair<uint16_t, uint16_t>> items) {
    XItemDataDesc* last = nullptr;
    for (const auto& item : items) {
      XItemDataDesc* desc = last == nullptr ? &head_ : MallocItemDesc();
      desc->Type = item.first;
      desc->Size = item.second;
      if (last != nullptr) last->Next = desc;
      last = desc;
    }
  }

  void Put(size_t offset, const void* data, size_t count) {
    if (line_.size() < offset + count) line_.resize(offset + count);
    std::memcpy(line_.data() + offset, data, count);
  }

  XItemDataDesc head_{};
  std::vector<uint8_t> line_;
  XRowBuffer row_;
};

TEST_F(ItemLineTest, ReadsEachItemAtItsSlot) {
  // A date-time slot is a 16-byte timestamp whatever its Size; a text never leaves its slot.
  Describe({{XDT_LONG, 4}, {XDT_STRING, 10}, {XDT_DATETIME, 8}, {XDT_STRING, 3}, {XDT_DOUBLE, 8}});
  const int32_t integer = 42;
  const DbTimestamp stamp{2023, 12, 31, 23, 59, 58, 0};
  const double floater = -1.25;
  Put(1, &integer, 4);  // at an odd address
  Put(5, u"null text", 20);
  Put(25, &stamp, 16);
  Put(41, u"abcdef", 6);
  Put(47, &floater, 8);
  const uint8_t nulls[] = {0, 1, 0, 0, 0};
  const int32_t indexes[] = {0, 1, 2, 3, 4};
  ASSERT_EQ(row_.AddItemLine(line_.data() + 1, nulls, &head_, indexes, 5), 1);
  std::vector<XDataUnit*> units = Units(row_);
  EXPECT_EQ(units[0]->Value.Long, 42);
  EXPECT_EQ(units[1]->Null, 1);
  EXPECT_EQ(units[1]->Type, 0);
  EXPECT_EQ(units[2]->Value.Time.Year, 2023);
  EXPECT_EQ(units[2]->Value.Time.Second, 58);
  EXPECT_EQ(std::u16string(units[3]->Value.Text), u"abc");
  EXPECT_EQ(units[4]->Value.Double, -1.25);
}

TEST_F(ItemLineTest, IndexPastTheChainStopsKeepingEarlierUnits) {
  Describe({{XDT_USER, 4}, {XDT_LONG, 4}});
  Put(0, "\1\0\0\0\2\0\0\0", 8);
  for (int32_t bad : {2, -1}) {
    row_.ClearBuffer();
    const int32_t indexes[] = {0, 1, bad};
    EXPECT_EQ(row_.AddItemLine(line_.data(), nullptr, &head_, indexes, 3), 0);
    ASSERT_EQ(row_.GetUnitCounter(), 2);
    EXPECT_EQ(row_.GetRowBuffer()->Next->Value.Long, 2);  // the user item's slot is passed over
  }
}

}  // namespace

#include <cstdlib>

#include <gtest/gtest.h>

#include "query/query_test_util.h"

namespace {

using query_test::Buffer;
using query_test::NewTemplate;
using query_test::TemplatePtr;

// Field slots: Expression 0, ShortText 1024, DataType 1120, DataSize 1124, FieldWord5 1128,
// FieldWord6 1132, LongText 1136.
TEST(ExchangeTest, FieldBufferRoundTripsAtAnOddAddress) {
  TemplatePtr query = NewTemplate();
  Buffer in(query_test::kFieldBytes + 1);
  uint8_t* odd = in.data() + 1;
  Buffer slots(query_test::kFieldBytes);
  slots.PutText(0, u"SUM(price)");
  slots.PutText(1024, u"");
  slots.PutWord(1120, 0x00070003);  // only the low 16 bits are kept
  slots.PutWord(1124, 8);
  slots.PutWord(1128, 0xFFFFFFFF);
  slots.PutWord(1132, 42);
  slots.PutText(1136, u"long");
  std::memcpy(odd, slots.data(), query_test::kFieldBytes);
  query->SetDesc(QDL_FIELD, nullptr, odd);

  auto* field = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD));
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(query_test::Narrow(field->Expression), "SUM(price)");
  EXPECT_EQ(field->ShortText, nullptr);
  EXPECT_EQ(field->DataType, 3);
  EXPECT_EQ(field->DataSize, 8);
  EXPECT_EQ(field->FieldWord5, -1);
  EXPECT_EQ(field->FieldWord6, 42);

  Buffer out(query_test::kFieldBytes + 1, 0xAB);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_FIELD, &cursor, out.data() + 1);
  EXPECT_EQ(cursor, field);
  Buffer written(0);
  written.bytes().assign(out.bytes().begin() + 1, out.bytes().end());
  EXPECT_EQ(written.Text(0), u"SUM(price)");
  EXPECT_EQ(written.Text(1024), u"");
  EXPECT_EQ(written.Word(1120), 3u);
  EXPECT_EQ(written.Word(1124), 8u);
  EXPECT_EQ(written.Word(1128), 0xFFFFFFFFu);
  EXPECT_EQ(written.Word(1132), 42u);
  EXPECT_EQ(written.Text(1136), u"long");
  // Only the text and its NUL are written; the rest of each slot is left alone.
  EXPECT_EQ(written.bytes()[22], 0xAB);
  EXPECT_EQ(written.bytes()[1026], 0xAB);
  EXPECT_EQ(written.bytes()[query_test::kFieldBytes - 1], 0xAB);
}

// Condition slots: opening 0, Name 32, operator 544, Value 548, closing 1060, junction 1092,
// UnboundMode 1096, ShortText 1100, WhereWord7 1196, LongText 1200.
TEST(ExchangeTest, ConditionBufferPacksParenthesesOperatorAndJunction) {
  TemplatePtr query = NewTemplate();
  Buffer in(query_test::kWhereBytes);
  in.PutText(0, u"(x(");
  in.PutText(32, u"price");
  in.PutWord(544, QOP_GE);
  in.PutText(548, u"10");
  in.PutText(1060, u")))");
  in.PutWord(1092, QJN_OR);
  in.PutWord(1096, QUB_TRUE);
  in.PutText(1100, u"short");
  in.PutWord(1196, 7);
  in.PutText(1200, u"long text");
  query->SetDesc(QDL_WHERE, nullptr, in.data());

  auto* desc = static_cast<XQueryWhereDesc*>(query->GetDescList(QDL_WHERE));
  ASSERT_NE(desc, nullptr);
  EXPECT_EQ(desc->Parens, 2u | 3u << 16);
  EXPECT_EQ(desc->OpJunction, QOP_GE | QJN_OR << 16);
  EXPECT_EQ(desc->UnboundMode, QUB_TRUE);
  EXPECT_EQ(desc->WhereWord7, 7);

  Buffer out(query_test::kWhereBytes, 0xCD);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_WHERE, &cursor, out.data());
  EXPECT_EQ(out.Text(0), u"((");
  EXPECT_EQ(out.Text(32), u"price");
  EXPECT_EQ(out.Word(544), QOP_GE);
  EXPECT_EQ(out.Text(548), u"10");
  EXPECT_EQ(out.Text(1060), u")))");
  EXPECT_EQ(out.Word(1092), QJN_OR);
  EXPECT_EQ(out.Word(1096), static_cast<uint32_t>(QUB_TRUE));
  EXPECT_EQ(out.Text(1100), u"short");
  EXPECT_EQ(out.Word(1196), 7u);
  EXPECT_EQ(out.Text(1200), u"long text");
}

// Slots without a NUL are read to their width only; written back they are cut to width - 1.
TEST(ExchangeTest, UnterminatedSlotsAreReadToTheirWidth) {
  TemplatePtr query = NewTemplate();
  auto* raw = static_cast<uint8_t*>(std::malloc(query_test::kWhereBytes));
  std::memset(raw, 0, query_test::kWhereBytes);
  const char16_t open = u'(';
  const char16_t letter = u'n';
  for (int i = 0; i < 16; ++i) std::memcpy(raw + 2 * i, &open, 2);
  for (int i = 0; i < 256; ++i) std::memcpy(raw + 32 + 2 * i, &letter, 2);
  const char16_t z = u'z';
  for (int i = 0; i < 4096; ++i) std::memcpy(raw + 1200 + 2 * i, &z, 2);  // last slot, no NUL
  query->SetDesc(QDL_WHERE, nullptr, raw);
  std::free(raw);

  auto* desc = static_cast<XQueryWhereDesc*>(query->GetDescList(QDL_WHERE));
  EXPECT_EQ(desc->Parens & 0xFFFF, 16u);
  EXPECT_EQ(std::u16string(desc->Name).size(), 256u);
  EXPECT_EQ(std::u16string(desc->LongText).size(), 4096u);

  Buffer out(query_test::kWhereBytes);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_WHERE, &cursor, out.data());
  EXPECT_EQ(out.Text(0), std::u16string(15, u'('));
  EXPECT_EQ(out.Text(32), std::u16string(255, u'n'));
  EXPECT_EQ(out.Text(1200), std::u16string(4095, u'z'));
}

TEST(ExchangeTest, GroupAndOrderBuffers) {
  TemplatePtr query = NewTemplate();
  query_test::AddGroup(query.get(), u"region");
  query_test::AddOrder(query.get(), u"total", true);
  Buffer group(query_test::kGroupBytes, 0xEE);
  Buffer order(query_test::kOrderBytes, 0xEE);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_GROUP, &cursor, group.data());
  EXPECT_EQ(group.Text(0), u"region");
  EXPECT_EQ(group.Text(512), u"");
  cursor = nullptr;
  query->GetNextDesc(QDL_ORDER, &cursor, order.data());
  EXPECT_EQ(order.Text(0), u"total");
  EXPECT_EQ(order.Word(512), 1u);
  EXPECT_EQ(order.Text(516), u"");
}

TEST(ExchangeTest, CursorWalksTheListAndStopsWithoutTouchingTheBuffer) {
  TemplatePtr query = NewTemplate();
  query_test::AddGroup(query.get(), u"a");
  query_test::AddGroup(query.get(), u"b");
  Buffer out(query_test::kGroupBytes);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_GROUP, &cursor, out.data());
  query->GetNextDesc(QDL_GROUP, &cursor, out.data());
  EXPECT_EQ(out.Text(0), u"b");
  std::vector<uint8_t> before = out.bytes();
  query->GetNextDesc(QDL_GROUP, &cursor, out.data());
  EXPECT_EQ(cursor, nullptr);
  EXPECT_EQ(out.bytes(), before);
}

TEST(ExchangeTest, SetDescWithARecordRefillsItInPlace) {
  TemplatePtr query = NewTemplate();
  for (auto name : {u"a", u"b", u"c"}) query_test::AddGroup(query.get(), name);
  auto* second = static_cast<XQueryGroupDesc*>(query->GetDescList(QDL_GROUP))->Next;
  Buffer in(query_test::kGroupBytes);
  in.PutText(0, u"replaced");
  in.PutText(512, u"note");
  query->SetDesc(QDL_GROUP, second, in.data());
  auto* first = static_cast<XQueryGroupDesc*>(query->GetDescList(QDL_GROUP));
  EXPECT_EQ(first->Next, second);
  EXPECT_EQ(query_test::Narrow(second->Expression), "replaced");
  EXPECT_EQ(query_test::Narrow(second->ShortText), "note");
  EXPECT_EQ(query_test::Narrow(second->Next->Expression), "c");
}

TEST(ExchangeTest, ListIndexesOutsideTheFourListsAreIgnored) {
  TemplatePtr query = NewTemplate();
  Buffer in(query_test::kWhereBytes);
  for (int32_t list : {-1, 4, 8}) {
    query->SetDesc(list, nullptr, in.data());
    void* cursor = nullptr;
    query->GetNextDesc(list, &cursor, in.data());
    EXPECT_EQ(cursor, nullptr);
    query->ClearDesc(list);
  }
  for (int32_t list = 0; list < 4; ++list) EXPECT_EQ(query->GetDescList(list), nullptr);
  EXPECT_EQ(query->GetDescList(5), nullptr);
}

// The field list, read back as the Expressions in order.
std::string Fields(XQueryTemplate* query) {
  std::string out;
  for (auto* f = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD)); f; f = f->Next) {
    out += f->Expression == nullptr ? "_" : query_test::Narrow(f->Expression);
  }
  return out;
}

struct SuberCase {
  const char* operation;
  int32_t a;
  int32_t b;
  const char* expected;
};

class SuberTest : public testing::TestWithParam<SuberCase> {};

TEST_P(SuberTest, ChangesTheFieldListOfABC) {
  const SuberCase& c = GetParam();
  TemplatePtr query = NewTemplate();
  for (auto name : {u"a", u"b", u"c"}) query_test::AddField(query.get(), name);
  std::string operation = c.operation;
  if (operation == "insert") query->InsertSuber(c.a);
  if (operation == "delete") query->DeleteSuber(c.a);
  if (operation == "switch") query->SwitchSuber(c.a, c.b);
  EXPECT_EQ(Fields(query.get()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Subers, SuberTest,
    testing::Values(SuberCase{"insert", 0, 0, "_abc"}, SuberCase{"insert", 1, 0, "a_bc"},
                    SuberCase{"insert", 3, 0, "abc_"}, SuberCase{"insert", 5, 0, "abc_"},
                    SuberCase{"insert", -4, 0, "_abc"}, SuberCase{"delete", 0, 0, "bc"},
                    SuberCase{"delete", 2, 0, "ab"}, SuberCase{"delete", 3, 0, "abc"},
                    SuberCase{"delete", -1, 0, "abc"}, SuberCase{"switch", 0, 2, "cba"},
                    SuberCase{"switch", 1, 1, "abc"}, SuberCase{"switch", 0, 7, "abc"},
                    SuberCase{"switch", -1, 0, "abc"}));

TEST(TemplateTest, SwitchSuberKeepsLinksAndTradesEveryOtherField) {
  TemplatePtr query = NewTemplate();
  query_test::AddField(query.get(), u"a", XDT_LONG);
  query_test::AddField(query.get(), u"b", XDT_DOUBLE);
  auto* first = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD));
  XQueryFieldDesc* second = first->Next;
  query->SwitchSuber(1, 0);
  EXPECT_EQ(query->GetDescList(QDL_FIELD), first);
  EXPECT_EQ(first->Next, second);
  EXPECT_EQ(second->Next, nullptr);
  EXPECT_EQ(first->DataType, XDT_DOUBLE);
  EXPECT_EQ(second->DataType, XDT_LONG);
}

TEST(TemplateTest, SetFromClauseSkipsLeadingBlanks) {
  TemplatePtr query = NewTemplate();
  query->SetFromClause(u"  orders o");
  EXPECT_EQ(query_test::Narrow(query->FromText), "orders o");
  query->SetFromClause(u" \t\r\n ");
  EXPECT_EQ(query->FromText, nullptr);
  query->SetFromClause(u"x");
  query->SetFromClause(query->FromText);  // its own text
  EXPECT_EQ(query_test::Narrow(query->FromText), "x");
  query->SetFromClause(nullptr);
  EXPECT_EQ(query->FromText, nullptr);
}

TEST(TemplateTest, ReplaceNameReusesTheHeldTextWhenItIsLongEnough) {
  XCHAR* held = XQueryTemplate::ReplaceName(nullptr, u"abcdef");
  XCHAR* same = XQueryTemplate::ReplaceName(held, u"xy");
  EXPECT_EQ(same, held);
  EXPECT_EQ(query_test::Narrow(same), "xy");
  // The held text's length decides now, not its allocation.
  XCHAR* grown = XQueryTemplate::ReplaceName(same, u"xyz");
  EXPECT_EQ(query_test::Narrow(grown), "xyz");
  XCHAR* empty = XQueryTemplate::ReplaceName(nullptr, u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], 0);
  EXPECT_EQ(XQueryTemplate::ReplaceName(empty, nullptr), nullptr);
  EXPECT_EQ(XQueryTemplate::ReplaceName(grown, nullptr), nullptr);
}

TEST(TemplateTest, DisplaceMovesListsFromTextAndMusters) {
  TemplatePtr query = NewTemplate();
  TemplatePtr other = NewTemplate();
  query_test::AddField(query.get(), u"old");
  query->SetFromClause(u"old_table");
  query_test::AddField(other.get(), u"new");
  query_test::AddConditions(other.get(), "a & b");
  other->SetFromClause(u"new_table");
  other->SetDataMuster(3, 4);
  query->Displace(other.get());
  EXPECT_EQ(Fields(query.get()), "new");
  EXPECT_NE(query->GetDescList(QDL_WHERE), nullptr);
  EXPECT_EQ(query_test::Narrow(query->FromText), "new_table");
  EXPECT_EQ(query->Muster1, 3u);
  EXPECT_EQ(query->Muster2, 4u);
  for (int32_t list = 0; list < 4; ++list) EXPECT_EQ(other->GetDescList(list), nullptr);
  EXPECT_EQ(other->FromText, nullptr);
  query->Displace(query.get());
  EXPECT_EQ(Fields(query.get()), "new");
}

TEST(TemplateTest, ClearDescLeavesTheWhereTree) {
  TemplatePtr query = NewTemplate();
  query_test::AddField(query.get(), u"f");
  query_test::AddConditions(query.get(), "a & b");
  query->SetDataMuster(1, 0);
  query->SetBinder(nullptr, query_test::KeepBinder);
  XCHAR buffer[256];
  ASSERT_EQ(query->ReplaceTemplate(buffer), 0);
  void* tree = query->GetDescList(QDL_WHERETREE);
  ASSERT_NE(tree, nullptr);
  query->ClearDesc(QDL_WHERETREE);
  query->ClearDesc(QDL_FIELD);
  EXPECT_EQ(query->GetDescList(QDL_WHERETREE), tree);
  EXPECT_EQ(query->GetDescList(QDL_FIELD), nullptr);
  // The caller unlinks a chain before giving it back.
  auto* conditions = query->GetDescList(QDL_WHERE);
  query->ReleaseDesc(-1, conditions);
  EXPECT_EQ(query->GetDescList(QDL_WHERE), conditions);
}

}  // namespace

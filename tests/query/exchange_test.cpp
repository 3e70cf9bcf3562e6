#include <gtest/gtest.h>

#include "query/query_test_util.h"

namespace {

using query_test::Buffer;
using query_test::NewTemplate;
using query_test::TemplatePtr;

TEST(ExchangeTest, FieldSlotsRoundTripAtAnOddAddress) {
  TemplatePtr query = NewTemplate();
  Buffer in(query_test::kFieldBytes + 1);
  in.PutText(1, u"SUM(price)");
  in.PutText(1 + 1024, u"");  // empty ShortText: stored as null
  in.PutWord(1 + 1120, 0x70003);
  query->SetDesc(QDL_FIELD, nullptr, in.bytes.data() + 1);
  auto* field = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD));
  EXPECT_EQ(field->ShortText, nullptr);
  EXPECT_EQ(field->DataType, 3);  // the low 16 bits
  Buffer out(query_test::kFieldBytes + 1, 0xAB);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_FIELD, &cursor, out.bytes.data() + 1);
  EXPECT_EQ(cursor, field);
  EXPECT_EQ(out.Text(1), u"SUM(price)");
  EXPECT_EQ(out.Text(1 + 1024), u"");
  EXPECT_EQ(out.Word(1 + 1120), 3u);
  EXPECT_EQ(out.bytes[1 + 22], 0xAB);  // only each text and its NUL are written
  EXPECT_EQ(out.bytes.back(), 0xAB);
  std::vector<uint8_t> before = out.bytes;
  query->GetNextDesc(QDL_FIELD, &cursor, out.bytes.data() + 1);
  EXPECT_EQ(cursor, nullptr);
  EXPECT_EQ(out.bytes, before);
}

// Slots without a NUL are read to their width only (a read beyond the exact-size buffer would be
// caught) and written back cut to width - 1.
TEST(ExchangeTest, UnterminatedSlotsAreReadToTheirWidth) {
  TemplatePtr query = NewTemplate();
  Buffer in(query_test::kWhereBytes);
  in.PutText(0, std::u16string(15, u'('));
  in.PutText(1200, std::u16string(4095, u'z'));
  in.bytes[30] = '(';  // over the NULs
  in.bytes[9390] = 'z';
  query->SetDesc(QDL_WHERE, nullptr, in.bytes.data());
  auto* desc = static_cast<XQueryWhereDesc*>(query->GetDescList(QDL_WHERE));
  EXPECT_EQ(desc->Parens, 16u);
  EXPECT_EQ(std::u16string(desc->LongText).size(), 4096u);
  Buffer out(query_test::kWhereBytes);
  void* cursor = nullptr;
  query->GetNextDesc(QDL_WHERE, &cursor, out.bytes.data());
  EXPECT_EQ(out.Text(0), std::u16string(15, u'('));
  EXPECT_EQ(out.Text(1200), std::u16string(4095, u'z'));
}

// The field list as its Expressions in order, "_" for an empty field.
std::string Fields(XQueryTemplate* query) {
  std::string out;
  for (auto* f = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD)); f; f = f->Next) {
    out += f->Expression == nullptr ? "_" : query_test::Narrow(f->Expression);
  }
  return out;
}

TEST(TemplateTest, ListOperationsOnAListOfThree) {
  struct Case {
    char operation;
    int32_t a, b;
    const char* expected;
  };
  for (Case c : {Case{'i', 0, 0, "_abc"},
                 {'i', 5, 0, "abc_"},
                 {'d', 2, 0, "ab"},
                 {'d', -1, 0, "abc"},
                 {'s', 0, 2, "cba"},
                 {'r', 0, 0, "axc"}}) {
    TemplatePtr query = NewTemplate();
    for (auto name : {u"a", u"b", u"c"}) query_test::Add(query.get(), QDL_FIELD, name);
    auto* second = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD))->Next;
    Buffer refill(query_test::kFieldBytes);
    refill.PutText(0, u"x");
    if (c.operation == 'i') query->InsertSuber(c.a);
    if (c.operation == 'd') query->DeleteSuber(c.a);
    if (c.operation == 's') query->SwitchSuber(c.a, c.b);
    if (c.operation == 'r') query->SetDesc(c.a, second, refill.bytes.data());
    EXPECT_EQ(Fields(query.get()), c.expected) << c.operation << c.a << c.b;
  }
}

}  // namespace

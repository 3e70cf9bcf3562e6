#include <gtest/gtest.h>

#include "query/query_test_util.h"

namespace {

using query_test::NewTemplate;
using query_test::TemplatePtr;

// Renders into a buffer of '#'; checks the NUL after a text.
std::string Render(const XWhereTree* root, int32_t* result) {
  std::u16string out(4096, u'#');
  *result = MakeWhereClause(root, out.data());
  if (*result <= 0) return out.substr(0, 1) == u"#" ? "" : "<partial>";
  EXPECT_EQ(out[*result], 0);
  return query_test::Narrow(out.c_str());
}

TEST(WhereClauseTest, RendersEachOperatorAndValue) {
  struct Case {
    uint32_t op;
    const char16_t* value;
    const char* expected;  // null: QTE_FAIL
  };
  Case cases[] = {
      {QOP_EQ, u"'x'", "F = 'x'"},
      {QOP_NOTEXISTS, u"(SELECT 1)", "F NOT EXISTS (SELECT 1)"},
      {QOP_INC, u" \t'abc' ", "F LIKE '%abc%' "},
      {QOP_START, u"'abc'", "F LIKE 'abc%'"},
      {QOP_INC, u"abc", nullptr},
      {QOP_IN, u"'1, 2 ,  ' ", "F IN (1, 2 )"},
      {QOP_IN, u"''a','b''", "F IN ('a','b')"},
      {QOP_NOTIN, u"'x' ", "F NOT IN (x)"},
      {QOP_IN, u"'1,2", nullptr},
      {QOP_ISMONTH, u"'2023-05-06'", "(F >= '2023-05-01 00:00:00' AND F < '2023-06-01 00:00:00')"},
      {QOP_ISMONTH, u"'2023-12-15'", "(F >= '2023-12-01 00:00:00' AND F < '2024-01-01 00:00:00')"},
      {QOP_ISDATE, u"'2024-02-28'", "(F >= '2024-02-28 00:00:00' AND F < '2024-02-29 00:00:00')"},
      {QOP_ISDATE, u"'2023-12-31'", "(F >= '2023-12-31 00:00:00' AND F < '2024-01-01 00:00:00')"},
      {QOP_ISMONTH, u"N'2023-05-06'::date",
       "(F >= N'2023-05-01 00:00:00'::date AND F < N'2023-06-01 00:00:00'::date)"},
      {14, u"1", nullptr},
  };
  for (const Case& c : cases) {
    XQueryWhereDesc desc{};
    desc.OpJunction = c.op | QJN_AND << 16;  // a leaf's own junction plays no part
    XWhereTree leaf{};
    leaf.Name = u"F";
    leaf.Value = c.value;
    leaf.Desc = &desc;
    int32_t result = 0;
    std::string text = Render(&leaf, &result);
    EXPECT_EQ(result, c.expected ? static_cast<int32_t>(text.size()) : QTE_FAIL) << text;
    if (c.expected != nullptr) {
      EXPECT_EQ(text, c.expected);
    }
  }
}

// Renders the tree that a & (b | c) builds, then breaks it in place and restores it.
TEST(WhereClauseTest, RendersGroupsAndFailsOnBrokenTrees) {
  TemplatePtr query = NewTemplate();
  query_test::Add(query.get(), QDL_FIELD, u"f");
  query->SetDataMuster(1, 0);
  query->SetBinder(nullptr, query_test::Binder);
  query_test::AddConditions(query.get(), "a & (b | c)");
  XCHAR buffer[64];
  ASSERT_EQ(query->ReplaceTemplate(buffer), 0);
  auto* root = static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE));
  XWhereTree* inner = root->Child->Next;
  XWhereTree* c = inner->Child->Next;
  int32_t result = 0;
  EXPECT_EQ(Render(root, &result), " a = 1 AND (b = 1 OR c = 1)");
  for (uint32_t state : {XWT_TRUE, XWT_VOID, XWT_FALSE}) {
    root->State = state;
    EXPECT_EQ(Render(root, &result), "");  // nothing written
    EXPECT_EQ(result, state == XWT_FALSE ? QTE_FAIL : 0);
  }
  root->State = QJN_AND;
  inner->Child->Next = nullptr;  // a group of one
  Render(root, &result);
  EXPECT_EQ(result, QTE_FAIL);
  inner->Child->Next = c;
  c->Parent = nullptr;
  Render(root, &result);
  EXPECT_EQ(result, QTE_FAIL);
}

TEST(TemplateDescTest, DescribesEveryList) {
  TemplatePtr query = NewTemplate();
  query_test::Add(query.get(), QDL_FIELD, u"a");
  query_test::Add(query.get(), QDL_FIELD, u"b");
  query->SetDataMuster(12, 5);
  query_test::AddCondition(query.get(), {u"", u"x", QOP_EQ, u"1", u"", 0});
  query_test::Add(query.get(), QDL_ORDER, u"b", 1);
  XCHAR out[512];
  query->MakeTemplateDesc(out, 99);
  EXPECT_EQ(std::u16string(out), u"SELECT a, b\r\nFROM [# 12]\r\nWHERE x = 1\r\nORDER BY b DESC");

  query = NewTemplate();
  query->MakeTemplateDesc(out, 0);
  EXPECT_EQ(std::u16string(out), u"SELECT\r\nFROM [\u672A\u77E5\u5BF9\u8C61]");
}

}  // namespace

#include <gtest/gtest.h>

#include "query/condition_logic.h"
#include "query/query_test_util.h"

namespace {

using query_test::NewTemplate;
using query_test::TemplatePtr;

struct RenderCase {
  uint32_t op;
  const char16_t* value;
  const char* expected;  // null: QTE_FAIL
};

std::string Render(const XWhereTree* root, int32_t* result) {
  std::u16string out(4096, u'#');
  *result = MakeWhereClause(root, out.data());
  if (*result <= 0) return "";
  EXPECT_EQ(out[*result], 0);
  return query_test::Narrow(out.c_str());
}

class LeafRenderTest : public testing::TestWithParam<RenderCase> {};

TEST_P(LeafRenderTest, RendersTheOperatorAndValue) {
  const RenderCase& c = GetParam();
  XQueryWhereDesc desc{};
  desc.OpJunction = c.op;
  XWhereTree leaf{};
  leaf.Name = u"F";
  leaf.Value = c.value;
  leaf.Desc = &desc;
  int32_t result = 0;
  std::string text = Render(&leaf, &result);
  if (c.expected == nullptr) {
    EXPECT_EQ(result, QTE_FAIL) << text;
  } else {
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(result, static_cast<int32_t>(text.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Operators, LeafRenderTest,
    testing::Values(
        RenderCase{QOP_GT, u"1", "F > 1"}, RenderCase{QOP_EQ, u"'x'", "F = 'x'"},
        RenderCase{QOP_LT, u"1", "F < 1"}, RenderCase{QOP_GE, u"1", "F >= 1"},
        RenderCase{QOP_LE, u"1", "F <= 1"}, RenderCase{QOP_NE, u"1", "F <> 1"},
        RenderCase{QOP_LIKE, u"'a_%'", "F LIKE 'a_%'"}, RenderCase{QOP_IS, u"NULL", "F IS NULL"},
        RenderCase{QOP_ISNOT, u"NULL", "F IS NOT NULL"},
        RenderCase{QOP_EXISTS, u"(SELECT 1)", "F EXISTS (SELECT 1)"},
        RenderCase{QOP_NOTEXISTS, u"(SELECT 1)", "F NOT EXISTS (SELECT 1)"},
        // Contains and starts-with.
        RenderCase{QOP_INC, u"'abc'", "F LIKE '%abc%'"},
        RenderCase{QOP_INC, u" \t'abc' ", "F LIKE '%abc%' "},
        RenderCase{QOP_INC, u"'ab'c'd'", "F LIKE '%ab%'c"},
        RenderCase{QOP_START, u"'abc'", "F LIKE 'abc%'"}, RenderCase{QOP_INC, u"abc", nullptr},
        RenderCase{QOP_INC, u"'abc", nullptr}, RenderCase{QOP_START, u"  ", nullptr},
        // Lists.
        RenderCase{QOP_IN, u"'1,2,3'", "F IN (1,2,3)"},
        RenderCase{QOP_IN, u"'1,2,3,'", "F IN (1,2,3)"},
        RenderCase{QOP_IN, u"'1, 2 ,  ' ", "F IN (1, 2 )"},
        RenderCase{QOP_IN, u"''a','b''", "F IN ('a','b')"}, RenderCase{QOP_IN, u"''", "F IN ()"},
        RenderCase{QOP_IN, u"  (1,2)", "F IN   (1,2)"},
        RenderCase{QOP_NOTIN, u"'x' ", "F NOT IN (x)"}, RenderCase{QOP_IN, u"'1,2", nullptr},
        RenderCase{QOP_IN, u"'", nullptr}, RenderCase{QOP_NOTIN, u"' ", nullptr},
        // Ranges.
        RenderCase{QOP_ISYEAR, u"'2023-05-06'",
                   "(F >= '2023-01-01 00:00:00' AND F < '2024-01-01 00:00:00')"},
        RenderCase{QOP_ISMONTH, u"'2023-05-06'",
                   "(F >= '2023-05-01 00:00:00' AND F < '2023-06-01 00:00:00')"},
        RenderCase{QOP_ISDATE, u"'2023-05-06'",
                   "(F >= '2023-05-06 00:00:00' AND F < '2023-05-07 00:00:00')"},
        RenderCase{QOP_ISMONTH, u"'2023-12-15'",
                   "(F >= '2023-12-01 00:00:00' AND F < '2024-01-01 00:00:00')"},
        RenderCase{QOP_ISDATE, u"'2023-02-28'",
                   "(F >= '2023-02-28 00:00:00' AND F < '2023-03-01 00:00:00')"},
        RenderCase{QOP_ISDATE, u"'2024-02-28'",
                   "(F >= '2024-02-28 00:00:00' AND F < '2024-02-29 00:00:00')"},
        RenderCase{QOP_ISDATE, u"'2023-12-31'",
                   "(F >= '2023-12-31 00:00:00' AND F < '2024-01-01 00:00:00')"},
        RenderCase{QOP_ISYEAR, u"'2023'",
                   "(F >= '2023-01-01 00:00:00' AND F < '2024-01-01 00:00:00')"},
        RenderCase{QOP_ISMONTH, u"'2023'",
                   "(F >= '2023-01-01 00:00:00' AND F < '2023-02-01 00:00:00')"},
        RenderCase{QOP_ISMONTH, u"N'2023-05-06'::date",
                   "(F >= N'2023-05-01 00:00:00'::date AND F < N'2023-06-01 00:00:00'::date)"},
        RenderCase{QOP_ISYEAR, u"''", "(F >= '1900-01-01 00:00:00' AND F < '1901-01-01 00:00:00')"},
        RenderCase{QOP_ISYEAR, u"2023", nullptr}, RenderCase{QOP_ISDATE, u"'2023-05-06", nullptr},
        // Codes that are not operators.
        RenderCase{0, u"1", nullptr}, RenderCase{14, u"1", nullptr}, RenderCase{18, u"1", nullptr},
        RenderCase{36, u"1", nullptr}, RenderCase{QOP_EQ | QJN_AND << 16, u"1", "F = 1"}));

TEST(WhereClauseTest, ConstantRootsAndBrokenLeaves) {
  XQueryWhereDesc desc{};
  desc.OpJunction = QOP_EQ;
  XWhereTree leaf{};
  leaf.Name = u"F";
  leaf.Value = u"1";
  leaf.Desc = &desc;
  XCHAR out[16] = {u'#', 0};
  EXPECT_EQ(MakeWhereClause(nullptr, out), 0);
  for (uint32_t state : {XWT_TRUE, XWT_VOID}) {
    leaf.State = state;
    EXPECT_EQ(MakeWhereClause(&leaf, out), 0);
    EXPECT_EQ(out[0], u'#');
  }
  leaf.State = XWT_FALSE;
  EXPECT_EQ(MakeWhereClause(&leaf, out), QTE_FAIL);
  leaf.State = 0;
  leaf.Name = nullptr;
  EXPECT_EQ(MakeWhereClause(&leaf, out), QTE_FAIL);
  leaf.Name = u"F";
  leaf.Value = nullptr;
  EXPECT_EQ(MakeWhereClause(&leaf, out), QTE_FAIL);
  leaf.Value = u"1";
  leaf.Desc = nullptr;
  EXPECT_EQ(MakeWhereClause(&leaf, out), QTE_FAIL);
}

// Hand-made nodes: AND (a = 1, OR (b = 2, c = 3)).
class HandTreeTest : public testing::Test {
 protected:
  HandTreeTest() {
    desc_.OpJunction = QOP_EQ;
    const char16_t* names[] = {u"a", u"b", u"c"};
    const char16_t* values[] = {u"1", u"2", u"3"};
    for (int i = 0; i < 3; ++i) {
      leaves_[i].Name = names[i];
      leaves_[i].Value = values[i];
      leaves_[i].Desc = &desc_;
    }
    root_.State = QJN_AND;
    root_.Child = &leaves_[0];
    leaves_[0].Parent = &root_;
    leaves_[0].Next = &inner_;
    inner_.Parent = &root_;
    inner_.State = QJN_OR;
    inner_.Child = &leaves_[1];
    leaves_[1].Parent = &inner_;
    leaves_[1].Next = &leaves_[2];
    leaves_[2].Parent = &inner_;
  }

  XQueryWhereDesc desc_{};
  XWhereTree leaves_[3] = {};
  XWhereTree root_{};
  XWhereTree inner_{};
};

TEST_F(HandTreeTest, RendersGroupsInParenthesesWithoutTheRootsOwn) {
  int32_t result = 0;
  EXPECT_EQ(Render(&root_, &result), " a = 1 AND (b = 2 OR c = 3)");
  EXPECT_EQ(Render(&inner_, &result), " b = 2 OR c = 3");
}

TEST_F(HandTreeTest, FailsOnAGroupOfOneOrAMissingParent) {
  int32_t result = 0;
  leaves_[1].Next = nullptr;
  Render(&root_, &result);
  EXPECT_EQ(result, QTE_FAIL);
  leaves_[1].Next = &leaves_[2];
  leaves_[2].Parent = nullptr;
  Render(&root_, &result);
  EXPECT_EQ(result, QTE_FAIL);
}

// Junctions: AND renders " AND ", every other group state " OR ".
TEST_F(HandTreeTest, EveryJunctionButAndRendersAsOr) {
  inner_.State = 7;
  int32_t result = 0;
  EXPECT_EQ(Render(&root_, &result), " a = 1 AND (b = 2 OR c = 3)");
}

// The rendered condition means what the condition list means, under every truth assignment.
TEST(WhereClauseProperty, RenderedConditionIsEquivalentToTheList) {
  std::mt19937 rng(20240611);
  int compared = 0;
  for (int round = 0; round < 1500; ++round) {
    bool constants = round % 2 == 1;
    std::vector<query_test::RandomCondition> list = query_test::RandomConditions(rng, constants);
    TemplatePtr query = NewTemplate();
    query_test::AddField(query.get(), u"f");
    query->SetDataMuster(1, 0);
    query->SetBinder(nullptr, [](void*, XCHAR* text) { return text[0] == u'?' ? QTE_UNBOUND : 0; });
    query_test::AddRandomConditions(query.get(), list);
    XCHAR buffer[1024];
    int32_t replaced = query->ReplaceTemplate(buffer);
    if (replaced == QTE_WHERESHAPE) continue;  // a group of one condition
    ASSERT_EQ(replaced, 0) << query_test::ListText(list);
    int32_t never = constants ? query->ComputeWhereTree() : 0;
    std::u16string text(4096, u'#');
    int32_t length =
        never ? 0
              : MakeWhereClause(static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE)),
                                text.data());
    ASSERT_GE(length, 0) << query_test::ListText(list);
    text.resize(static_cast<size_t>(length));
    std::vector<int> list_tokens = query_test::ListTokens(list);
    std::vector<int> text_tokens = query_test::TextTokens(text);
    for (uint32_t assignment = 0; assignment < 1u << list.size(); ++assignment) {
      bool list_ok = false;
      bool expected = query_test::Evaluator(list_tokens, assignment).Run(&list_ok);
      ASSERT_TRUE(list_ok);
      bool actual = !never;
      if (length > 0) {
        bool text_ok = false;
        actual = query_test::Evaluator(text_tokens, assignment).Run(&text_ok);
        ASSERT_TRUE(text_ok) << query_test::Narrow(text.c_str());
      }
      ASSERT_EQ(actual, expected) << query_test::ListText(list) << " rendered as "
                                  << query_test::Narrow(text.c_str()) << ", assignment "
                                  << assignment;
    }
    ++compared;
  }
  EXPECT_GT(compared, 750);
}

TEST(TemplateDescTest, DescribesTheWholeTemplate) {
  TemplatePtr query = NewTemplate();
  query_test::AddField(query.get(), u"a");
  query_test::AddField(query.get(), u"b");
  query->SetDataMuster(12, 5);
  query_test::AddCondition(query.get(), {u"", u"x", QOP_EQ, u"1", u"", 0});
  query_test::AddOrder(query.get(), u"b", true);
  XCHAR out[256];
  query->MakeTemplateDesc(out, 99);
  EXPECT_EQ(std::u16string(out), u"SELECT a, b\r\nFROM [# 12]\r\nWHERE x = 1\r\nORDER BY b DESC");
}

TEST(TemplateDescTest, ShowsEveryListInItsOwnWay) {
  TemplatePtr query = NewTemplate();
  query->SetDataMuster(0, static_cast<uint32_t>(-3));
  query_test::AddCondition(query.get(), {u"((", u"x", QOP_INC, u"'a'", u")", QJN_OR});
  query_test::AddCondition(query.get(), {u"", u"", QOP_EXISTS, u"(SELECT 1)", u"", QJN_AND});
  query_test::AddCondition(query.get(), {u"", u"y", 40, u"2", u")", 3});
  query_test::AddGroup(query.get(), u"g1");
  query_test::AddGroup(query.get(), u"g2");
  query_test::AddOrder(query.get(), u"o", false);
  XCHAR out[512];
  query->MakeTemplateDesc(out, 0);
  EXPECT_EQ(std::u16string(out),
            u"SELECT\r\nFROM [% -3]\r\nWHERE ((x INC 'a') OR  EXISTS (SELECT 1) AND y ?? 2)"
            u"\r\nGROUP BY g1, g2\r\nORDER BY o");
}

TEST(TemplateDescTest, NamesAnUnknownSourceAndEndsAfterTheGrouping) {
  TemplatePtr query = NewTemplate();
  query_test::AddField(query.get(), u"a");
  query_test::AddGroup(query.get(), u"a");
  XCHAR out[256];
  query->MakeTemplateDesc(out, 0);
  EXPECT_EQ(std::u16string(out), u"SELECT a\r\nFROM [\u672A\u77E5\u5BF9\u8C61]\r\nGROUP BY a");
}

}  // namespace

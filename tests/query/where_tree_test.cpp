#include <gtest/gtest.h>

#include "query/query_test_util.h"

namespace {

using query_test::Cond;
using query_test::NewTemplate;
using query_test::TemplatePtr;

// '?' starts an unresolved text, "!err" is an error, "@x" is rewritten as "v_x".
int32_t TestBinder(void*, XCHAR* text) {
  if (text[0] == u'?') return QTE_UNBOUND;
  if (text[0] == u'!') return -5;
  if (text[0] != u'@') return 0;
  std::u16string rewritten = u"v_" + std::u16string(text + 1);
  std::copy(rewritten.c_str(), rewritten.c_str() + rewritten.size() + 1, text);
  return 1;
}

// A leaf shows as its Name, a group as AND(...) or OR(...); "!" marks a wrong Parent link.
std::string TreeText(const XWhereTree* node) {
  if (node->Child == nullptr) return query_test::Narrow(node->Name);
  std::string out = node->State == QJN_AND ? "AND(" : "OR(";
  for (const XWhereTree* child = node->Child; child != nullptr; child = child->Next) {
    out += (child->Parent == node ? "" : "!") + TreeText(child) + (child->Next ? "," : ")");
  }
  return out;
}

class WhereTreeTest : public testing::Test {
 protected:
  WhereTreeTest() : query_(NewTemplate()) {
    query_test::Add(query_.get(), QDL_FIELD, u"f");
    query_->SetDataMuster(1, 0);
    query_->SetBinder(nullptr, TestBinder);
  }
  int32_t Replace(const std::string& conditions, int32_t mode = QUB_DROP) {
    query_->ClearDesc(QDL_WHERE);
    query_test::AddConditions(query_.get(), conditions);
    for (auto* d = static_cast<XQueryWhereDesc*>(query_->GetDescList(QDL_WHERE)); d; d = d->Next) {
      d->UnboundMode = mode;
    }
    return query_->ReplaceTemplate(buffer_);
  }
  XWhereTree* Root() { return static_cast<XWhereTree*>(query_->GetDescList(QDL_WHERETREE)); }

  TemplatePtr query_;
  XCHAR buffer_[4096];
};

TEST_F(WhereTreeTest, BuildsTheTreesOfSqlPrecedence) {
  const char* cases[][2] = {
      {"a | b & c", "OR(a,AND(b,c))"},
      {"a & b | c", "OR(AND(a,b),c)"},
      {"y & (a & b | c)", "AND(y,OR(AND(a,b),c))"},
      {"(a & (b | c) | d)", "OR(AND(a,OR(b,c)),d)"},
      {"(a & b", "AND(a,b)"},
  };
  for (auto& c : cases) {
    ASSERT_EQ(Replace(c[0]), 0) << c[0];
    EXPECT_EQ(Root()->Parent, nullptr);
    EXPECT_EQ(TreeText(Root()), c[1]) << c[0];
  }
}

TEST_F(WhereTreeTest, FailsWithTheCodeOfTheFault) {
  struct Case {
    std::vector<Cond> conditions;
    int32_t result;
  };
  Cond a{u"", u"a", QOP_EQ, u"1", u"", 0};
  Cond b = a;
  Case cases[] = {
      {{a, b}, QTE_WHEREBUILD},  // junction 0 before another condition
      {{{u"", u"a", QOP_EQ, u"1", u")", QJN_AND}, b}, QTE_WHEREBUILD},
      {{{u"(", u"a", QOP_EQ, u"1", u")", QJN_AND}, b}, QTE_WHERESHAPE},
      {{{u"", u"a", QOP_EQ, u"", u"", 0}}, QTE_WHEREVALUE},
      {{{u"", u"?a", QOP_EQ, u"1", u"", 0, QUB_FAIL}}, QTE_UNBOUND},
      {{{u"", u"a", QOP_EQ, u"!err", u"", 0}}, -5},
  };
  ASSERT_EQ(Replace("a & b"), 0);
  for (const Case& c : cases) {
    query_->ClearDesc(QDL_WHERE);
    for (const Cond& cond : c.conditions) query_test::AddCondition(query_.get(), cond);
    EXPECT_EQ(query_->ReplaceTemplate(buffer_), c.result);
    // A failed build leaves no tree; a failed binding leaves the tree it built.
    EXPECT_EQ(Root() == nullptr, c.result == QTE_WHEREBUILD);
  }
}

TEST_F(WhereTreeTest, AppliesEachUnboundMode) {
  struct Case {
    const char16_t *name, *value;
    int32_t mode;
    uint32_t state;
    const char* bound;  // Name and Value
  };
  for (const Case& c : {Case{u"@a", u"@b", QUB_DROP, 0, "v_a v_b"},
                        {u"?a", u"1", QUB_FALSE, XWT_FALSE, "<null> <null>"},
                        {u"?a", u"1", QUB_LITERAL, XWT_VOID, "<null> <null>"},
                        {u"a", u"?v", QUB_LITERAL, 0, "a ?v"},
                        {u"a", u"@v", QUB_LITERAL, XWT_VOID, "<null> <null>"}}) {
    query_->ClearDesc(QDL_WHERE);
    query_test::AddCondition(query_.get(), {u"", c.name, QOP_EQ, c.value, u"", 0, c.mode});
    ASSERT_EQ(query_->ReplaceTemplate(buffer_), 0);
    EXPECT_EQ(Root()->State, c.state);
    EXPECT_EQ(query_test::Narrow(Root()->Name) + " " + query_test::Narrow(Root()->Value), c.bound);
  }
}

TEST_F(WhereTreeTest, SimplificationReducesConstants) {
  struct Case {
    const char* conditions;  // '?' marks an unresolved Name
    int32_t mode;            // of every condition
    int32_t result;
    const char* tree;  // null: no tree left
  };
  for (const Case& c : {Case{"?a | ?b | c", QUB_DROP, 0, "c"},
                        {"?a & ?b", QUB_TRUE, 0, nullptr},
                        {"a & ?b & c", QUB_FALSE, 1, "<null>"},
                        {"a | ?b & c", QUB_TRUE, 0, "OR(a,c)"},
                        {"a & (b | ?c & d) & e", QUB_FALSE, 0, "AND(a,b,e)"}}) {
    ASSERT_EQ(Replace(c.conditions, c.mode), 0) << c.conditions;
    XWhereTree* third = Root()->Child->Next->Next;  // when it holds three leaves
    EXPECT_EQ(query_->ComputeWhereTree(), c.result) << c.conditions;
    ASSERT_EQ(Root() == nullptr, c.tree == nullptr) << c.conditions;
    if (c.tree == nullptr) continue;
    EXPECT_EQ(TreeText(Root()), c.tree) << c.conditions;
    EXPECT_EQ(Root()->Parent, nullptr);
    EXPECT_EQ(Root()->State == XWT_FALSE, c.result == 1);
    if (std::string(c.tree) == "c") {
      EXPECT_EQ(Root(), third);  // the very node
    }
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "query/query_test_util.h"

namespace {

using query_test::Cond;
using query_test::NewTemplate;
using query_test::TemplatePtr;

// Texts starting with '?' cannot be resolved, "!err" is an error, "@x" is rewritten as "v_x",
// anything else needs no substitution.
int32_t TestBinder(void*, XCHAR* text) {
  if (text[0] == u'?') return QTE_UNBOUND;
  if (text[0] == u'!') return -5;
  if (text[0] != u'@') return 0;
  std::u16string rewritten = u"v_" + std::u16string(text + 1);
  std::copy(rewritten.c_str(), rewritten.c_str() + rewritten.size() + 1, text);
  return 1;
}

class WhereTreeTest : public testing::Test {
 protected:
  WhereTreeTest() : query_(NewTemplate()) {
    query_test::AddField(query_.get(), u"f");
    query_->SetDataMuster(1, 0);
    query_->SetBinder(nullptr, TestBinder);
  }

  int32_t Replace() { return query_->ReplaceTemplate(buffer_); }
  XWhereTree* Root() { return static_cast<XWhereTree*>(query_->GetDescList(QDL_WHERETREE)); }
  std::string Tree() {
    bool parents_ok = true;
    std::string text = query_test::TreeText(Root(), &parents_ok);
    EXPECT_TRUE(parents_ok) << text;
    EXPECT_EQ(Root()->Parent, nullptr);
    return text;
  }

  TemplatePtr query_;
  XCHAR buffer_[4096];
};

struct TreeCase {
  const char* conditions;
  const char* tree;
};

class TreeShapeTest : public WhereTreeTest, public testing::WithParamInterface<TreeCase> {};

TEST_P(TreeShapeTest, BuildsTheTreeSqlPrecedenceGives) {
  query_test::AddConditions(query_.get(), GetParam().conditions);
  ASSERT_EQ(Replace(), 0);
  EXPECT_EQ(Tree(), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(Shapes, TreeShapeTest,
                         testing::Values(TreeCase{"a", "a"},
                                         TreeCase{"a | b & c", "OR(a,AND(b,c))"},
                                         TreeCase{"a & b | c", "OR(AND(a,b),c)"},
                                         TreeCase{"a | b & c | d & e", "OR(a,AND(b,c),AND(d,e))"},
                                         TreeCase{"A | (B | C) & D", "OR(A,AND(OR(B,C),D))"},
                                         TreeCase{"y & (a & b | c)", "AND(y,OR(AND(a,b),c))"},
                                         TreeCase{"(a | b & c) & d", "AND(OR(a,AND(b,c)),d)"},
                                         TreeCase{"(x & (a & b | c))", "AND(x,OR(AND(a,b),c))"},
                                         TreeCase{"(a & (b | c) | d)", "OR(AND(a,OR(b,c)),d)"},
                                         TreeCase{"((a | b) & (c | d))", "AND(OR(a,b),OR(c,d))"},
                                         TreeCase{"(a & b", "AND(a,b)"}));

struct FailureCase {
  std::vector<Cond> conditions;
  int32_t result;
};

class TreeFailureTest : public WhereTreeTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(TreeFailureTest, FailsWithItsCode) {
  for (const Cond& cond : GetParam().conditions) query_test::AddCondition(query_.get(), cond);
  EXPECT_EQ(Replace(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TreeFailureTest,
    testing::Values(
        // Junction 0 before another condition.
        FailureCase{{{u"", u"a", QOP_EQ, u"1", u"", 0}, {u"", u"b", QOP_EQ, u"1", u"", 0}},
                    QTE_WHEREBUILD},
        // A closing parenthesis with no open group.
        FailureCase{{{u"", u"a", QOP_EQ, u"1", u")", QJN_AND}, {u"", u"b", QOP_EQ, u"1", u"", 0}},
                    QTE_WHEREBUILD},
        FailureCase{{{u"(", u"a", QOP_EQ, u"1", u"", QJN_AND}, {u"", u"b", QOP_EQ, u"1", u"))", 0}},
                    QTE_WHEREBUILD},
        // (a) AND b builds, but a group of one cannot be bound.
        FailureCase{{{u"(", u"a", QOP_EQ, u"1", u")", QJN_AND}, {u"", u"b", QOP_EQ, u"1", u"", 0}},
                    QTE_WHERESHAPE},
        FailureCase{{{u"", u"a", QOP_EQ, u"", u"", 0}}, QTE_WHEREVALUE},
        FailureCase{{{u"", u"?a", QOP_EQ, u"1", u"", 0, QUB_FAIL}}, QTE_UNBOUND},
        FailureCase{{{u"", u"a", QOP_EQ, u"?1", u"", 0, QUB_FAIL}}, QTE_UNBOUND},
        FailureCase{{{u"", u"a", QOP_EQ, u"!err", u"", 0}}, -5}));

TEST_F(WhereTreeTest, AFailedBuildLeavesNoTree) {
  query_test::AddConditions(query_.get(), "a & b");
  ASSERT_EQ(Replace(), 0);
  ASSERT_NE(Root(), nullptr);
  query_test::AddCondition(query_.get(), {u"", u"c", QOP_EQ, u"1", u")", 0});
  auto* first = static_cast<XQueryWhereDesc*>(query_->GetDescList(QDL_WHERE));
  first->Next->OpJunction |= QJN_OR << 16;
  EXPECT_EQ(Replace(), QTE_WHEREBUILD);
  EXPECT_EQ(Root(), nullptr);
}

struct BindCase {
  const char16_t* name;
  const char16_t* value;
  int32_t mode;
  uint32_t state;
  const char* bound_name;
  const char* bound_value;
};

class BindModeTest : public WhereTreeTest, public testing::WithParamInterface<BindCase> {};

TEST_P(BindModeTest, AppliesTheUnboundMode) {
  const BindCase& c = GetParam();
  query_test::AddCondition(query_.get(), {u"", c.name, QOP_EQ, c.value, u"", 0, c.mode});
  ASSERT_EQ(Replace(), 0);
  EXPECT_EQ(Root()->State, c.state);
  EXPECT_EQ(query_test::Narrow(Root()->Name), c.bound_name);
  EXPECT_EQ(query_test::Narrow(Root()->Value), c.bound_value);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BindModeTest,
    testing::Values(BindCase{u"a", u"1", QUB_DROP, 0, "a", "1"},
                    BindCase{u"@a", u"@b", QUB_DROP, 0, "v_a", "v_b"},
                    BindCase{u"?a", u"1", QUB_FALSE, XWT_FALSE, "<null>", "<null>"},
                    BindCase{u"?a", u"1", QUB_TRUE, XWT_TRUE, "<null>", "<null>"},
                    BindCase{u"?a", u"1", QUB_DROP, XWT_VOID, "<null>", "<null>"},
                    BindCase{u"?a", u"1", QUB_LITERAL, XWT_VOID, "<null>", "<null>"},
                    BindCase{u"?a", u"1", 77, XWT_VOID, "<null>", "<null>"},
                    BindCase{u"a", u"?v", QUB_FALSE, XWT_FALSE, "<null>", "<null>"},
                    BindCase{u"a", u"?v", QUB_TRUE, XWT_TRUE, "<null>", "<null>"},
                    BindCase{u"a", u"?v", QUB_LITERAL, 0, "a", "?v"},
                    BindCase{u"a", u"@v", QUB_LITERAL, XWT_VOID, "<null>", "<null>"},
                    BindCase{u"a", u"1", QUB_LITERAL, 0, "a", "1"}));

TEST_F(WhereTreeTest, KeptTextsTakeTheWorkingBufferInTurn) {
  query_test::AddCondition(query_.get(), {u"", u"@a", QOP_EQ, u"@b", u"", QJN_AND});
  query_test::AddCondition(query_.get(), {u"", u"@c", QOP_EQ, u"1", u"", QJN_AND});
  query_test::AddCondition(query_.get(), {u"", u"d", QOP_EQ, u"@e", u"", 0});
  ASSERT_EQ(Replace(), 0);
  XWhereTree* a = Root()->Child;
  XWhereTree* c = a->Next;
  XWhereTree* d = c->Next;
  EXPECT_EQ(a->Name, buffer_);
  EXPECT_EQ(a->Value, buffer_ + 4);
  EXPECT_EQ(c->Name, buffer_ + 8);
  EXPECT_EQ(c->Value, c->Desc->Value);  // left alone: the record's own text
  EXPECT_EQ(d->Name, d->Desc->Name);
  EXPECT_EQ(d->Value, buffer_ + 12);  // c's Value left its name room behind
}

TEST_F(WhereTreeTest, AConstantLeafGivesBackItsRoom) {
  query_test::AddCondition(query_.get(), {u"", u"@a", QOP_EQ, u"?b", u"", QJN_AND, QUB_FALSE});
  query_test::AddCondition(query_.get(), {u"", u"@c", QOP_EQ, u"?d", u"", 0, QUB_LITERAL});
  ASSERT_EQ(Replace(), 0);
  XWhereTree* second = Root()->Child->Next;
  EXPECT_EQ(second->Name, buffer_);
  EXPECT_EQ(second->Value, buffer_ + 4);
  EXPECT_EQ(query_test::Narrow(second->Value), "?d");
}

TEST_F(WhereTreeTest, ReplaceTemplateResolvesFieldGroupAndOrderTexts) {
  query_->ClearDesc(QDL_FIELD);
  query_test::AddField(query_.get(), u"@long_field_name");
  query_test::AddField(query_.get(), u"@f");
  query_test::AddGroup(query_.get(), u"@g");
  query_test::AddOrder(query_.get(), u"o", false);
  ASSERT_EQ(Replace(), 0);
  auto* first = static_cast<XQueryFieldDesc*>(query_->GetDescList(QDL_FIELD));
  EXPECT_EQ(query_test::Narrow(first->Expression), "v_long_field_name");
  EXPECT_EQ(query_test::Narrow(first->Next->Expression), "v_f");
  auto* group = static_cast<XQueryGroupDesc*>(query_->GetDescList(QDL_GROUP));
  EXPECT_EQ(query_test::Narrow(group->Expression), "v_g");
}

int32_t FillRoomBinder(void* room, XCHAR* text) {
  size_t units = *static_cast<size_t*>(room) - 1;
  std::fill(text, text + units, u'w');
  text[units] = 0;
  return 1;
}

TEST_F(WhereTreeTest, BinderMayFillItsWholeRoom) {
  size_t room = 1024;
  query_->ClearDesc(QDL_FIELD);
  query_test::AddField(query_.get(), u"f");
  query_test::AddGroup(query_.get(), u"g");
  query_->SetBinder(&room, FillRoomBinder);
  ASSERT_EQ(Replace(), 0);
  auto* group = static_cast<XQueryGroupDesc*>(query_->GetDescList(QDL_GROUP));
  EXPECT_EQ(std::u16string(group->Expression), std::u16string(1023, u'w'));
}

struct RequirementCase {
  const char* what;
  int32_t result;
};

TEST(ReplaceTemplateTest, ChecksBinderFieldsMusterAndTexts) {
  auto make = [](const char* what) {
    TemplatePtr query = NewTemplate();
    std::string missing = what;
    if (missing != "binder") query->SetBinder(nullptr, query_test::KeepBinder);
    if (missing != "fields") query_test::AddField(query.get(), missing == "field" ? u"" : u"f");
    if (missing != "muster") query->SetDataMuster(0, 9);
    if (missing == "group") query_test::AddGroup(query.get(), u"");
    if (missing == "order") query_test::AddOrder(query.get(), u"", true);
    return query;
  };
  for (RequirementCase c : {RequirementCase{"binder", QTE_FAIL},
                            {"fields", QTE_NOFIELDS},
                            {"muster", QTE_NOMUSTER},
                            {"field", QTE_FIELDTEXT},
                            {"group", QTE_GROUPTEXT},
                            {"order", QTE_ORDERTEXT}}) {
    XCHAR buffer[64];
    EXPECT_EQ(make(c.what)->ReplaceTemplate(buffer), c.result) << c.what;
  }
}

// Sets each leaf's Mark and Level (in tree order) before simplifying.
void SetMarks(XWhereTree* node, std::vector<std::pair<int32_t, uint32_t>>* marks) {
  for (; node != nullptr; node = node->Next) {
    if (node->Child != nullptr) {
      SetMarks(node->Child, marks);
    } else if (!marks->empty()) {
      node->Mark = marks->front().first;
      node->Level = marks->front().second;
      marks->erase(marks->begin());
    }
  }
}

struct MarkCase {
  std::vector<std::pair<int32_t, uint32_t>> leaves;
  int32_t mark;
  uint32_t level;
};

class MarkTest : public WhereTreeTest, public testing::WithParamInterface<MarkCase> {};

TEST_P(MarkTest, GroupsAggregateMarkAndLevel) {
  query_test::AddConditions(query_.get(), "a & b & c");
  ASSERT_EQ(Replace(), 0);
  auto leaves = GetParam().leaves;
  SetMarks(Root(), &leaves);
  EXPECT_EQ(query_->ComputeWhereTree(), 0);
  EXPECT_EQ(Root()->Mark, GetParam().mark);
  EXPECT_EQ(Root()->Level, GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Marks, MarkTest,
                         testing::Values(MarkCase{{{5, 1}, {5, 3}, {5, 2}}, 5, 3},
                                         MarkCase{{{5, 1}, {6, 3}, {0, 0}}, 0x7F000000, 0},
                                         MarkCase{{{0, 4}, {5, 1}, {0, 9}}, 5, 1},
                                         MarkCase{{{5, 7}, {0, 9}, {5, 2}}, 5, 7},
                                         MarkCase{{{5, 1}, {6, 3}, {5, 8}}, 0x7F000000, 0}));

struct SimplifyCase {
  const char* conditions;
  std::vector<int32_t> unbound;  // per leaf: -1 live, else the mode of an unresolved Name
  int32_t result;
  const char* tree;  // null when the tree is gone; a constant root shows as <null>
};

class SimplifyTest : public WhereTreeTest, public testing::WithParamInterface<SimplifyCase> {};

TEST_P(SimplifyTest, ReducesConstants) {
  const SimplifyCase& c = GetParam();
  query_test::AddConditions(query_.get(), c.conditions);
  size_t i = 0;
  for (auto* d = static_cast<XQueryWhereDesc*>(query_->GetDescList(QDL_WHERE)); d; d = d->Next) {
    if (c.unbound[i] >= 0) {
      XCHAR* name = XQueryTemplate::ReplaceName(d->Name, (u"?" + std::u16string(d->Name)).c_str());
      d->Name = name;
      d->UnboundMode = c.unbound[i];
    }
    ++i;
  }
  ASSERT_EQ(Replace(), 0);
  EXPECT_EQ(query_->ComputeWhereTree(), c.result);
  if (c.tree == nullptr) {
    EXPECT_EQ(Root(), nullptr);
  } else {
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(Tree(), c.tree);
  }
}

constexpr int32_t kLive = -1;

INSTANTIATE_TEST_SUITE_P(
    Constants, SimplifyTest,
    testing::Values(
        SimplifyCase{"a | b | c", {QUB_FALSE, QUB_DROP, QUB_DROP}, 1, "<null>"},
        SimplifyCase{"a & b", {QUB_TRUE, QUB_DROP}, 0, nullptr},
        SimplifyCase{"a | b | c", {QUB_DROP, QUB_DROP, QUB_DROP}, 0, nullptr},
        SimplifyCase{"a & b & c", {kLive, kLive, QUB_TRUE}, 0, "AND(a,b)"},
        SimplifyCase{"a & b & c", {kLive, QUB_FALSE, kLive}, 1, "<null>"},
        SimplifyCase{"a | b & c", {kLive, kLive, QUB_FALSE}, 0, "a"},
        SimplifyCase{"a | b & c", {kLive, QUB_TRUE, kLive}, 0, "OR(a,c)"},
        SimplifyCase{"a | b & c", {QUB_FALSE, QUB_TRUE, QUB_TRUE}, 0, nullptr},
        SimplifyCase{"(a | b) & c", {QUB_TRUE, kLive, kLive}, 0, "c"},
        SimplifyCase{"(a | b) & (c | d)", {QUB_DROP, kLive, kLive, QUB_DROP}, 0, "AND(b,c)"},
        SimplifyCase{
            "a & (b | c & d) & e", {kLive, kLive, QUB_FALSE, kLive, kLive}, 0, "AND(a,b,e)"}));

TEST_F(WhereTreeTest, ALeafLeftAloneKeepsItsNode) {
  query_test::AddConditions(query_.get(), "a & b");
  auto* second = static_cast<XQueryWhereDesc*>(query_->GetDescList(QDL_WHERE))->Next;
  second->Value = XQueryTemplate::ReplaceName(second->Value, u"?1");
  second->UnboundMode = QUB_TRUE;
  ASSERT_EQ(Replace(), 0);
  XWhereTree* a = Root()->Child;
  EXPECT_EQ(query_->ComputeWhereTree(), 0);
  EXPECT_EQ(Root(), a);
  EXPECT_EQ(a->Parent, nullptr);
  EXPECT_EQ(a->Next, nullptr);
}

}  // namespace

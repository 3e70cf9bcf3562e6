// Random condition lists against their SQL meaning: a list and a rendered condition are both read
// as SQL reads them (parentheses first, AND before OR) and compared under every truth assignment.
#include <gtest/gtest.h>

#include <random>

#include "query/query_test_util.h"

namespace {

using query_test::NewTemplate;
using query_test::TemplatePtr;

// Condition k is "ck = 1"; a constant one has the unresolved Name "?ck" and mode QUB_TRUE or
// QUB_FALSE (-1: live).
struct Condition {
  int opens = 0, closes = 0;
  uint32_t junction = 0;
  int32_t constant = -1;
};

// 1 to 7 balanced conditions. A group closes only after a later condition, so most lists avoid
// groups of a single condition, which cannot be bound.
std::vector<Condition> RandomList(std::mt19937& rng, bool constants) {
  std::vector<Condition> list(1 + rng() % 7);
  std::vector<size_t> open;  // the condition each open group started at
  for (size_t i = 0; i < list.size(); ++i) {
    Condition& c = list[i];
    bool last = i + 1 == list.size();
    uint32_t roll = rng() % 100;
    c.opens = last || roll < 60 ? 0 : roll < 90 ? 1 : 2;
    open.insert(open.end(), c.opens, i);
    for (; !open.empty() && (last || (open.back() < i && rng() % 2 == 0)); ++c.closes) {
      open.pop_back();
    }
    if (!last) c.junction = rng() % 2 == 0 ? QJN_AND : QJN_OR;
    roll = rng() % 100;
    if (constants && roll < 30) c.constant = roll < 15 ? QUB_TRUE : QUB_FALSE;
  }
  return list;
}

TemplatePtr TemplateOf(const std::vector<Condition>& list) {
  TemplatePtr query = NewTemplate();
  query_test::Add(query.get(), QDL_FIELD, u"f");
  query->SetDataMuster(1, 0);
  query->SetBinder(nullptr, query_test::Binder);
  for (size_t k = 0; k < list.size(); ++k) {
    const Condition& c = list[k];
    std::u16string name = (c.constant >= 0 ? u"?c" : u"c") + std::u16string(1, u'0' + k);
    query_test::AddCondition(query.get(), {std::u16string(c.opens, u'('), name, QOP_EQ, u"1",
                                           std::u16string(c.closes, u')'), c.junction, c.constant});
  }
  return query;
}

// The list spelled like a rendered condition, with T and F for the constants.
std::string ListText(const std::vector<Condition>& list) {
  std::string out;
  for (size_t k = 0; k < list.size(); ++k) {
    const Condition& c = list[k];
    out += std::string(c.opens, '(');
    out += c.constant < 0 ? "c" + std::to_string(k) : c.constant == QUB_TRUE ? "T" : "F";
    out += std::string(c.closes, ')');
    if (c.junction != 0) out += c.junction == QJN_AND ? " AND " : " OR ";
  }
  return out;
}

// Reads such a text under an assignment (bit k: ck holds); " = 1" after a name is passed over.
class Evaluator {
 public:
  Evaluator(const std::string& text, uint32_t bits) : text_(text), bits_(bits) {}
  bool Run(bool* ok) {
    bool value = Or();
    *ok = *ok && ok_ && (Take(""), at_ == text_.size());
    return value;
  }

 private:
  bool Take(const std::string& word) {
    while (at_ < text_.size() && strchr(" =1", text_[at_]) != nullptr) ++at_;
    if (text_.compare(at_, word.size(), word) != 0) return false;
    at_ += word.size();
    return true;
  }
  bool Or() {
    bool value = And();
    while (Take("OR")) value = And() || value;
    return value;
  }
  bool And() {
    bool value = Factor();
    while (Take("AND")) value = Factor() && value;
    return value;
  }
  bool Factor() {
    if (Take("(")) {
      bool value = Or();
      ok_ = ok_ && Take(")");
      return value;
    }
    if (Take("T") || Take("F")) return text_[at_ - 1] == 'T';
    if (!Take("c") || at_ >= text_.size()) return ok_ = false;
    return (bits_ >> (text_[at_++] - '0') & 1) != 0;
  }

  const std::string& text_;
  uint32_t bits_;
  size_t at_ = 0;
  bool ok_ = true;
};

// `rendered` is "" for a condition that always holds and null for one that never does.
testing::AssertionResult SameMeaning(const std::vector<Condition>& list,
                                     const std::string* rendered) {
  std::string listed = ListText(list);
  for (uint32_t bits = 0; bits < 1u << list.size(); ++bits) {
    bool ok = true;
    bool expected = Evaluator(listed, bits).Run(&ok);
    bool actual = rendered != nullptr && (rendered->empty() || Evaluator(*rendered, bits).Run(&ok));
    if (!ok || actual != expected) {
      return testing::AssertionFailure() << listed << " rendered as "
                                         << (rendered ? *rendered : "<never>") << ", bits " << bits;
    }
  }
  return testing::AssertionSuccess();
}

std::string Rendered(XQueryTemplate* query) {
  std::u16string text(4096, u'#');
  int32_t length =
      MakeWhereClause(static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE)), text.data());
  EXPECT_GE(length, 0);
  return query_test::Narrow(text.substr(0, length < 0 ? 0 : length).c_str());
}

// Bound trees as built, and (odd rounds, with constants) simplified.
TEST(ConditionProperty, RenderedConditionMeansWhatTheListMeans) {
  std::mt19937 rng(20240611);
  int compared = 0;
  for (int round = 0; round < 1500; ++round) {
    bool constants = round % 2 == 1;
    std::vector<Condition> list = RandomList(rng, constants);
    TemplatePtr query = TemplateOf(list);
    XCHAR buffer[1024];
    int32_t replaced = query->ReplaceTemplate(buffer);
    if (replaced == QTE_WHERESHAPE) continue;  // a group of one condition
    ASSERT_EQ(replaced, 0) << ListText(list);
    if (constants && query->ComputeWhereTree() == 1) {
      EXPECT_TRUE(SameMeaning(list, nullptr));
    } else {
      std::string rendered = Rendered(query.get());
      EXPECT_TRUE(SameMeaning(list, &rendered));
    }
    ++compared;
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace

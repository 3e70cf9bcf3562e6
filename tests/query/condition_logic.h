// Random condition lists and their meaning: a list is evaluated the way SQL reads it
// (parentheses first, AND before OR), and so is a rendered condition text, so the two can be
// compared under every truth assignment.
#ifndef TABROW_TESTS_QUERY_CONDITION_LOGIC_H_
#define TABROW_TESTS_QUERY_CONDITION_LOGIC_H_

#include <random>
#include <string>
#include <vector>

#include "query/query_test_util.h"

namespace query_test {

// Condition k is "ck = 1", live, or an unresolved reference that the binder reports for a name
// starting with '?' and that its mode turns into a constant.
struct RandomCondition {
  int opens = 0;
  int closes = 0;
  uint32_t junction = 0;
  int32_t constant = -1;  // -1 live, else QUB_TRUE or QUB_FALSE
};

// A balanced list of 1 to 7 conditions. A group closes only after a condition that follows its
// opening one, so most lists avoid groups of a single condition (which cannot be bound).
inline std::vector<RandomCondition> RandomConditions(std::mt19937& rng, bool constants) {
  std::uniform_int_distribution<int> count(1, 7);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<RandomCondition> list(count(rng));
  std::vector<size_t> open;  // the condition each open group started at
  for (size_t i = 0; i < list.size(); ++i) {
    RandomCondition& c = list[i];
    bool last = i + 1 == list.size();
    int roll = percent(rng);
    c.opens = last || roll < 60 ? 0 : roll < 90 ? 1 : 2;
    open.insert(open.end(), c.opens, i);
    while (!open.empty() && (last || (open.back() < i && percent(rng) < 50))) {
      open.pop_back();
      ++c.closes;
    }
    if (!last) c.junction = percent(rng) < 50 ? QJN_AND : QJN_OR;
    if (constants) {
      roll = percent(rng);
      c.constant = roll < 15 ? QUB_TRUE : roll < 30 ? QUB_FALSE : -1;
    }
  }
  return list;
}

inline void AddRandomConditions(XQueryTemplate* query, const std::vector<RandomCondition>& list) {
  for (size_t k = 0; k < list.size(); ++k) {
    const RandomCondition& c = list[k];
    std::u16string name = (c.constant >= 0 ? u"?c" : u"c") + std::u16string(1, u'0' + k);
    AddCondition(query, Cond{std::u16string(c.opens, u'('), name, QOP_EQ, u"1",
                             std::u16string(c.closes, u')'), c.junction,
                             c.constant >= 0 ? c.constant : QUB_DROP});
  }
}

// Tokens: an atom is a condition index (>= 0) or a constant.
enum Token : int { kOpen = -10, kClose, kAnd, kOr, kTrue, kFalse };

class Evaluator {
 public:
  Evaluator(const std::vector<int>& tokens, uint32_t assignment)
      : tokens_(tokens), assignment_(assignment) {}

  // The value of the whole token list; `ok` is false when it does not parse.
  bool Run(bool* ok) {
    bool value = Or();
    *ok = ok_ && at_ == tokens_.size();
    return value;
  }

 private:
  int Peek() const { return at_ < tokens_.size() ? tokens_[at_] : kClose - 100; }
  bool Or() {
    bool value = And();
    while (Peek() == kOr) {
      ++at_;
      bool right = And();
      value = value || right;
    }
    return value;
  }
  bool And() {
    bool value = Factor();
    while (Peek() == kAnd) {
      ++at_;
      bool right = Factor();
      value = value && right;
    }
    return value;
  }
  bool Factor() {
    int token = Peek();
    ++at_;
    if (token == kOpen) {
      bool value = Or();
      if (Peek() != kClose) ok_ = false;
      ++at_;
      return value;
    }
    if (token == kTrue) return true;
    if (token == kFalse) return false;
    if (token < 0) {
      ok_ = false;
      return false;
    }
    return (assignment_ >> token & 1) != 0;
  }

  const std::vector<int>& tokens_;
  uint32_t assignment_;
  size_t at_ = 0;
  bool ok_ = true;
};

inline std::vector<int> ListTokens(const std::vector<RandomCondition>& list) {
  std::vector<int> tokens;
  for (size_t k = 0; k < list.size(); ++k) {
    const RandomCondition& c = list[k];
    tokens.insert(tokens.end(), c.opens, kOpen);
    tokens.push_back(c.constant == QUB_TRUE    ? kTrue
                     : c.constant == QUB_FALSE ? kFalse
                                               : static_cast<int>(k));
    tokens.insert(tokens.end(), c.closes, kClose);
    if (c.junction != 0) tokens.push_back(c.junction == QJN_AND ? kAnd : kOr);
  }
  return tokens;
}

// Tokens of a rendered condition: "ck = 1" is atom k; "AND", "OR" and parentheses.
inline std::vector<int> TextTokens(const std::u16string& text) {
  std::vector<int> tokens;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == u'(') {
      tokens.push_back(kOpen);
      ++i;
    } else if (text[i] == u')') {
      tokens.push_back(kClose);
      ++i;
    } else if (text.compare(i, 3, u"AND") == 0) {
      tokens.push_back(kAnd);
      i += 3;
    } else if (text.compare(i, 2, u"OR") == 0) {
      tokens.push_back(kOr);
      i += 2;
    } else if (text.compare(i, 1, u"c") == 0 && i + 1 < text.size()) {
      tokens.push_back(text[i + 1] - u'0');
      i += 2;
    } else {
      ++i;  // blanks and " = 1"
    }
  }
  return tokens;
}

inline std::string ListText(const std::vector<RandomCondition>& list) {
  std::string out;
  for (size_t k = 0; k < list.size(); ++k) {
    const RandomCondition& c = list[k];
    out += std::string(c.opens, '(');
    out += c.constant == QUB_TRUE ? "T" : c.constant == QUB_FALSE ? "F" : "c" + std::to_string(k);
    out += std::string(c.closes, ')');
    if (c.junction != 0) out += c.junction == QJN_AND ? " AND " : " OR ";
  }
  return out;
}

}  // namespace query_test

#endif  // TABROW_TESTS_QUERY_CONDITION_LOGIC_H_

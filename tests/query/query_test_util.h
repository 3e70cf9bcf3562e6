// Helpers shared by the query template tests: owned templates, exchange buffers built field by
// field, condition lists from a compact notation, and where trees printed as text.
#ifndef TABROW_TESTS_QUERY_TEST_UTIL_H_
#define TABROW_TESTS_QUERY_TEST_UTIL_H_

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace query_test {

struct TemplateDeleter {
  void operator()(XQueryTemplate* query) const { XQueryTemplate::Release(query); }
};
using TemplatePtr = std::unique_ptr<XQueryTemplate, TemplateDeleter>;

inline TemplatePtr NewTemplate() {
  return TemplatePtr(XQueryTemplate::Malloc());
}

// Byte sizes and slot offsets of the exchange buffers.
constexpr size_t kFieldBytes = 9328;
constexpr size_t kWhereBytes = 9392;
constexpr size_t kGroupBytes = 608;
constexpr size_t kOrderBytes = 612;

// An exchange buffer: raw bytes, written and read at byte offsets.
class Buffer {
 public:
  explicit Buffer(size_t size, uint8_t fill = 0) : bytes_(size, fill) {}
  void PutText(size_t offset, const std::u16string& text) {
    std::memcpy(&bytes_[offset], text.c_str(), (text.size() + 1) * 2);
  }
  void PutWord(size_t offset, uint32_t word) { std::memcpy(&bytes_[offset], &word, 4); }
  std::u16string Text(size_t offset) const {
    std::u16string text;
    for (;; offset += 2) {
      char16_t c;
      std::memcpy(&c, &bytes_[offset], 2);
      if (c == 0) return text;
      text += c;
    }
  }
  uint32_t Word(size_t offset) const {
    uint32_t word;
    std::memcpy(&word, &bytes_[offset], 4);
    return word;
  }
  uint8_t* data() { return bytes_.data(); }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// One condition for the exchange buffer.
struct Cond {
  std::u16string opens;
  std::u16string name;
  uint32_t op;
  std::u16string value;
  std::u16string closes;
  uint32_t junction;
  int32_t mode = QUB_DROP;
};

inline void AddCondition(XQueryTemplate* query, const Cond& cond) {
  Buffer buffer(kWhereBytes);
  buffer.PutText(0, cond.opens);
  buffer.PutText(32, cond.name);
  buffer.PutWord(544, cond.op);
  buffer.PutText(548, cond.value);
  buffer.PutText(1060, cond.closes);
  buffer.PutWord(1092, cond.junction);
  buffer.PutWord(1096, static_cast<uint32_t>(cond.mode));
  query->SetDesc(QDL_WHERE, nullptr, buffer.data());
}

inline void AddField(XQueryTemplate* query, const std::u16string& expression, uint32_t type = 2) {
  Buffer buffer(kFieldBytes);
  buffer.PutText(0, expression);
  buffer.PutWord(1120, type);
  query->SetDesc(QDL_FIELD, nullptr, buffer.data());
}

inline void AddGroup(XQueryTemplate* query, const std::u16string& expression) {
  Buffer buffer(kGroupBytes);
  buffer.PutText(0, expression);
  query->SetDesc(QDL_GROUP, nullptr, buffer.data());
}

inline void AddOrder(XQueryTemplate* query, const std::u16string& expression, bool descending) {
  Buffer buffer(kOrderBytes);
  buffer.PutText(0, expression);
  buffer.PutWord(512, descending ? 1 : 0);
  query->SetDesc(QDL_ORDER, nullptr, buffer.data());
}

// Conditions written as "a | b & c", "(a & b) | c", "y & ((a & b | c))": each letter run is a
// condition Name with operator = and Value 1; & and | are the junctions.
inline void AddConditions(XQueryTemplate* query, const std::string& text) {
  Cond cond{u"", u"", QOP_EQ, u"1", u"", 0};
  bool have_name = false;
  for (char c : text) {
    if (c == ' ') continue;
    if (c == '(') {
      cond.opens += u'(';
    } else if (c == ')') {
      cond.closes += u')';
    } else if (c == '&' || c == '|') {
      cond.junction = c == '&' ? QJN_AND : QJN_OR;
      AddCondition(query, cond);
      cond = Cond{u"", u"", QOP_EQ, u"1", u"", 0};
      have_name = false;
    } else {
      cond.name += static_cast<char16_t>(c);
      have_name = true;
    }
  }
  if (have_name) AddCondition(query, cond);
}

inline std::string Narrow(const XCHAR* text) {
  std::string out;
  if (text == nullptr) return "<null>";
  for (; *text != 0; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

// A tree as text: a leaf is its Name, a group AND(...) or OR(...) with its children. Also checks
// that every child's Parent is the node that holds it.
inline std::string TreeText(const XWhereTree* node, bool* parents_ok) {
  if (node->Child == nullptr) return Narrow(node->Name);
  std::string out = node->State == QJN_AND ? "AND(" : node->State == QJN_OR ? "OR(" : "G(";
  for (const XWhereTree* child = node->Child; child != nullptr; child = child->Next) {
    if (child->Parent != node) *parents_ok = false;
    out += TreeText(child, parents_ok);
    if (child->Next != nullptr) out += ",";
  }
  return out + ")";
}

// A binder that leaves texts alone.
inline int32_t KeepBinder(void*, XCHAR*) {
  return 0;
}

}  // namespace query_test

#endif  // TABROW_TESTS_QUERY_TEST_UTIL_H_

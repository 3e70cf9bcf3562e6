// Helpers shared by the query template tests: owned templates, exchange buffers, condition lists
// in a compact notation, and where trees printed as text.
#ifndef TABROW_TESTS_QUERY_TEST_UTIL_H_
#define TABROW_TESTS_QUERY_TEST_UTIL_H_

#include <cctype>
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

constexpr size_t kFieldBytes = 9328;
constexpr size_t kWhereBytes = 9392;

// An exchange buffer written and read at byte offsets.
struct Buffer {
  explicit Buffer(size_t size, uint8_t fill = 0) : bytes(size, fill) {}
  void PutText(size_t at, const std::u16string& text) {
    std::memcpy(&bytes[at], text.c_str(), (text.size() + 1) * 2);
  }
  void PutWord(size_t at, uint32_t word) { std::memcpy(&bytes[at], &word, 4); }
  std::u16string Text(size_t at) const {
    std::u16string text;
    for (char16_t c; std::memcpy(&c, &bytes[at], 2), c != 0; at += 2) text += c;
    return text;
  }
  uint32_t Word(size_t at) const {
    uint32_t word;
    std::memcpy(&word, &bytes[at], 4);
    return word;
  }
  std::vector<uint8_t> bytes;
};

struct Cond {
  std::u16string opens, name;
  uint32_t op;
  std::u16string value, closes;
  uint32_t junction;
  int32_t mode = QUB_DROP;
};

inline void AddCondition(XQueryTemplate* query, const Cond& c) {
  Buffer b(kWhereBytes);
  b.PutText(0, c.opens);
  b.PutText(32, c.name);
  b.PutWord(544, c.op);
  b.PutText(548, c.value);
  b.PutText(1060, c.closes);
  b.PutWord(1092, c.junction);
  b.PutWord(1096, static_cast<uint32_t>(c.mode));
  query->SetDesc(QDL_WHERE, nullptr, b.bytes.data());
}

// A field (list 0, `word` its DataType), grouping (2) or ordering (3, `word` Descending).
inline void Add(XQueryTemplate* query, int32_t list, const std::u16string& text,
                uint32_t word = 0) {
  Buffer b(kFieldBytes);
  b.PutText(0, text);
  b.PutWord(list == QDL_FIELD ? 1120 : 512, list == QDL_GROUP ? 0 : word);
  query->SetDesc(list, nullptr, b.bytes.data());
}

// Conditions written as "y & (a & b | c)": each name is a condition "name = 1".
inline void AddConditions(XQueryTemplate* query, const std::string& text) {
  Cond cond{u"", u"", QOP_EQ, u"1", u"", 0};
  for (char c : text) {
    if (c == '(') cond.opens += u'(';
    if (c == ')') cond.closes += u')';
    if (isalnum(c) || c == '?') cond.name += static_cast<char16_t>(c);
    if (c == '&' || c == '|') {
      cond.junction = c == '&' ? QJN_AND : QJN_OR;
      AddCondition(query, cond);
      cond = Cond{u"", u"", QOP_EQ, u"1", u"", 0};
    }
  }
  AddCondition(query, cond);
}

inline std::string Narrow(const XCHAR* text) {
  if (text == nullptr) return "<null>";
  std::string out;
  for (; *text != 0; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

// '?' starts an unresolved text, '!' an error; "@x" is rewritten as "vx"; others are kept.
inline int32_t Binder(void*, XCHAR* text) {
  if (text[0] == u'?') return QTE_UNBOUND;
  if (text[0] == u'!') return -7;
  if (text[0] != u'@') return 0;
  text[0] = u'v';
  return 1;
}

}  // namespace query_test

#endif  // TABROW_TESTS_QUERY_TEST_UTIL_H_

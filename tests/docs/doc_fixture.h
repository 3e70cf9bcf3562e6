// Loading JSON texts for the tests, a compact rendering of a tree to compare with, and what a
// response buffer holds.
#ifndef TABROW_TESTS_DOCS_DOC_FIXTURE_H_
#define TABROW_TESTS_DOCS_DOC_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "tabrow/httpbuffer.h"
#include "tabrow/jsondoc.h"
#include "tabrow/xmldoc.h"

namespace docs_test {

// Renders a tree: integers as digits, doubles with a 'd' suffix, strings in single quotes,
// null, {members} and [elements], a name as "name=" before its value, '?' for a node the parser
// made but did not fill.
inline void Render(const XJsonNode* node, std::ostringstream& out) {
  if (node->Name != nullptr) out << node->Name << '=';
  switch (node->Kind) {
    case XDT_LONG:
      out << node->Value.Long;
      break;
    case XDT_DOUBLE:
      out.precision(17);
      out << node->Value.Double << 'd';
      break;
    case XDT_STRING:
      out << '\'' << node->Value.Text << '\'';
      break;
    case XJT_NULL:
      out << "null";
      break;
    case XJT_OBJECT:
    case XJT_ARRAY: {
      out << (node->Kind == XJT_OBJECT ? '{' : '[');
      for (const XJsonNode* child = node->Child; child != nullptr; child = child->Next) {
        if (child != node->Child) out << ',';
        Render(child, out);
      }
      out << (node->Kind == XJT_OBJECT ? '}' : ']');
      break;
    }
    default:
      out << '?';
  }
}

inline std::string Render(const XJsonNode* node) {
  if (node == nullptr) return "(none)";
  std::ostringstream out;
  Render(node, out);
  return out.str();
}

// Loads texts from heap blocks of exactly their size, with no NUL after them, so that the
// sanitizers catch any read past the end.
class JsonTest : public ::testing::Test {
 protected:
  int32_t Load(const std::string& text, int32_t utf8 = 1) {
    block_.reset(new char[text.size()]);
    std::memcpy(block_.get(), text.data(), text.size());
    return doc_.LoadText(utf8, block_.get(), static_cast<uint32_t>(text.size()));
  }
  std::string Tree() const { return Render(doc_.GetRoot()); }
  XJsonNode* Find(const char16_t* path) {
    return XJsonDoc::FindNode(doc_.GetRoot(), doc_.IsUtf8(), path);
  }

  std::unique_ptr<char[]> block_;
  XJsonDoc doc_;
};

// What a buffer holds: "xml", "json:<utf-8 flag>", "plain:<text>" or "nothing".
inline std::u16string Held(const XHttpBuffer& buffer) {
  if (buffer.GetXmlDoc() != nullptr) return u"xml";
  if (buffer.GetJsonDoc() != nullptr) return buffer.GetJsonDoc()->IsUtf8() ? u"json:1" : u"json:0";
  const XCHAR* text = nullptr;
  EXPECT_EQ(buffer.GetPlainDoc(&text), 1);
  return text != nullptr ? u"plain:" + std::u16string(text) : u"nothing";
}

}  // namespace docs_test

#endif  // TABROW_TESTS_DOCS_DOC_FIXTURE_H_

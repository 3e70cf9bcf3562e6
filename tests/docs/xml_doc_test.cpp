// XML documents in UTF-8, UTF-16 and code page 936; paths; node operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tabrow/xmldoc.h"

namespace {

const char kRowset[] =
    "<?xml version=\"1.0\"?>\n"
    "<Rowset count=\"2\" name=\"&lt;r&gt;\">\n"
    "  <!-- rows -->\n"
    "  <Row id=\"1\"><Name>one</Name><Note><![CDATA[a<b]]></Note></Row>\n"
    "  text between\n"
    "  <Row id=\"2\"><Name>\xe4\xba\x8c</Name><Empty/></Row>\n"
    "  <Tail/>\n"
    "</Rowset>";

class XmlDoc : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(doc_.OpenBuffer(kRowset, sizeof kRowset - 1, 1), 1); }

  // The attribute or text the node gives in a buffer of `capacity` units, or "(untouched)".
  static std::u16string Attribute(XML_Node* node, const XCHAR* name, int32_t capacity = 64) {
    XCHAR buffer[64] = u"(untouched)";
    node->GetAttribute(name, buffer, capacity);
    return buffer;
  }
  static std::u16string Text(XML_Node* node, int32_t capacity = 64) {
    XCHAR buffer[64] = u"(untouched)";
    node->GetText(buffer, capacity);
    return buffer;
  }

  XML_Archive doc_;
};

TEST_F(XmlDoc, SelectsByAbsoluteAndRelativePaths) {
  XML_Node* rowset = doc_.SelectNode(u"/Rowset", nullptr);
  ASSERT_NE(rowset, nullptr);
  EXPECT_EQ(doc_.SelectNode(u"Rowset", nullptr), rowset);
  EXPECT_EQ(doc_.SelectNode(u"Rowset/", nullptr), rowset);
  XML_Node* name = doc_.SelectNode(u"/Rowset/Row/Name", nullptr);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(Text(name), u"one");  // the first Row
  XML_Node* row = doc_.SelectNode(u"Row", rowset);
  EXPECT_EQ(doc_.SelectNode(u"Name", row), name);
  EXPECT_EQ(doc_.SelectNode(u"", row), row);
  EXPECT_EQ(doc_.SelectNode(nullptr, row), row);
  EXPECT_EQ(doc_.SelectNode(u"/Rowset/Tail", row), doc_.SelectNode(u"Tail", rowset));
  XML_Node* document = doc_.SelectNode(u"", nullptr);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(doc_.SelectNode(u"/", nullptr), document);
  EXPECT_EQ(rowset->GetParent(), document);
  EXPECT_EQ(document->GetParent(), nullptr);
  for (const char16_t* missing :
       {u"/Row", u"Rowset//Row", u"/Rowset/Row/Nope", u"rowset", u"xml"}) {
    EXPECT_EQ(doc_.SelectNode(missing, nullptr), nullptr);
  }
  EXPECT_EQ(doc_.IsEmptyDoc(), 0);
}

TEST_F(XmlDoc, NamesAttributesAndTexts) {
  XML_Node* rowset = doc_.SelectNode(u"/Rowset", nullptr);
  EXPECT_EQ(rowset->IsName(u"Rowset"), 1);
  EXPECT_EQ(rowset->IsName(u"rowset"), 0);
  EXPECT_EQ(rowset->IsName(nullptr), 0);
  XCHAR name[4] = u"xyz";
  EXPECT_EQ(rowset->GetName(name, 4), 1);
  EXPECT_EQ(std::u16string(name), u"Row");  // capacity - 1 units and a NUL
  EXPECT_EQ(Attribute(rowset, u"count"), u"2");
  EXPECT_EQ(Attribute(rowset, u"name"), u"<r>");
  EXPECT_EQ(Attribute(rowset, u"name", 2), u"<");
  EXPECT_EQ(Attribute(rowset, u"name", 0), u"(untouched)");
  EXPECT_EQ(Attribute(rowset, u"missing"), u"(untouched)");
  EXPECT_EQ(rowset->HasAttribute(u"count"), 1);
  EXPECT_EQ(rowset->HasAttribute(u"Count"), 0);
  XML_Node* second = doc_.SelectNode(u"Row", rowset)->GetNextSibling();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Attribute(second, u"id"), u"2");
  EXPECT_EQ(Text(second->GetChild(u"Name")), u"二");
  EXPECT_EQ(Text(doc_.SelectNode(u"/Rowset/Row/Note", nullptr)), u"a<b");
  EXPECT_EQ(Text(second->GetChild(u"Empty")), u"(untouched)");
  EXPECT_EQ(second->GetChild(u"Note"), nullptr);
  EXPECT_EQ(Text(rowset), u"\n  text between\n  ");  // its first character data
  XML_Node* document = doc_.SelectNode(u"", nullptr);
  EXPECT_EQ(document->GetName(name, 4), 0);
  EXPECT_EQ(document->IsName(u""), 0);
}

TEST_F(XmlDoc, EnumeratesChildElementsOnly) {
  XML_Node* rowset = doc_.SelectNode(u"/Rowset", nullptr);
  XML_NodeList* children = rowset->GetChildren();
  ASSERT_NE(children, nullptr);
  EXPECT_EQ(children->GetOwner(), rowset);
  EXPECT_EQ(children->GetCount(), 3);
  std::u16string names;
  uintptr_t position = 0;
  XML_Node* child;
  while ((child = children->GetNext(&position)) != nullptr) {
    EXPECT_NE(position, 0u);
    XCHAR name[16] = u"";
    child->GetName(name, 16);
    names += name;
    names += u' ';
  }
  EXPECT_EQ(names, u"Row Row Tail ");
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(children->GetItem(2), doc_.SelectNode(u"Tail", rowset));
  EXPECT_EQ(children->GetItem(3), nullptr);
  EXPECT_EQ(children->GetItem(-1), nullptr);
  EXPECT_EQ(doc_.SelectNode(u"Tail", rowset)->GetChildren(), nullptr);
  // A position that marks no child of this node ends the enumeration.
  uintptr_t foreign = 0;
  doc_.SelectNode(u"Row", rowset)->GetChildren()->GetNext(&foreign);
  EXPECT_EQ(children->GetNext(&foreign), nullptr);
  EXPECT_EQ(foreign, 0u);
  position = 12345;
  EXPECT_EQ(children->GetNext(&position), nullptr);
  EXPECT_EQ(position, 0u);
}

TEST(XmlOpen, EncodingsAndFailures) {
  const std::string utf8Doc = "<\xe4\xb8\xad a=\"\xe6\x96\x87\">x</\xe4\xb8\xad>";  // <中 a="文">
  const std::string ansiDoc = "<\xd6\xd0 a=\"\xce\xc4\">x</\xd6\xd0>";
  const std::u16string utf16Doc = u"\uFEFF<中 a=\"文\">x</中>";
  struct Case {
    std::string bytes;
    int32_t viaBuffer;  // the flag for OpenBuffer, or -1 to open through an archive
  } cases[] = {
      {utf8Doc, 1},
      {"\xef\xbb\xbf" + utf8Doc, 1},
      {ansiDoc, 0},
      {utf8Doc, -1},
      {"<?xml version='1.0' encoding='GB2312'?>" + ansiDoc, -1},
      {"<?xml version=\"1.0\" encoding=\"gbk\"?>" + ansiDoc, -1},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + utf8Doc, -1},
      {std::string(reinterpret_cast<const char*>(utf16Doc.data()), utf16Doc.size() * 2), -1},
  };
  for (const Case& c : cases) {
    XML_Archive doc;
    XMemoArchive memo;
    memo.Append(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    int32_t opened = c.viaBuffer >= 0
                         ? doc.OpenBuffer(c.bytes.data(), uint32_t(c.bytes.size()), c.viaBuffer)
                         : doc.OpenArchive(&memo);
    ASSERT_EQ(opened, 1) << c.bytes;
    XML_Node* root = doc.SelectNode(u"/中", nullptr);
    ASSERT_NE(root, nullptr) << c.bytes;
    XCHAR value[8] = u"";
    EXPECT_EQ(root->GetAttribute(u"a", value, 8), 1);
    EXPECT_EQ(std::u16string(value), u"文");
  }
  XML_Archive doc;
  for (const char* bad : {"", "<a>", "<a></b>", "just text", "<a/><b/>"}) {
    ASSERT_EQ(doc.OpenBuffer("<ok/>", 5, 1), 1);
    EXPECT_EQ(doc.OpenBuffer(bad, static_cast<uint32_t>(std::strlen(bad)), 1), 0) << bad;
    EXPECT_EQ(doc.IsEmptyDoc(), 1) << bad;
    EXPECT_EQ(doc.SelectNode(u"/a", nullptr), nullptr) << bad;
  }
  EXPECT_EQ(doc.OpenBuffer(nullptr, 3, 1), 0);
  EXPECT_EQ(doc.OpenArchive(nullptr), 0);
  XMemoArchive empty;
  EXPECT_EQ(doc.OpenArchive(&empty), 0);
  EXPECT_EQ(XML_Archive().IsEmptyDoc(), 1);
}

TEST(XmlOpen, CopyIsIndependent) {
  XML_Archive source;
  ASSERT_EQ(source.OpenBuffer("<a><b>1</b></a>", 15, 1), 1);
  XML_Archive copy;
  ASSERT_EQ(copy.CopyFrom(source), 1);
  ASSERT_EQ(source.OpenBuffer("<c/>", 4, 1), 1);
  XCHAR text[4] = u"";
  ASSERT_NE(copy.SelectNode(u"/a/b", nullptr), nullptr);
  copy.SelectNode(u"/a/b", nullptr)->GetText(text, 4);
  EXPECT_EQ(std::u16string(text), u"1");
  EXPECT_EQ(copy.SelectNode(u"/c", nullptr), nullptr);
}

}  // namespace

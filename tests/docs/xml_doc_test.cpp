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
  XML_Node* Select(const XCHAR* path, XML_Node* parent = nullptr) {
    return doc_.SelectNode(path, parent);
  }

  XML_Archive doc_;
};

// What a copying operation leaves in a buffer of `capacity` units that held "(untouched)".
template <typename Copy>
std::u16string Copied(int32_t capacity, Copy copy) {
  XCHAR buffer[16] = u"(untouched)";
  copy(buffer, capacity);
  return buffer;
}

TEST_F(XmlDoc, SelectsByAbsoluteAndRelativePaths) {
  XML_Node* rowset = Select(u"/Rowset");
  XML_Node* row = Select(u"Row", rowset);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(Select(u"Rowset"), rowset);
  EXPECT_EQ(Select(u"Rowset/"), rowset);
  EXPECT_EQ(Select(u"/Rowset/Row/Name"), Select(u"Name", row));  // the first Row
  EXPECT_EQ(Select(u""), Select(u"/"));                          // the document
  EXPECT_EQ(rowset->GetParent(), Select(u""));
  EXPECT_EQ(Select(u"")->GetParent(), nullptr);
  EXPECT_EQ(Select(u"", row), row);
  EXPECT_EQ(Select(nullptr, row), row);
  EXPECT_EQ(Select(u"/Rowset/Tail", row), Select(u"Tail", rowset));
  for (const char16_t* missing :
       {u"/Row", u"Rowset//Row", u"/Rowset/Row/Nope", u"rowset", u"xml"}) {
    EXPECT_EQ(Select(missing), nullptr);
  }
}

TEST_F(XmlDoc, NamesAttributesAndTexts) {
  XML_Node* rowset = Select(u"/Rowset");
  XML_Node* second = Select(u"Row", rowset)->GetNextSibling();
  auto attribute = [](XML_Node* node, const XCHAR* name, int32_t capacity) {
    return Copied(capacity,
                  [&](XCHAR* buffer, int32_t room) { node->GetAttribute(name, buffer, room); });
  };
  auto text = [](XML_Node* node) {
    return Copied(16, [&](XCHAR* buffer, int32_t room) { node->GetText(buffer, room); });
  };
  EXPECT_EQ(rowset->IsName(u"Rowset") + rowset->IsName(u"rowset") + rowset->IsName(nullptr), 1);
  EXPECT_EQ(Copied(4, [&](XCHAR* buffer, int32_t room) { rowset->GetName(buffer, room); }), u"Row");
  EXPECT_EQ(attribute(rowset, u"name", 16), u"<r>");
  EXPECT_EQ(attribute(rowset, u"name", 2), u"<");  // capacity - 1 units and a NUL
  EXPECT_EQ(attribute(rowset, u"name", 0), u"(untouched)");
  EXPECT_EQ(attribute(rowset, u"missing", 16), u"(untouched)");
  EXPECT_EQ(rowset->HasAttribute(u"count") + rowset->HasAttribute(u"Count"), 1);
  EXPECT_EQ(attribute(second, u"id", 16), u"2");
  EXPECT_EQ(text(second->GetChild(u"Name")), u"二");
  EXPECT_EQ(text(Select(u"/Rowset/Row/Note")), u"a<b");
  EXPECT_EQ(text(second->GetChild(u"Empty")), u"(untouched)");
  EXPECT_EQ(text(rowset), u"\n  text between");  // its first character data, cut to 15 units
  EXPECT_EQ(second->GetChild(u"Note"), nullptr);
  EXPECT_EQ(Copied(4, [&](XCHAR* buffer, int32_t room) { Select(u"")->GetName(buffer, room); }),
            u"(untouched)");
}

TEST_F(XmlDoc, EnumeratesChildElementsOnly) {
  XML_Node* rowset = Select(u"/Rowset");
  XML_NodeList* children = rowset->GetChildren();
  ASSERT_NE(children, nullptr);
  EXPECT_EQ(children->GetOwner(), rowset);
  EXPECT_EQ(children->GetCount(), 3);
  std::u16string names;
  uintptr_t position = 0;
  while (XML_Node* child = children->GetNext(&position)) {
    EXPECT_NE(position, 0u);
    names += Copied(16, [&](XCHAR* buffer, int32_t room) { child->GetName(buffer, room); }) + u' ';
  }
  EXPECT_EQ(names, u"Row Row Tail ");
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(children->GetItem(2), Select(u"Tail", rowset));
  EXPECT_EQ(children->GetItem(3), nullptr);
  EXPECT_EQ(Select(u"Tail", rowset)->GetChildren(), nullptr);
  // A position that marks no child of this node ends the enumeration.
  uintptr_t foreign = 0;
  Select(u"Row", rowset)->GetChildren()->GetNext(&foreign);
  for (uintptr_t bad : {foreign, uintptr_t(12345)}) {
    EXPECT_EQ(children->GetNext(&bad), nullptr);
    EXPECT_EQ(bad, 0u);
  }
}

TEST(XmlOpen, EncodingsByFlagDeclarationAndMark) {
  const std::string utf8Doc = "<\xe4\xb8\xad a=\"\xe6\x96\x87\"/>";  // <中 a="文"/>
  const std::string ansiDoc = "<\xd6\xd0 a=\"\xce\xc4\"/>";
  const std::u16string utf16Doc = u"\uFEFF<中 a=\"文\"/>";
  struct {
    std::string bytes;
    int32_t flag;  // for OpenBuffer, or -1 to open through an archive
  } cases[] = {
      {utf8Doc, 1},
      {"\xef\xbb\xbf" + utf8Doc, 1},
      {ansiDoc, 0},
      {utf8Doc, -1},
      {"<?xml version='1.0' encoding='GB2312'?>" + ansiDoc, -1},
      {"<?xml version=\"1.0\" encoding=\"gbk\"?>" + ansiDoc, -1},
      {std::string(reinterpret_cast<const char*>(utf16Doc.data()), utf16Doc.size() * 2), -1},
  };
  for (const auto& c : cases) {
    XML_Archive doc;
    XMemoArchive memo;
    memo.Append(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    const uint32_t size = static_cast<uint32_t>(c.bytes.size());
    ASSERT_EQ(c.flag >= 0 ? doc.OpenBuffer(c.bytes.data(), size, c.flag) : doc.OpenArchive(&memo),
              1);
    XML_Node* root = doc.SelectNode(u"/中", nullptr);
    ASSERT_NE(root, nullptr) << c.bytes;
    EXPECT_EQ(
        Copied(8, [&](XCHAR* buffer, int32_t room) { root->GetAttribute(u"a", buffer, room); }),
        u"文");
  }
}

TEST(XmlOpen, MalformedDocumentsLeaveItEmpty) {
  XML_Archive doc;
  for (const char* bad : {"", "<a>", "<a></b>", "just text", "<a/><b/>"}) {
    ASSERT_EQ(doc.OpenBuffer("<a/>", 4, 1), 1);
    EXPECT_EQ(doc.OpenBuffer(bad, static_cast<uint32_t>(std::strlen(bad)), 1), 0) << bad;
    EXPECT_EQ(doc.IsEmptyDoc(), 1) << bad;
    EXPECT_EQ(doc.SelectNode(u"/a", nullptr), nullptr) << bad;
  }
  EXPECT_EQ(doc.OpenBuffer(nullptr, 3, 1), 0);
  EXPECT_EQ(doc.OpenArchive(nullptr), 0);
}

}  // namespace

// The response buffer: choosing the document by content type and charset, the three forms of
// SetMarkerDoc, ownership, copies and release through a data unit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tabrow/httpbuffer.h"
#include "tabrow/jsondoc.h"
#include "tabrow/xmldoc.h"

namespace {

enum Kind { kNothing, kPlain, kXml, kJson };

Kind Held(const XHttpBuffer& buffer) {
  const XCHAR* text = nullptr;
  if (buffer.GetXmlDoc() != nullptr) return kXml;
  if (buffer.GetJsonDoc() != nullptr) return kJson;
  EXPECT_EQ(buffer.GetPlainDoc(&text), 1);
  return text != nullptr ? kPlain : kNothing;
}

std::u16string PlainText(const XHttpBuffer& buffer) {
  const XCHAR* text = nullptr;
  buffer.GetPlainDoc(&text);
  return text != nullptr ? text : u"(none)";
}

// One answer body that reads as every kind: an element, a JSON string, and text.
const char kBody[] = "'<a>\xd6\xd0</a>'";  // 中 in code page 936

TEST(HttpBufferMarker, ChoosesByContentTypeAndCharset) {
  struct Case {
    const char* contentType;
    Kind kind;
    int32_t utf8;  // the JSON document's flag
  } cases[] = {
      {"application/json; charset=utf-8", kJson, 1},
      {"application/json", kJson, 1},
      {"application/json; charset=gbk", kJson, 0},
      {"text/plain; charset=gb2312", kPlain, 0},
      {"text/plain", kPlain, 1},
      {"text/xml; x=/json", kXml, 1},  // "/xml" is looked for first
      {"text/html", kNothing, 1},
      {"Application/JSON", kNothing, 1},  // markers are case-sensitive
      {nullptr, kNothing, 1},
  };
  for (const Case& c : cases) {
    for (int32_t form = 0; form < 3; ++form) {
      SCOPED_TRACE(std::string(c.contentType ? c.contentType : "(null)") + " form " +
                   std::to_string(form));
      XHttpBuffer buffer;
      XMemoArchive answer;
      std::string block = kBody;
      if (c.kind == kXml) block = "<a>\xe4\xb8\xad</a>";
      answer.Append(block.data(), static_cast<uint32_t>(block.size()));
      std::u16string wide;
      for (const char* p = c.contentType; p != nullptr && *p != 0; ++p) wide += XCHAR(*p);
      int32_t result = form == 0 ? buffer.SetMarkerDoc(c.contentType, &answer)
                       : form == 1
                           ? buffer.SetMarkerDoc(c.contentType ? wide.c_str() : nullptr, &answer)
                           : buffer.SetMarkerDoc(c.contentType, &block[0], uint32_t(block.size()));
      EXPECT_EQ(result, 1);
      ASSERT_EQ(Held(buffer), c.kind);
      if (c.kind == kJson) {
        EXPECT_EQ(buffer.GetJsonDoc()->IsUtf8(), c.utf8);
        EXPECT_STREQ(buffer.GetJsonDoc()->GetRoot()->Value.Text, "<a>\xd6\xd0</a>");
      }
      if (c.kind == kPlain) {
        EXPECT_EQ(PlainText(buffer), c.utf8 ? u"'<a>\uFFFD\uFFFD</a>'" : u"'<a>中</a>'");
      }
      if (c.kind == kXml) {
        XCHAR text[8] = u"";
        buffer.GetXmlDoc()->SelectNode(u"/a", nullptr)->GetText(text, 8);
        EXPECT_EQ(std::u16string(text), u"中");
      }
    }
  }
}

TEST(HttpBufferMarker, UnreadableDocumentsGiveZeroAndStayHeld) {
  XHttpBuffer buffer;
  XMemoArchive answer;
  answer.Append("{\"a\":[1,", 8);
  EXPECT_EQ(buffer.SetMarkerDoc("application/json", &answer), 0);
  ASSERT_NE(buffer.GetJsonDoc(), nullptr);
  ASSERT_NE(buffer.GetJsonDoc()->GetRoot(), nullptr);  // the partial tree
  const XCHAR* text = u"unchanged";
  EXPECT_EQ(buffer.GetPlainDoc(&text), 0);
  EXPECT_EQ(std::u16string(text), u"unchanged");
  EXPECT_EQ(buffer.SetMarkerDoc("text/xml", &answer), 0);
  ASSERT_NE(buffer.GetXmlDoc(), nullptr);
  EXPECT_EQ(buffer.GetXmlDoc()->IsEmptyDoc(), 1);
  buffer.ClearBuffer();
  EXPECT_EQ(Held(buffer), kNothing);
  buffer.ClearBuffer();
}

TEST(HttpBufferMarker, EmptyAnswers) {
  XHttpBuffer buffer;
  XMemoArchive empty;
  EXPECT_EQ(buffer.SetMarkerDoc("text/plain", &empty), 1);
  EXPECT_EQ(Held(buffer), kNothing);
  EXPECT_EQ(buffer.SetMarkerDoc("text/plain", nullptr, 0), 1);
  EXPECT_EQ(PlainText(buffer), u"");
  EXPECT_EQ(buffer.SetMarkerDoc("application/json", &empty), 1);
  EXPECT_EQ(buffer.GetJsonDoc()->GetRoot(), nullptr);
  EXPECT_EQ(buffer.SetMarkerDoc("text/xml", &empty), 0);
}

TEST(HttpBufferMarker, MemoryJsonIsParsedInPlace) {
  XHttpBuffer buffer;
  char block[] = "{\"k\":\"v\"}";
  ASSERT_EQ(buffer.SetMarkerDoc("application/json", block, sizeof block - 1), 1);
  const char* value = buffer.GetJsonDoc()->GetRoot()->Child->Value.Text;
  EXPECT_TRUE(value > block && value < block + sizeof block);
}

TEST(HttpBufferMarker, ASecondDocumentOfAKindReplacesTheFirst) {
  XHttpBuffer buffer;
  char first[] = "\"1\"";
  char second[] = "\"2\"";
  ASSERT_EQ(buffer.SetMarkerDoc("application/json", first, 3), 1);
  ASSERT_EQ(buffer.SetMarkerDoc("application/json", second, 3), 1);
  EXPECT_STREQ(buffer.GetJsonDoc()->GetRoot()->Value.Text, "2");
  char one[] = "one";
  char two[] = "two";
  ASSERT_EQ(buffer.SetMarkerDoc("text/plain", one, 3), 1);
  ASSERT_EQ(buffer.SetMarkerDoc("text/plain", two, 3), 1);
  EXPECT_EQ(PlainText(buffer), u"(none)");  // a JSON document is held too
  buffer.ClearBuffer();
  buffer.SetMarkerDoc("text/plain", two, 3);
  EXPECT_EQ(PlainText(buffer), u"two");
}

TEST(HttpBufferLife, CopiesAreDeepAndIndependent) {
  XHttpBuffer source;
  char json[] = "{\"k\":'v\\tw'}";
  char xml[] = "<r>x</r>";
  char plain[] = "plain";
  ASSERT_EQ(source.SetMarkerDoc("application/json", json, sizeof json - 1), 1);
  ASSERT_EQ(source.SetMarkerDoc("text/xml", xml, sizeof xml - 1), 1);
  ASSERT_EQ(source.SetMarkerDoc("text/plain", plain, sizeof plain - 1), 1);
  XHttpBuffer copy(source);
  XHttpBuffer assigned;
  assigned = source;
  XHttpBuffer& self = assigned;
  assigned = self;
  std::memset(json, 0, sizeof json);
  source.ClearBuffer();
  for (XHttpBuffer* buffer : {&copy, &assigned}) {
    ASSERT_NE(buffer->GetJsonDoc(), nullptr);
    EXPECT_STREQ(buffer->GetJsonDoc()->GetRoot()->Child->Value.Text, "v\tw");
    EXPECT_NE(buffer->GetXmlDoc()->SelectNode(u"/r", nullptr), nullptr);
    XHttpBuffer plainOnly;
    plainOnly.SetMarkerDoc("text/plain", plain, 5);
    XHttpBuffer plainCopy(plainOnly);
    plainOnly.ClearBuffer();
    EXPECT_EQ(PlainText(plainCopy), u"plain");
  }
  XHttpBuffer empty;
  XHttpBuffer emptyCopy(empty);
  assigned = empty;
  EXPECT_EQ(Held(emptyCopy), kNothing);
  EXPECT_EQ(Held(assigned), kNothing);
}

TEST(HttpBufferLife, HeapBuffersAndDataUnits) {
  XHttpBuffer::Release(nullptr);
  XHttpBuffer* buffer = XHttpBuffer::Malloc();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->GetType(), 0x04030201);
  char json[] = "[1]";
  buffer->SetMarkerDoc("application/json", json, 3);
  XDataUnit unit;
  SetUnitNull(&unit);
  SetUnitValue(&unit, static_cast<IObjectVar*>(buffer), 1);
  EXPECT_EQ(unit.Value.Object->GetType(), XHTTPBUFFER_TYPE);
  ClearUnitData(&unit);  // releases the buffer and what it holds
  EXPECT_EQ(unit.Owned, nullptr);
  XHttpBuffer::Release(XHttpBuffer::Malloc());
}

}  // namespace

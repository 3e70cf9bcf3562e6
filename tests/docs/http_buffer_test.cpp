// The response buffer: choosing the document by content type and charset, the three forms of
// SetMarkerDoc, ownership, copies and release through a data unit.
#include <cstring>
#include <string>

#include "docs/doc_fixture.h"

namespace {

using docs_test::Held;

TEST(HttpBuffer, ChoosesTheDocumentByContentTypeAndCharset) {
  struct {
    const char* contentType;
    const char16_t* held;
  } cases[] = {
      {"application/json; charset=utf-8", u"json:1"},
      {"application/json; charset=gbk", u"json:0"},
      {"text/plain; charset=gb2312", u"plain:'中'"},
      {"text/plain", u"plain:'\uFFFD\uFFFD'"},  // 936 bytes read as UTF-8
      {"text/xml; x=/json", u"xml"},            // "/xml" is looked for first
      {"Application/JSON", u"nothing"},         // markers are case-sensitive
  };
  for (const auto& c : cases) {
    const std::string type = c.contentType != nullptr ? c.contentType : "(null)";
    const std::u16string wideType(type.begin(), type.end());
    for (int32_t form = 0; form < 3; ++form) {
      SCOPED_TRACE(type + " form " + std::to_string(form));
      const bool xml = std::u16string(c.held) == u"xml";
      std::string body = xml ? "<a>\xe4\xb8\xad</a>" : "'\xd6\xd0'";  // 中 in UTF-8 or 936
      XMemoArchive answer;
      answer.Append(body.data(), static_cast<uint32_t>(body.size()));
      XHttpBuffer buffer;
      const int32_t result =
          form == 0   ? buffer.SetMarkerDoc(c.contentType, &answer)
          : form == 1 ? buffer.SetMarkerDoc(c.contentType ? wideType.c_str() : nullptr, &answer)
                      : buffer.SetMarkerDoc(c.contentType, &body[0], uint32_t(body.size()));
      EXPECT_EQ(result, 1);
      EXPECT_EQ(Held(buffer), c.held);
      if (buffer.GetJsonDoc() != nullptr) {
        EXPECT_STREQ(buffer.GetJsonDoc()->GetRoot()->Value.Text, "\xd6\xd0");
      }
      if (xml) {
        EXPECT_NE(buffer.GetXmlDoc()->SelectNode(u"/a", nullptr), nullptr);
      }
    }
  }
}

TEST(HttpBuffer, UnreadableOrEmptyAnswers) {
  XHttpBuffer buffer;
  XMemoArchive answer;
  answer.Append("{\"a\":[1,", 8);
  EXPECT_EQ(buffer.SetMarkerDoc("application/json", &answer), 0);
  ASSERT_NE(buffer.GetJsonDoc()->GetRoot(), nullptr);  // the partial tree is held
  const XCHAR* text = u"unchanged";
  EXPECT_EQ(buffer.GetPlainDoc(&text), 0);
  EXPECT_EQ(std::u16string(text), u"unchanged");
  EXPECT_EQ(buffer.SetMarkerDoc("text/xml", &answer), 0);
  EXPECT_EQ(buffer.GetXmlDoc()->IsEmptyDoc(), 1);
  buffer.ClearBuffer();
  buffer.ClearBuffer();
  XMemoArchive empty;
  EXPECT_EQ(buffer.SetMarkerDoc("text/plain", &empty), 1);
  EXPECT_EQ(Held(buffer), u"nothing");
  EXPECT_EQ(buffer.SetMarkerDoc("text/plain", nullptr, 0), 1);
  EXPECT_EQ(Held(buffer), u"plain:");
}

TEST(HttpBuffer, CopiesAreDeepAndIndependent) {
  XHttpBuffer source;
  char json[] = "{\"k\":'v\\tw'}";
  char xml[] = "<r>x</r>";
  char plain[] = "plain";
  ASSERT_EQ(source.SetMarkerDoc("application/json", json, sizeof json - 1), 1);
  ASSERT_EQ(source.SetMarkerDoc("text/xml", xml, sizeof xml - 1), 1);
  XHttpBuffer plainSource;
  plainSource.SetMarkerDoc("text/plain", plain, 5);
  XHttpBuffer copy(source);
  XHttpBuffer assigned;
  assigned = plainSource;
  XHttpBuffer plainCopy(assigned);
  assigned = source;
  std::memset(json, 0, sizeof json);
  source.ClearBuffer();
  plainSource.ClearBuffer();
  for (XHttpBuffer* buffer : {&copy, &assigned}) {
    EXPECT_STREQ(buffer->GetJsonDoc()->GetRoot()->Child->Value.Text, "v\tw");
    EXPECT_NE(buffer->GetXmlDoc()->SelectNode(u"/r", nullptr), nullptr);
  }
  EXPECT_EQ(Held(plainCopy), u"plain:plain");
}

}  // namespace

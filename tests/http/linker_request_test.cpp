// What each GetResponse form puts on the wire, checked byte for byte by the server, and the
// staple that a content type names.
#include "http/linker_fixture.h"

namespace tabrow_test {
namespace {

enum Form { kGet, kText, kBuffer, kArchive, kSoap };

struct FormCase {
  const char* name;
  Form form;
  int32_t staple;
  std::string body;     // sent by kText, kBuffer, kArchive and kSoap
  const XCHAR* action;  // kSoap's
  std::string wire;     // method|headers after Host and User-Agent|body
};

// GoogleTest names each case by this rather than by its bytes.
void PrintTo(const FormCase& c, std::ostream* out) {
  *out << c.name;
}

int32_t Send(XHttpLinker& linker, const XCHAR* path, const FormCase& c, IArchive* answer) {
  XMemoArchive request;
  request.Append(c.body.data(), static_cast<uint32_t>(c.body.size()));
  char buffer[64];
  int32_t result = 0;
  switch (c.form) {
    case kGet:
      return linker.GetResponse(path, answer, nullptr);
    case kText:
      return linker.GetResponse(path, c.staple, c.body.c_str(), answer, nullptr);
    case kArchive:
      return linker.GetResponse(path, c.staple, &request, answer, nullptr);
    case kSoap:
      return linker.GetResponse(path, c.action, 1, &request, answer, nullptr);
    case kBuffer:
      result = linker.GetResponse(path, c.staple, c.body.c_str(), buffer, sizeof buffer);
      answer->Append(buffer, static_cast<uint32_t>(strlen(buffer)));
  }
  return result;
}

const std::string kSoapWire = "|Content-type:text/xml; charset=utf-8|SOAPAction: \"";
const FormCase kForms[] = {
    {"Get", kGet, 0, "", nullptr, "GET|Accept:*/*|"},
    {"TextPost", kText, 7, "{\"k\":1}", nullptr,
     "POST|Content-type:application/json; charset=utf-8|Content-Length:7|Accept:*/*|{\"k\":1}"},
    {"TextEmptyBody", kText, 5, "", nullptr,
     "POST|Content-type:text/plain; charset=utf-8|Content-Length:0|Accept:*/*|"},
    {"BufferPost", kBuffer, 0, "a=1&b=2", nullptr,
     "POST|Content-Type:application/x-www-form-urlencoded|Content-Length:7|Accept:*/*|a=1&b=2"},
    {"ArchivePost", kArchive, 2, std::string("a\0b\xff\r\n", 6), nullptr,
     "POST|Content-type:text/xml; charset=gb2312|Content-Length:6|Accept:*/*|" +
         std::string("a\0b\xff\r\n", 6)},
    {"EmptyArchive", kArchive, 2, "", nullptr, "GET|Accept:*/*|"},
    {"SoapAction", kSoap, 0, "<e/>", u"DoWork",
     "POST|Content-Length:4" + kSoapWire + "DoWork\"|Accept:*/*|<e/>"},
    {"SoapEmptyAction", kSoap, 0, "<e/>", u"",
     "POST|Content-Length:4" + kSoapWire + "\"|Accept:*/*|<e/>"},
};

class RequestFormTest : public LinkerTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(RequestFormTest, PutsExactlyItsRequestOnTheWire) {
  const FormCase& form = GetParam();
  XMemoArchive answer;
  EXPECT_EQ(Send(linker_, ConnectTo("svc/a?x=1"), form, &answer), 1);
  EXPECT_EQ(Chars(&answer), "answer");
  ReceivedRequest request = OnlyRequest();
  std::string method = request.request_line.substr(0, request.request_line.find(' '));
  EXPECT_EQ(request.request_line, method + " /svc/a?x=1 HTTP/1.1");
  ASSERT_GE(request.headers.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(request.headers.begin(), request.headers.begin() + 2),
            BaseHeaders());
  std::string wire = method;
  for (size_t i = 2; i < request.headers.size(); ++i) wire += "|" + request.headers[i];
  EXPECT_EQ(wire + "|" + request.body, form.wire);
}

INSTANTIATE_TEST_SUITE_P(Forms, RequestFormTest, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkerTest, SoapRefusesAnOverlongAction) {
  const XCHAR* path = ConnectTo("soap");
  XMemoArchive request, answer;
  request.Append("<e/>", 4);
  EXPECT_EQ(
      linker_.GetResponse(path, std::u16string(464, u'a').c_str(), 1, &request, &answer, nullptr),
      0);
  EXPECT_TRUE(server_->Requests().empty());
  ASSERT_EQ(
      linker_.GetResponse(path, std::u16string(463, u'a').c_str(), 1, &request, &answer, nullptr),
      1);
  EXPECT_EQ(OnlyRequest().Header("SOAPAction"), "\"" + std::string(463, 'a') + "\"");
}

TEST_F(LinkerTest, TargetIsPercentEncodedOutsidePrintableAscii) {
  std::u16string url = U16("http://127.0.0.1:" + Port() + "/") + u"a b/\u4e2d%41?q=\"x\"#f";
  XMemoArchive answer;
  ASSERT_EQ(linker_.GetResponse(linker_.Connect(url.c_str()), &answer, nullptr), 1);
  EXPECT_EQ(OnlyRequest().request_line, "GET /a%20b/%E4%B8%AD%41?q=\"x\"%23f HTTP/1.1");
}

TEST(PostStapleTest, ContentTypeGivesItsStaple) {
  const std::pair<const XCHAR*, int32_t> cases[] = {
      {nullptr, 0},
      {u"text/xml", 1},
      {u"text/xml; charset=gb2312", 2},
      {u"text/html", 3},
      {u"text/html; charset=GBK", 4},
      {u"text/plain; charset=utf-8", 5},
      {u"text/plain; charset=UTF-8", 6},
      {u"application/json", 7},
      {u"application/json; charset=GBK", 8},
      {u"text/html/xml", 1},  // the first marker in the search order wins
      {u"TEXT/XML", 0},
  };
  for (const auto& [type, staple] : cases) EXPECT_EQ(XHttpLinker::GetPostStaple(type), staple);
}

}  // namespace
}  // namespace tabrow_test

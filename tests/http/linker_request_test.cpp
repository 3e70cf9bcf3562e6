// What each GetResponse form puts on the wire, checked byte for byte by the server.
#include <functional>

#include "http/linker_fixture.h"

namespace tabrow_test {
namespace {

const std::string kBinaryBody("a\0b\xff\r\n", 6);

struct FormCase {
  const char* name;
  std::function<int32_t(XHttpLinker&, const XCHAR* path, IArchive* answer)> call;
  std::string request_line;
  std::vector<std::string> headers;  // after Host and User-Agent
  std::string body;
};

int32_t ToBuffer(XHttpLinker& linker, const XCHAR* path, int32_t staple, const char* body,
                 IArchive* answer) {
  char buffer[64];
  int32_t result = linker.GetResponse(path, staple, body, buffer, sizeof buffer);
  answer->Append(buffer, static_cast<uint32_t>(strlen(buffer)));
  return result;
}

int32_t FromArchive(XHttpLinker& linker, const XCHAR* path, int32_t staple, const std::string& body,
                    IArchive* answer) {
  XMemoArchive request;
  request.Append(body.data(), static_cast<uint32_t>(body.size()));
  return linker.GetResponse(path, staple, &request, answer, nullptr);
}

int32_t Soap(XHttpLinker& linker, const XCHAR* path, const XCHAR* action, IArchive* answer) {
  XMemoArchive request;
  request.Append("<e/>", 4);
  return linker.GetResponse(path, action, 1, &request, answer, nullptr);
}

const FormCase kForms[] = {
    {"Get",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return l.GetResponse(p, a, nullptr); },
     "GET /svc/a?x=1 HTTP/1.1",
     {"Accept:*/*"},
     ""},
    {"TextPost",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) {
       return l.GetResponse(p, 7, "{\"k\":1}", a, nullptr);
     },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-type:application/json; charset=utf-8", "Content-Length:7", "Accept:*/*"},
     "{\"k\":1}"},
    {"TextWithoutBody",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) {
       return l.GetResponse(p, 7, static_cast<const char*>(nullptr), a, nullptr);
     },
     "GET /svc/a?x=1 HTTP/1.1",
     {"Accept:*/*"},
     ""},
    {"TextEmptyBody",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) {
       return l.GetResponse(p, 5, "", a, nullptr);
     },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-type:text/plain; charset=utf-8", "Content-Length:0", "Accept:*/*"},
     ""},
    {"BufferPost",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return ToBuffer(l, p, 0, "a=1&b=2", a); },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-Type:application/x-www-form-urlencoded", "Content-Length:7", "Accept:*/*"},
     "a=1&b=2"},
    {"BufferWithoutBody",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return ToBuffer(l, p, 3, nullptr, a); },
     "GET /svc/a?x=1 HTTP/1.1",
     {"Accept:*/*"},
     ""},
    {"ArchivePost",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) {
       return FromArchive(l, p, 2, kBinaryBody, a);
     },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-type:text/xml; charset=gb2312", "Content-Length:6", "Accept:*/*"},
     kBinaryBody},
    {"EmptyArchive",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return FromArchive(l, p, 2, "", a); },
     "GET /svc/a?x=1 HTTP/1.1",
     {"Accept:*/*"},
     ""},
    {"SoapAction",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return Soap(l, p, u"DoWork", a); },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-Length:4", "Content-type:text/xml; charset=utf-8", "SOAPAction: \"DoWork\"",
      "Accept:*/*"},
     "<e/>"},
    {"SoapNullAction",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return Soap(l, p, nullptr, a); },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-Length:4", "Content-type:text/xml; charset=utf-8", "SOAPAction: \"\"", "Accept:*/*"},
     "<e/>"},
    {"SoapEmptyAction",
     [](XHttpLinker& l, const XCHAR* p, IArchive* a) { return Soap(l, p, u"", a); },
     "POST /svc/a?x=1 HTTP/1.1",
     {"Content-Length:4", "Content-type:text/xml; charset=utf-8", "SOAPAction: \"\"", "Accept:*/*"},
     "<e/>"},
};

class RequestFormTest : public LinkerTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(RequestFormTest, PutsExactlyItsRequestOnTheWire) {
  const FormCase& form = GetParam();
  const XCHAR* path = ConnectTo("svc/a?x=1");
  ASSERT_NE(path, nullptr);
  XMemoArchive answer;
  EXPECT_EQ(form.call(linker_, path, &answer), 1);
  EXPECT_EQ(Content(&answer), "answer");

  ReceivedRequest request = OnlyRequest();
  EXPECT_EQ(request.request_line, form.request_line);
  std::vector<std::string> headers = BaseHeaders();
  headers.insert(headers.end(), form.headers.begin(), form.headers.end());
  EXPECT_EQ(request.headers, headers);
  EXPECT_EQ(request.body, form.body);
}

INSTANTIATE_TEST_SUITE_P(Forms, RequestFormTest, ::testing::ValuesIn(kForms),
                         [](const ::testing::TestParamInfo<FormCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(LinkerTest, EveryStapleSendsItsHeaderLine) {
  const XCHAR* path = ConnectTo("");
  for (int32_t staple = 0; staple <= 9; ++staple) {
    XMemoArchive answer;
    ASSERT_EQ(FromArchive(linker_, path, staple, "x", &answer), 1);
  }
  std::vector<ReceivedRequest> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 10u);
  for (int32_t staple = 0; staple <= 9; ++staple) {
    std::u16string line = XHttpLinker::GetPostHeader(staple);
    ASSERT_EQ(line.substr(line.size() - 2), u"\r\n");
    std::string sent = requests[staple].headers[2];
    EXPECT_EQ(U16(sent) + u"\r\n", line) << "staple " << staple;
  }
}

TEST_F(LinkerTest, SoapRefusesAnEmptyRequestAndAnOverlongAction) {
  const XCHAR* path = ConnectTo("soap");
  XMemoArchive empty, request, answer;
  EXPECT_EQ(linker_.GetResponse(path, u"Act", 1, &empty, &answer, nullptr), 0);

  request.Append("<e/>", 4);
  std::u16string longest(463, u'a');
  std::u16string too_long(464, u'a');
  EXPECT_EQ(linker_.GetResponse(path, too_long.c_str(), 1, &request, &answer, nullptr), 0);
  EXPECT_TRUE(server_->Requests().empty());
  ASSERT_EQ(linker_.GetResponse(path, longest.c_str(), 1, &request, &answer, nullptr), 1);
  EXPECT_EQ(OnlyRequest().Header("SOAPAction"), "\"" + std::string(463, 'a') + "\"");
}

TEST_F(LinkerTest, LargeBodyGoesOutWithoutExpect) {
  std::string body(3 << 20, 'b');
  const XCHAR* path = ConnectTo("upload");
  XMemoArchive answer;
  ASSERT_EQ(FromArchive(linker_, path, 5, body, &answer), 1);
  ReceivedRequest request = OnlyRequest();
  EXPECT_EQ(request.CountHeader("Expect"), 0);
  EXPECT_EQ(request.Header("Content-Length"), std::to_string(body.size()));
  EXPECT_TRUE(request.body == body);
}

TEST_F(LinkerTest, TargetIsPercentEncodedOutsidePrintableAscii) {
  std::u16string url = U16("http://127.0.0.1:" + Port() + "/") + u"a b/\u4e2d%41?q=\"x\"#f";
  const XCHAR* path = linker_.Connect(url.c_str());
  XMemoArchive answer;
  ASSERT_EQ(linker_.GetResponse(path, &answer, nullptr), 1);
  EXPECT_EQ(OnlyRequest().request_line, "GET /a%20b/%E4%B8%AD%41?q=\"x\"%23f HTTP/1.1");
}

}  // namespace
}  // namespace tabrow_test

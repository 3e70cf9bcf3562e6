// The one-call exchanges end to end against loopback HTTP and HTTPS servers, every failure
// message, and request bodies made from text.
#include <functional>
#include <memory>
#include <string>

#include "docs/doc_fixture.h"
#include "http/test_environment.h"
#include "tabrow/httpcall.h"

namespace {

using tabrow_test::MakeReply;
using tabrow_test::U16;

class CallTest : public tabrow_test::ServerTest {
 protected:
  void SetUp() override {
    server_ = std::make_unique<tabrow_test::TestServer>(
        [this](const tabrow_test::ReceivedRequest&) { return reply_; });
  }
  std::u16string Url(const std::string& scheme = "http") const {
    return U16(scheme + "://127.0.0.1:" + std::to_string(server_->port()) + "/call?x=1");
  }
  tabrow_test::Reply reply_ = MakeReply("application/json; charset=utf-8", "{\"a\":1}");
  std::unique_ptr<tabrow_test::TestServer> server_;
  XHttpBuffer buffer_;
  XCHAR error_[32] = u"untouched";
};

TEST_F(CallTest, AnswersAreStoredByTheirContentType) {
  struct {
    std::string served;
    std::string body;
    const char16_t* given;  // the caller's content type
    const char16_t* held;
  } cases[] = {
      {"text/plain; charset=gb2312", "\xd6\xd0", nullptr, u"plain:中"},
      {"text/html", "[1]", u"Application/JSON", u"json:1"},  // the caller's type wins
      {"text/x-" + std::string(320, 'a') + "/json", "[1]", nullptr, u"nothing"},  // cut to 319
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.served);
    reply_ = MakeReply(c.served, c.body);
    buffer_.ClearBuffer();
    EXPECT_EQ(HttpGetBuffer(&buffer_, Url().c_str(), c.given, static_cast<const char*>(nullptr), 0,
                            error_),
              1);
    EXPECT_EQ(docs_test::Held(buffer_), c.held);
  }
  EXPECT_EQ(std::u16string(error_), u"untouched");
}

TEST_F(CallTest, BodiesArePostedFromTextOrArchive) {
  EXPECT_EQ(HttpGetBuffer(&buffer_, Url().c_str(), nullptr, "a=1&b=2", 0, error_), 1);
  XMemoArchive request;
  ASSERT_EQ(HttpSetupDoc(&request, u"{\"名\":1}", 7), 1);
  buffer_.ClearBuffer();
  EXPECT_EQ(HttpGetBuffer(&buffer_, Url().c_str(), nullptr, &request, 7, error_), 1);
  buffer_.ClearBuffer();
  EXPECT_EQ(
      HttpGetBuffer(&buffer_, Url().c_str(), nullptr, static_cast<IArchive*>(nullptr), 7, error_),
      1);
  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].request_line, "POST /call?x=1 HTTP/1.1");
  EXPECT_EQ(requests[0].body, "a=1&b=2");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[1].body, "{\"\xe5\x90\x8d\":1}");
  EXPECT_EQ(requests[1].Header("Content-Type"), "application/json; charset=utf-8");
  EXPECT_EQ(requests[2].request_line, "GET /call?x=1 HTTP/1.1");
  EXPECT_EQ(docs_test::Held(buffer_), u"json:1");
}

TEST_F(CallTest, EveryFailureHasItsMessage) {
  const std::u16string closed =
      U16("http://127.0.0.1:" + std::to_string(tabrow_test::ClosedPort()) + "/");
  const std::u16string url = Url();
  const char* none = nullptr;
  XMemoArchive request;
  request.Append("<q/>", 4);
  XMemoArchive empty;
  reply_ = MakeReply("application/json", "{\"a\":");  // not a whole document
  struct {
    std::function<int32_t()> call;
    int32_t result;
    const char16_t* message;
  } cases[] = {
      {[&] { return HttpGetBuffer(&buffer_, u"http:///x", nullptr, none, 0, error_); }, 0,
       u"HttpCallProc 连接失败！"},
      {[&] { return HttpGetBuffer(&buffer_, closed.c_str(), nullptr, none, 0, error_); }, 0,
       u"HttpCallProc 获取资源失败！"},
      {[&] { return HttpGetBuffer(&buffer_, closed.c_str(), nullptr, "b", 0, error_); },
       XHTTP_CALL_FAILED, u"HttpCallProc 调用失败！"},
      {[&] { return HttpGetBuffer(&buffer_, url.c_str(), nullptr, none, 0, error_); }, 0,
       u"HttpCallProc 接收数据有误！"},
      {[&] { return SoapGetBuffer(&buffer_, nullptr, nullptr, &request, 1, error_); }, 0,
       u"SoapCallProc 连接失败！"},
      {[&] { return SoapGetBuffer(&buffer_, url.c_str(), nullptr, &empty, 1, error_); },
       XHTTP_CALL_FAILED, u"SoapCallProc 调用失败！"},  // nothing is sent
      {[&] { return SoapGetBuffer(&buffer_, url.c_str(), nullptr, &request, 1, error_); }, 0,
       u"SoapCallProc 接收数据有误！"},
  };
  for (const auto& c : cases) {
    error_[0] = 0;
    buffer_.ClearBuffer();
    EXPECT_EQ(c.call(), c.result) << std::string(c.message, c.message + 12);
    EXPECT_EQ(std::u16string(error_), c.message);
  }
  EXPECT_EQ(server_->Requests().size(), 2u);
}

TEST(HttpSetupDoc, KeepsPairsWholeAcrossPiecesAndReportsRefusals) {
  // The pair's first unit ends the first 2048-unit piece.
  const std::u16string text =
      std::u16string(2047, u'a') + u"\U0001F600" + std::u16string(5000, u'b');
  XMemoArchive archive;
  ASSERT_EQ(HttpSetupDoc(&archive, text.c_str(), 5), 1);
  uint32_t length = 0;
  archive.GetLength(&length);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(archive.GetData()), length),
            std::string(2047, 'a') + "\xf0\x9f\x98\x80" + std::string(5000, 'b'));
  XMemoArchive untouched;
  EXPECT_EQ(HttpSetupDoc(&untouched, nullptr, 5), 1);
  untouched.GetLength(&length);
  EXPECT_EQ(length, 0u);
  XCakeArchive readOnly;
  EXPECT_EQ(HttpSetupDoc(&readOnly, u"x", 5), 0);
}

}  // namespace

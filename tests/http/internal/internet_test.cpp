// The internet calls below the linker, where the linker alone cannot show their behaviour.
#include "platform/internet.h"

#include "http/test_environment.h"

namespace tabrow {
namespace {

using tabrow_test::MakeReply;
using tabrow_test::ReceivedRequest;
using tabrow_test::TestServer;

class InternetTest : public tabrow_test::ServerTest {
 protected:
  void SetUp() override {
    session_ = InternetOpenW(u"agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    connection_ = InternetConnectW(session_, u"127.0.0.1", server_.port(), nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    ASSERT_NE(connection_, nullptr);
    // Children keep their parents alive: the session may go first.
    InternetCloseHandle(session_);
  }
  void TearDown() override { InternetCloseHandle(connection_); }

  HINTERNET Open(const XCHAR* const* accept_types) {
    return HttpOpenRequestW(connection_, u"PUT", u"p", nullptr, nullptr, accept_types,
                            INTERNET_FLAG_KEEP_CONNECTION, 0);
  }

  TestServer server_{
      [](const ReceivedRequest&) { return MakeReply("Text/Plain;\tCharset=X", "0123456789"); }};
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
};

TEST_F(InternetTest, HeadersGoOutAsAddedAndReplaced) {
  HINTERNET request = Open(nullptr);
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(HttpAddRequestHeadersW(request, u"no colon", kTextToNul, HTTP_ADDREQ_FLAG_ADD), 0);
  EXPECT_EQ(HttpAddRequestHeadersW(request, u"X-A:1\r\nX-Empty:\r\nX-A: 2\r\n", kTextToNul,
                                   HTTP_ADDREQ_FLAG_ADD),
            1);
  EXPECT_EQ(HttpAddRequestHeadersW(request, u"x-a:3\r\nignored", 5, HTTP_ADDREQ_FLAG_REPLACE), 1);
  ASSERT_EQ(HttpSendRequestW(request, u"X-B:4", 5, "body", 4), 1);
  EXPECT_EQ(HttpSendRequestW(request, nullptr, 0, nullptr, 0), 0);  // sent once only

  std::vector<ReceivedRequest> received = server_.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].request_line, "PUT /p HTTP/1.1");
  std::string host = "Host: 127.0.0.1:" + std::to_string(server_.port());
  // No Accept without accept types, no Content-Type unless added, no Expect.
  EXPECT_EQ(received[0].headers, (std::vector<std::string>{host, "User-Agent: agent", "X-Empty:",
                                                           "x-a:3", "X-B:4", "Content-Length: 4"}));
  EXPECT_EQ(received[0].body, "body");
  InternetCloseHandle(request);
}

TEST_F(InternetTest, ReadsFillTheBufferAndQueriesReportSizes) {
  const XCHAR* const types[] = {u"text/*", u"*/*", nullptr};
  HINTERNET request = Open(types);
  ASSERT_EQ(HttpSendRequestW(request, nullptr, 0, nullptr, 0), 1);
  EXPECT_EQ(server_.Requests()[0].Header("Accept"), "text/*, */*");

  char buffer[8];
  uint32_t read = 99;
  ASSERT_EQ(InternetReadFile(request, buffer, 7, &read), 1);
  EXPECT_EQ(std::string(buffer, read), "0123456");
  ASSERT_EQ(InternetReadFile(request, buffer, 8, &read), 1);
  EXPECT_EQ(std::string(buffer, read), "789");
  ASSERT_EQ(InternetReadFile(request, buffer, 8, &read), 1);
  EXPECT_EQ(read, 0u);

  const std::u16string type = u"Text/Plain;\tCharset=X";
  XCHAR text[32];
  uint32_t length = 2 * static_cast<uint32_t>(type.size());  // no room for the NUL
  EXPECT_EQ(HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, text, &length, nullptr), 0);
  EXPECT_EQ(length, 2 * type.size() + 2);
  ASSERT_EQ(HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, text, &length, nullptr), 1);
  EXPECT_EQ(length, 2 * type.size());
  EXPECT_EQ(std::u16string(text), type);
  InternetCloseHandle(request);
}

}  // namespace
}  // namespace tabrow

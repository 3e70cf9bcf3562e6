// The connection under the linker: TLS, refusals, redirects, cookies, and copies sharing it.
#include "http/linker_fixture.h"

namespace tabrow_test {
namespace {

// Only a server whose certificate the trusted authority signed gets the request.
TEST_F(ServerTest, TlsNeedsATrustedCertificate) {
  TestAuthority stranger("Stranger Authority");
  const std::pair<TlsIdentity, int32_t> cases[] = {{TrustedAuthority().Issue(), 1},
                                                   {stranger.Issue(), 0}};
  for (const auto& [identity, expected] : cases) {
    TestServer server([](const ReceivedRequest&) { return MakeReply("text/plain", "sealed"); },
                      &identity);
    std::u16string url = U16("https://127.0.0.1:" + std::to_string(server.port()) + "/secure");
    XHttpLinker linker;
    XMemoArchive answer;
    EXPECT_EQ(linker.GetResponse(linker.Connect(url.c_str()), &answer, nullptr), expected);
    EXPECT_EQ(Chars(&answer), expected ? "sealed" : "");
    EXPECT_EQ(server.Requests().size(), size_t(expected));
  }
}

// A closed port, a TLS handshake with a plain server and malformed hosts fail at the request.
TEST_F(LinkerTest, UnreachableOrMalformedServersFailAtTheRequest) {
  const struct {
    const XCHAR* host;
    int32_t port, secure;
  } servers[] = {{u"127.0.0.1", ClosedPort(), 0},
                 {u"127.0.0.1", server_->port(), 1},
                 {u"bad host", 80, 0},
                 {u"user@127.0.0.1", 80, 0}};
  for (const auto& server : servers) {
    XHttpLinker linker;
    ASSERT_EQ(linker.Connect(server.host, server.port, server.secure), 1);
    XMemoArchive answer;
    char buffer[16];
    EXPECT_EQ(linker.GetResponse(u"x", &answer, nullptr), 0);
    EXPECT_EQ(linker.GetResponse(u"x", 1, "body", buffer, sizeof buffer), 0);
  }
  EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(ServerTest, RedirectsAreFollowedAndCookiesKept) {
  TestServer server([](const ReceivedRequest& request) {
    if (request.request_line.rfind("GET /start ", 0) != 0) return MakeReply("text/plain", "came");
    Reply moved = MakeReply("text/html", "moved");
    moved.head.replace(9, 6, "302 Found\r\nLocation: /final\r\nSet-Cookie: token=abc");
    return moved;
  });
  std::u16string url = U16("http://127.0.0.1:" + std::to_string(server.port()) + "/start");
  XHttpLinker linker;
  XMemoArchive answer;
  XCHAR type[1024];
  ASSERT_EQ(linker.GetResponse(linker.Connect(url.c_str()), &answer, type), 1);
  EXPECT_EQ(Chars(&answer), "came");
  EXPECT_EQ(std::u16string(type), u"text/plain");
  std::vector<ReceivedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].request_line, "GET /final HTTP/1.1");
  EXPECT_EQ(requests[1].Header("Cookie"), "token=abc");
}

// Requests of one linker and of its copies share one connection until the last copy lets go.
TEST_F(LinkerTest, CopiesShareTheConnectionUntilTheLastLetsGo) {
  const XCHAR* path = ConnectTo("c");
  XHttpLinker copy(linker_), assigned;
  assigned = copy;
  linker_.CloseLinker();
  linker_.CloseLinker();
  XMemoArchive answer;
  ASSERT_EQ(copy.GetResponse(path, &answer, nullptr), 1);
  copy.CloseLinker();
  ASSERT_EQ(assigned.GetResponse(path, &answer, nullptr), 1);
  EXPECT_EQ(linker_.GetResponse(path, &answer, nullptr), 0);
  std::vector<ReceivedRequest> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].connection, requests[0].connection);
}

}  // namespace
}  // namespace tabrow_test

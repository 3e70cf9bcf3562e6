// The connection under the linker: TLS, refusals, reuse, redirects, cookies, proxies, copies.
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include "http/linker_fixture.h"

namespace tabrow_test {
namespace {

std::string Body(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  return length == 0 ? "" : std::string(reinterpret_cast<const char*>(archive->GetData()), length);
}

// A port on 127.0.0.1 that nothing listens on.
uint16_t ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

class TlsTest : public ServerTest {
 protected:
  // GET https://127.0.0.1:<port>/secure from a server presenting `identity`.
  int32_t Fetch(const TlsIdentity& identity, std::string* body) {
    TestServer server([](const ReceivedRequest&) { return MakeReply("text/plain", "sealed"); },
                      &identity);
    std::u16string url = U16("https://127.0.0.1:" + std::to_string(server.port()) + "/secure");
    XHttpLinker linker;
    XMemoArchive answer;
    int32_t result = linker.GetResponse(linker.Connect(url.c_str()), &answer, nullptr);
    *body = Body(&answer);
    received_ = server.Requests();
    return result;
  }
  std::vector<ReceivedRequest> received_;
};

TEST_F(TlsTest, TrustedCertificateCarriesTheRequest) {
  std::string body;
  ASSERT_EQ(Fetch(TrustedAuthority().Issue(), &body), 1);
  EXPECT_EQ(body, "sealed");
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0].request_line, "GET /secure HTTP/1.1");
}

TEST_F(TlsTest, CertificateOfAnotherAuthorityIsRefused) {
  TestAuthority stranger("Stranger Authority");
  std::string body;
  EXPECT_EQ(Fetch(stranger.Issue(), &body), 0);
  EXPECT_TRUE(received_.empty());
}

TEST_F(LinkerTest, SecureUrlAgainstPlainServerFails) {
  std::u16string url = U16("https://127.0.0.1:" + Port() + "/x");
  XMemoArchive answer;
  EXPECT_EQ(linker_.GetResponse(linker_.Connect(url.c_str()), &answer, nullptr), 0);
}

TEST_F(ServerTest, UnreachablePortFailsAtTheRequest) {
  XHttpLinker linker;
  ASSERT_EQ(linker.Connect(u"127.0.0.1", ClosedPort(), 0), 1);
  XMemoArchive answer;
  char buffer[16];
  EXPECT_EQ(linker.GetResponse(u"x", &answer, nullptr), 0);
  EXPECT_EQ(linker.GetResponse(u"x", 1, "body", buffer, sizeof buffer), 0);
}

TEST_F(ServerTest, MalformedHostFailsAtTheRequest) {
  for (const char16_t* host : {u"bad host", u"a/b", u"user@127.0.0.1", u"h?q", u"h#f"}) {
    XHttpLinker linker;
    ASSERT_EQ(linker.Connect(host, 80, 0), 1);
    XMemoArchive answer;
    EXPECT_EQ(linker.GetResponse(u"", &answer, nullptr), 0);
  }
}

TEST_F(LinkerTest, RequestsOfOneLinkerShareOneConnection) {
  const XCHAR* path = ConnectTo("k");
  for (int i = 0; i < 3; ++i) {
    XMemoArchive answer;
    ASSERT_EQ(linker_.GetResponse(path, 1, "x", &answer, nullptr), 1);
  }
  std::vector<ReceivedRequest> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 3u);
  for (const ReceivedRequest& request : requests) EXPECT_EQ(request.connection, 1);
}

TEST_F(ServerTest, RedirectsAreFollowedAndCookiesKept) {
  TestServer server([](const ReceivedRequest& request) {
    if (request.request_line.rfind("GET /start ", 0) == 0) {
      Reply moved;
      moved.head =
          "HTTP/1.1 302 Found\r\nLocation: /final\r\nSet-Cookie: token=abc\r\n"
          "Content-Type: text/html\r\nContent-Length: 5\r\n\r\n";
      moved.body = std::make_shared<const std::string>("moved");
      return moved;
    }
    return MakeReply("text/plain", "arrived");
  });
  std::u16string url = U16("http://127.0.0.1:" + std::to_string(server.port()) + "/start");
  XHttpLinker linker;
  XMemoArchive answer;
  XCHAR type[1024];
  ASSERT_EQ(linker.GetResponse(linker.Connect(url.c_str()), &answer, type), 1);
  EXPECT_EQ(Body(&answer), "arrived");
  EXPECT_EQ(std::u16string(type), u"text/plain");

  std::vector<ReceivedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].request_line, "GET /final HTTP/1.1");
  EXPECT_EQ(requests[1].Header("Cookie"), "token=abc");
}

TEST_F(LinkerTest, ProxyComesFromTheEnvironment) {
  setenv("http_proxy", ("http://127.0.0.1:" + Port()).c_str(), 1);
  XMemoArchive answer;
  int32_t result =
      linker_.GetResponse(linker_.Connect(u"http://origin.invalid/p"), &answer, nullptr);
  unsetenv("http_proxy");
  ASSERT_EQ(result, 1);
  EXPECT_EQ(OnlyRequest().request_line, "GET http://origin.invalid/p HTTP/1.1");
}

TEST_F(LinkerTest, CopiesShareTheConnectionUntilTheLastLetsGo) {
  const XCHAR* path = ConnectTo("c");
  XHttpLinker copy(linker_);
  XHttpLinker assigned;
  assigned = copy;
  linker_.CloseLinker();
  linker_.CloseLinker();
  XMemoArchive first, second;
  ASSERT_EQ(copy.GetResponse(path, &first, nullptr), 1);
  copy.CloseLinker();
  ASSERT_EQ(assigned.GetResponse(path, &second, nullptr), 1);
  EXPECT_EQ(linker_.GetResponse(path, &second, nullptr), 0);

  XHttpLinker unconnected;
  XHttpLinker later(unconnected);
  ASSERT_NE(later.Connect(url_.c_str()), nullptr);
  ASSERT_EQ(later.GetResponse(path, &second, nullptr), 1);
  std::vector<ReceivedRequest> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].connection, requests[1].connection);
}

}  // namespace
}  // namespace tabrow_test

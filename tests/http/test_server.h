// A real HTTP (or HTTPS) server on 127.0.0.1 and an ephemeral port, run by a test. It keeps
// every request it received byte for byte and answers each with what the test's handler says.
// Connections are kept alive until the client closes them or a reply is cut short.
#ifndef TABROW_TESTS_HTTP_TEST_SERVER_H_
#define TABROW_TESTS_HTTP_TEST_SERVER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http/test_certificates.h"

namespace tabrow_test {

struct ReceivedRequest {
  std::string request_line;          // without its CR LF
  std::vector<std::string> headers;  // each line as received, without its CR LF
  std::string body;
  int connection = 0;  // 1 for the first connection accepted, 2 for the next, ...

  // The value of the first header named `name` (any letter case), or "" when there is none.
  std::string Header(const std::string& name) const;
};

struct Reply {
  std::string head;                       // status line and headers, through the blank line
  std::string body;                       // sent after the head
  size_t body_limit = std::string::npos;  // send only this many body bytes, then close
};

// 200 with a Content-Type (omitted when empty) and a Content-Length.
Reply MakeReply(const std::string& content_type, std::string body);
// 200 with the body cut into the given chunks and sent chunked.
Reply MakeChunkedReply(const std::string& content_type, const std::vector<std::string>& chunks);

using Handler = std::function<Reply(const ReceivedRequest&)>;

class TestServer {
 public:
  // A plain server, or an HTTPS server presenting `identity`.
  explicit TestServer(Handler handler, const TlsIdentity* identity = nullptr);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  uint16_t port() const { return port_; }
  // What was received so far, in order.
  std::vector<ReceivedRequest> Requests() const;

 private:
  struct Tls;

  void Accept();
  void Serve(int fd, int connection);
  void Record(const ReceivedRequest& request);

  Handler handler_;
  std::unique_ptr<Tls> tls_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<ReceivedRequest> requests_;
  std::vector<int> open_fds_;
  std::vector<std::thread> workers_;
  bool stopping_ = false;
};

}  // namespace tabrow_test

#endif  // TABROW_TESTS_HTTP_TEST_SERVER_H_

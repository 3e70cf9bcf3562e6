// A linker and a plain test server that answers every request with the fixture's reply.
#ifndef TABROW_TESTS_HTTP_LINKER_FIXTURE_H_
#define TABROW_TESTS_HTTP_LINKER_FIXTURE_H_

#include <memory>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "http/test_environment.h"
#include "tabrow/archive.h"
#include "tabrow/httplinker.h"

namespace tabrow_test {

using test_util::Chars;

class LinkerTest : public ServerTest {
 protected:
  void SetUp() override {
    server_ = std::make_unique<TestServer>([this](const ReceivedRequest&) { return reply_; });
  }

  std::string Port() const { return std::to_string(server_->port()); }
  // Connects the linker to "http://127.0.0.1:<port>/<path>"; returns the path it hands back.
  const XCHAR* ConnectTo(const std::string& path) {
    url_ = U16("http://127.0.0.1:" + Port() + "/" + path);
    return linker_.Connect(url_.c_str());
  }
  // The one request the server received (a failure when it got another number of them).
  ReceivedRequest OnlyRequest() const {
    std::vector<ReceivedRequest> requests = server_->Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? ReceivedRequest() : requests.back();
  }
  // The headers every request carries before the linker's own.
  std::vector<std::string> BaseHeaders() const {
    return {"Host: 127.0.0.1:" + Port(), "User-Agent: KPW_Browser"};
  }

  Reply reply_ = MakeReply("text/plain", "answer");
  std::unique_ptr<TestServer> server_;
  std::u16string url_;
  XHttpLinker linker_;
};

}  // namespace tabrow_test

#endif  // TABROW_TESTS_HTTP_LINKER_FIXTURE_H_

#include "http/test_environment.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace tabrow_test {
namespace {

// Writes the authority's certificate to a temporary file, removed when the process ends.
class TrustFile {
 public:
  explicit TrustFile(const std::string& pem) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir != nullptr ? dir : "/tmp") + "/tabrow-test-ca-XXXXXX";
    int fd = mkstemp(&path_[0]);
    if (fd < 0 || write(fd, pem.data(), pem.size()) != static_cast<ssize_t>(pem.size())) {
      ADD_FAILURE() << "cannot write " << path_;
    }
    if (fd >= 0) close(fd);
  }
  ~TrustFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const TestAuthority& TrustedAuthority() {
  static const TestAuthority authority("Tabrow Test Authority");
  static const TrustFile trust_file(authority.certificate());
  static const bool prepared = [] {
    setenv("SSL_CERT_FILE", trust_file.path().c_str(), 1);
    unsetenv("SSL_CERT_DIR");
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
      unsetenv(name);
    }
    return true;
  }();
  (void)prepared;
  return authority;
}

uint16_t ClosedPort() {
  TestServer gone([](const ReceivedRequest&) { return Reply(); });
  return gone.port();
}

std::u16string U16(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace tabrow_test

// A certificate authority made at test time, and server identities it (or another) signs.
#ifndef TABROW_TESTS_HTTP_TEST_CERTIFICATES_H_
#define TABROW_TESTS_HTTP_TEST_CERTIFICATES_H_

#include <memory>
#include <string>

namespace tabrow_test {

// A server certificate for 127.0.0.1 and localhost, and its private key, in PEM.
struct TlsIdentity {
  std::string certificate;
  std::string key;
};

class TestAuthority {
 public:
  // A new authority with a fresh key and a self-signed certificate named `name`.
  explicit TestAuthority(const std::string& name);
  ~TestAuthority();
  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;

  // The authority's certificate in PEM.
  const std::string& certificate() const { return certificate_; }
  // A server identity signed by this authority.
  TlsIdentity Issue() const;

 private:
  struct Keys;
  std::unique_ptr<Keys> keys_;
  std::string certificate_;
};

}  // namespace tabrow_test

#endif  // TABROW_TESTS_HTTP_TEST_CERTIFICATES_H_

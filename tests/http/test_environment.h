// What every HTTP test needs before it makes a request: the process trusts a test authority
// made for this run (through SSL_CERT_FILE) and no proxy from the caller's environment.
#ifndef TABROW_TESTS_HTTP_TEST_ENVIRONMENT_H_
#define TABROW_TESTS_HTTP_TEST_ENVIRONMENT_H_

#include <gtest/gtest.h>

#include <string>

#include "http/test_certificates.h"
#include "http/test_server.h"
#include "tabrow/base.h"

namespace tabrow_test {

// The authority the process trusts; made, and the environment prepared, on the first call.
const TestAuthority& TrustedAuthority();

// A port on 127.0.0.1 that nothing listens on any more.
uint16_t ClosedPort();

// The UTF-16 form of an ASCII text.
std::u16string U16(const std::string& text);

// A test that talks to servers it starts. Set-up prepares the environment once per process.
class ServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TrustedAuthority(); }
};

}  // namespace tabrow_test

#endif  // TABROW_TESTS_HTTP_TEST_ENVIRONMENT_H_

#include "http/url_split.h"

#include <gtest/gtest.h>

#include <string>

namespace tabrow {
namespace {

struct SplitCase {
  std::u16string url;
  int32_t secure_before;
  std::u16string host;
  int32_t port;
  int32_t secure;
  std::u16string path;
};

TEST(SplitUrlTest, FollowsEveryRuleAndRefusesAHostThatDoesNotFit) {
  const SplitCase cases[] = {
      {u" \t\r\n https://srv/svc/a", 0, u"srv", 443, 1, u"svc/a"},
      {u"http://srv:81", 0, u"srv", 81, 0, u""},
      {u"http://srv/a", 1, u"srv", 443, 1, u"a"},   // the flag stays as it was
      {u"http://srv/a:b", 0, u"srv/a", 0, 0, u""},  // a colon in the path ends the host
      {u"http://srv:8080/a/b?c=d", 0, u"srv", 8080, 0, u"a/b?c=d"},
      {u"http://srv:abc/x", 0, u"srv", 0, 0, u"x"},
      {u"http://srv: \t-8080/x", 0, u"srv", -8080, 0, u"x"},
      {u"http://srv:99999999999999/", 0, u"srv", 2147483647, 0, u""},
      {u"http://srv:00000000000000000000123/", 0, u"srv", 0, 0, u""},  // only 20 bytes count
      {u"http://srv:0000000000000000012345/", 0, u"srv", 123, 0, u""},
      {u"http://:8080/x", 0, u"", 8080, 0, u"x"},
      {u"   ", 1, u"", 443, 1, u""},
      {u"http://" + std::u16string(319, u'h') + u":1/p", 0, std::u16string(319, u'h'), 1, 0, u"p"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
    UrlParts parts;
    ASSERT_TRUE(SplitUrl(c.url.c_str(), c.secure_before, &parts));
    EXPECT_EQ(std::u16string(parts.host), c.host);
    EXPECT_EQ(parts.port, c.port);
    EXPECT_EQ(parts.secure, c.secure);
    EXPECT_EQ(std::u16string(parts.path), c.path);
    EXPECT_GE(parts.path, c.url.c_str());
    EXPECT_LE(parts.path, c.url.c_str() + c.url.size());
  }
  // A host that does not fit its 320-unit buffer is refused and left empty.
  UrlParts parts;
  const std::u16string too_long = u"http://" + std::u16string(320, u'h') + u"/p";
  EXPECT_FALSE(SplitUrl(too_long.c_str(), 0, &parts));
  EXPECT_EQ(parts.host[0], 0);
}

}  // namespace
}  // namespace tabrow

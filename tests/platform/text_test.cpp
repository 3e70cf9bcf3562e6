#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace tabrow {
namespace {

TEST(Text, ComparesByCodeUnit) {
  struct Case {
    const XCHAR* a;
    const XCHAR* b;
    int expected;
    int expectedNoCase;
  } cases[] = {
      {u"abc", u"abc", 0, 0},  {u"ab", u"abc", -1, -1}, {u"b", u"a", 1, 1},
      {u"ABC", u"abc", -1, 0}, {u"a[", u"A{", 1, -1},   {u"Zeta", u"alpha", -1, 1},
      {nullptr, u"", 0, 0},    {u"a", nullptr, 1, 1},
  };
  auto sign = [](int32_t v) { return (v > 0) - (v < 0); };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(TextCompare(c.a, c.b)), c.expected);
    EXPECT_EQ(sign(TextCompareNoCase(c.a, c.b)), c.expectedNoCase);
  }
  XCHAR copy[2] = {u'x', u'x'};
  EXPECT_EQ(TextLength(TextCopy(copy, nullptr)), 0u);
}

}  // namespace
}  // namespace tabrow

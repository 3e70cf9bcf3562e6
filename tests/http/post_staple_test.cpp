#include <gtest/gtest.h>

#include "tabrow/httplinker.h"

namespace {

TEST(PostStapleTest, ContentTypeGivesItsStaple) {
  const std::pair<const XCHAR*, int32_t> cases[] = {
      {nullptr, 0},
      {u"text/xml", 1},
      {u"text/xml; charset=gb2312", 2},
      {u"text/html", 3},
      {u"text/html; charset=GBK", 4},
      {u"text/plain; charset=utf-8", 5},
      {u"text/plain; charset=UTF-8", 6},
      {u"application/json", 7},
      {u"application/json; charset=GBK", 8},
      {u"text/html/xml", 1},  // the first marker in the search order wins
      {u"TEXT/XML", 0},
  };
  for (const auto& [type, staple] : cases) EXPECT_EQ(XHttpLinker::GetPostStaple(type), staple);
}

}  // namespace

// Writers of 8-bit text and of escaped UTF-8 character data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "byte_stream.h"

namespace {

TEST(XmtText, EscapesMarkupAndEncodesUtf8) {
  alignas(8) uint8_t odd[16] = {};
  std::memcpy(odd + 1, u"<\u00e9>", 8);
  const std::pair<const XCHAR*, std::string> cases[] = {
      {u"x & y > z<", "x &amp; y &gt; z&lt;"},
      {u"\U0001F600<", "\xf0\x9f\x98\x80&lt;"},
      {u"a\xd800<", "a\xef\xbf\xbd&lt;"},  // lone high surrogates become U+FFFD
      {u"a\rb\r\n ", "a&#13;b&#13;\n "},   // a parser would read raw ones as line feeds
      {u" \t", "&#32;\t"},                 // not blanks only, which a parser drops
      {u"\n", "&#10;"},
      {reinterpret_cast<const XCHAR*>(odd + 1), "&lt;\xc3\xa9&gt;"},
      {nullptr, ""},
  };
  for (const auto& [text, expected] : cases) {
    XMemoArchive memo;
    EXPECT_TRUE(XMT_Text(&memo, text));
    EXPECT_EQ(test_util::Chars(&memo), expected);
  }
  XCakeArchive cake;
  EXPECT_FALSE(XMT_Text(&cake, u"abc"));
}

TEST(XmtText, LongTextKeepsSurrogatePairsAcrossChunks) {
  // After the leading '&' every pair starts at an odd index, so any even chunk boundary splits
  // one of them.
  std::u16string text = u"&";
  std::string expected = "&amp;";
  for (int i = 0; i < 10000; ++i) {
    text += u"\U0001F600";
    expected += "\xf0\x9f\x98\x80";
  }
  XMemoArchive memo;
  ASSERT_TRUE(XMT_Text(&memo, text.c_str()));
  EXPECT_EQ(test_util::Chars(&memo), expected);
}

}  // namespace

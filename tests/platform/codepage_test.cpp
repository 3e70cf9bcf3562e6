#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace tabrow {
namespace {

// Feeding the input in chunks of every size gives what the whole input gives, however the
// chunks split its sequences.
template <typename Converter, typename Output, typename Input>
void ExpectChunkingDoesNotMatter(CodePage page, const Input& input) {
  Output whole;
  for (size_t size = input.size() + 1; size > 0; --size) {
    Converter converter(page);
    Output output;
    for (size_t at = 0; at < input.size(); at += size) {
      converter.Feed(input.data() + at, std::min(size, input.size() - at), &output);
    }
    converter.Finish(&output);
    if (size > input.size()) whole = output;
    EXPECT_EQ(output, whole) << "chunks of " << size;
  }
}

// Decoding into a buffer of any capacity gives the longest prefix of the whole text that fits
// in capacity - 1 units without splitting a surrogate pair.
void ExpectBoundedDecodeIsPrefix(const std::string& bytes, const std::u16string& text) {
  for (int32_t capacity = 1; capacity <= int32_t(text.size()) + 1; ++capacity) {
    std::u16string buffer(size_t(capacity), u'#');
    int32_t written = DecodeUtf8Into(bytes.c_str(), &buffer[0], capacity);
    size_t fits = size_t(capacity - 1);
    if (fits > 0 && fits < text.size() && IsHighSurrogate(text[fits - 1])) --fits;
    EXPECT_EQ(buffer.substr(0, size_t(written)), text.substr(0, fits)) << capacity;
    EXPECT_EQ(buffer[size_t(written)], 0) << capacity;
  }
}

// In UTF-8 each maximal invalid subpart becomes one U+FFFD, and a byte that cannot continue a
// sequence starts the next one. Code page 936 has one U+FFFD per byte pair it cannot map.
TEST(CodePage, Decodes) {
  const std::tuple<CodePage, std::string, std::u16string> cases[] = {
      {CodePage::kUtf8, "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf",
       u"a\u00e9\u4e2d\U0001F600\U0010FFFF"},
      {CodePage::kUtf8, "\x80\xbfz", u"\uFFFD\uFFFDz"},
      {CodePage::kUtf8, "\xe0\x80\xaf", u"\uFFFD\uFFFD\uFFFD"},            // overlong
      {CodePage::kUtf8, "\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {CodePage::kUtf8, "\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {CodePage::kUtf8, "\xf0\x9f\x98z\xe4\xb8\xe4\xb8\xad\xe4",
       u"\uFFFDz\uFFFD\u4e2d\uFFFD"},  // cut short
      {CodePage::kAnsi, "a\xd6\xd0\xce\xc4 ok", u"a\u4e2d\u6587 ok"},
      {CodePage::kAnsi,
       "\xc4 \xff"
       "a\xc4",
       u"\uFFFD \uFFFDa\uFFFD"},
  };
  for (const auto& [page, bytes, text] : cases) {
    EXPECT_EQ(DecodeText(page, bytes.data(), bytes.size()), text) << bytes;
    ExpectChunkingDoesNotMatter<TextDecoder, std::u16string>(page, bytes);
    if (page == CodePage::kUtf8) ExpectBoundedDecodeIsPrefix(bytes, text);
  }
}

// Lone surrogates become U+FFFD in UTF-8; what code page 936 lacks (Thai, an emoji, lone
// surrogates) becomes one '?' each.
TEST(CodePage, Encodes) {
  const std::tuple<CodePage, std::u16string, std::string> cases[] = {
      {CodePage::kUtf8, u"a\u00e9\u4e2d\U0001F600\xDE00z\xD83D",
       "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbdz\xef\xbf\xbd"},
      {CodePage::kUtf8, u"\xD83D\xD83D\xDE00\xDE00", "\xef\xbf\xbd\xf0\x9f\x98\x80\xef\xbf\xbd"},
      {CodePage::kAnsi, u"\u4e2d\u6587 ok", "\xd6\xd0\xce\xc4 ok"},
      {CodePage::kAnsi, u"\u0e01\u4e2d\U0001F600\xDE00z\xD800", "?\xd6\xd0??z?"},
  };
  for (const auto& [page, text, bytes] : cases) {
    EXPECT_EQ(EncodeText(page, text.data(), text.size()), bytes) << bytes;
    ExpectChunkingDoesNotMatter<TextEncoder, std::string>(page, text);
  }
}

}  // namespace
}  // namespace tabrow

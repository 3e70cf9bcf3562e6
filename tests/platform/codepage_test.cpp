#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

void ExpectChunkingDoesNotMatter(CodePage page, const std::string& bytes) {
  ExpectChunkingDoesNotMatter<TextDecoder, std::u16string>(page, bytes);
}

void ExpectChunkingDoesNotMatter(CodePage page, const std::u16string& units) {
  ExpectChunkingDoesNotMatter<TextEncoder, std::string>(page, units);
}

// Each maximal invalid subpart becomes one U+FFFD; a byte that cannot continue a sequence
// starts the next one.
TEST(Utf8, Decodes) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf",
       u"a\u00e9\u4e2d\U0001F600\U0010FFFF"},
      {"\x80\xbf"
       "z",
       u"\uFFFD\uFFFDz"},
      {"\xc0\xaf\xc1\xbf", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong
      {"\xe0\x80\xaf", u"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xf0\x8f\xbf\xbf", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong
      {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xf5\xff\xfe", u"\uFFFD\uFFFD\uFFFD"},
      {"\xf0\x9f\x98z\xe4\xb8\xe4\xb8\xad\xe4", u"\uFFFDz\uFFFD\u4e2d\uFFFD"},  // cut short
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(DecodeText(CodePage::kUtf8, bytes.data(), bytes.size()), text) << bytes;
    ExpectChunkingDoesNotMatter(CodePage::kUtf8, bytes);
  }
}

TEST(Utf8, Encodes) {
  std::u16string text = u"a\u00e9\u4e2d\U0001F600\xDE00z\xD83D";
  EXPECT_EQ(EncodeText(CodePage::kUtf8, text.data(), text.size()),
            "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbdz\xef\xbf\xbd");
  ExpectChunkingDoesNotMatter(CodePage::kUtf8, text);
  ExpectChunkingDoesNotMatter(CodePage::kUtf8, std::u16string(u"\xD83D\xD83D\xDE00\xDE00"));
}

TEST(Ansi, ConvertsChineseBothWays) {
  std::u16string text = u"\u4e2d\u6587 ok";
  EXPECT_EQ(DecodeText(CodePage::kAnsi, "\xd6\xd0\xce\xc4 ok", 7), text);
  EXPECT_EQ(EncodeText(CodePage::kAnsi, text.data(), text.size()), "\xd6\xd0\xce\xc4 ok");
  ExpectChunkingDoesNotMatter(CodePage::kAnsi, std::string("a\xd6\xd0\xce\xc4z\xc4"));
}

TEST(Ansi, ReplacesWhatItCannotConvert) {
  EXPECT_EQ(DecodeText(CodePage::kAnsi,
                       "\xc4 \xff"
                       "a\xc4",
                       5),
            u"\uFFFD \uFFFDa\uFFFD");
  // Thai, an emoji (one '?' for the pair) and lone surrogates are not in code page 936.
  std::u16string text = u"\u0e01\u4e2d\U0001F600\xDE00z\xD800";
  EXPECT_EQ(EncodeText(CodePage::kAnsi, text.data(), text.size()), "?\xd6\xd0??z?");
  ExpectChunkingDoesNotMatter(CodePage::kAnsi, text);
}

}  // namespace
}  // namespace tabrow

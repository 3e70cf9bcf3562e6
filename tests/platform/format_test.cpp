#include "platform/format.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/numbers.h"

namespace tabrow {
namespace {

std::u16string Wide(const char* format, std::initializer_list<FormatArg> args) {
  XCHAR out[kFormatLimit];
  int32_t length = FormatText(out, format, args);
  EXPECT_EQ(size_t(length), std::u16string(out).size());
  return out;
}

std::string Narrow(const char* format, std::initializer_list<FormatArg> args) {
  char out[kFormatLimit];
  int32_t length = FormatText(out, format, args);
  EXPECT_EQ(size_t(length), std::strlen(out));
  return out;
}

TEST(Format, Conversions) {
  const XCHAR* none = nullptr;
  EXPECT_EQ(Wide("%d|%ld|%05d|%05d|%2d|%-4d|", {7, -2147483647 - 1, -42, 42, 12345, 7}),
            u"7|-2147483648|-0042|00042|12345|7   |");
  EXPECT_EQ(Wide("[%s] [%s] [%4s] [%-3s] [%.2s]", {u"\u4e2d\u6587", none, u"ab", u"c", u"xyz"}),
            u"[\u4e2d\u6587] [(null)] [  ab] [c  ] [xy]");
  EXPECT_EQ(Wide("%.8lf %.2f %f|%08.2f|%6.1f|%-6.1f|", {-0.125, 1.005, 1.0, -1.5, INFINITY, 2.0}),
            u"-0.12500000 1.00 1.000000|-0001.50|   inf|2.0   |");
  EXPECT_EQ(Wide("100%% %x %lld %", {1}), u"100% %x %lld %");
  // Conversions take the arguments in order; one of another kind, or none, prints nothing.
  EXPECT_EQ(Wide("<%d><%s><%d>", {2.5, 3}), u"<><><>");
  // The format and the char output are UTF-8.
  EXPECT_EQ(Wide("\xe8\xb7\xaf %s \xf0\x9f\x98\x80", {u"x"}), u"\u8def x \U0001F600");
  EXPECT_EQ(Narrow("\xe8\xb7\xaf %s!", {u"\u4e2d\U0001F600\xD800"}),
            "\xe8\xb7\xaf \xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbd!");
}

TEST(Format, StopsAtTheLimit) {
  std::u16string longText(2000, u'a');
  EXPECT_EQ(Wide("%s%d", {longText.c_str(), 5}), longText.substr(0, kFormatLimit - 1));
  // 1022 ASCII units leave one byte: a three-byte character is not cut, and ends the output.
  std::u16string text = std::u16string(kFormatLimit - 2, u'a') + u"\u4e2dz";
  EXPECT_EQ(Narrow("%s", {text.c_str()}), std::string(kFormatLimit - 2, 'a'));
}

TEST(Format, FixedMatchesTheCLibrary) {
  std::vector<double> values = {-0.0, 0.005859375, -5e-9, 0.123456785,
                                std::numeric_limits<double>::max()};
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> exponent(-12, 22);
  for (int i = 0; i < 5000; ++i) {
    values.push_back(std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1));
    values.push_back(std::nextafter(values.back(), 0.0));
  }
  char expected[kFixed8Room], actual[kFixed8Room];
  for (double value : values) {
    std::snprintf(expected, sizeof expected, "%.8f", value);
    ASSERT_EQ(FormatFixed8(value, actual), int32_t(std::strlen(expected)));
    ASSERT_STREQ(actual, expected);
  }
  const std::pair<double, const char*> special[] = {{NAN, "nan"}, {-INFINITY, "-inf"}};
  for (const auto& [value, text] : special) {
    EXPECT_EQ(FormatFixed8(value, actual), int32_t(std::strlen(text)));
    EXPECT_STREQ(actual, text);
  }
}

// A host that has set a locale with a comma decimal point still gets and reads "2.5". The test
// compiles a locale that only has a comma decimal point into a temporary folder on LOCPATH.
TEST(CommaLocale, PointStaysAPoint) {
  char folder[] = "/tmp/tabrow-locale-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = std::string(folder) + "/comma";
  if (FILE* source = std::fopen((base + ".src").c_str(), "w")) {
    std::fputs("LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\nEND LC_NUMERIC\n", source);
    std::fclose(source);
  }
  const std::string command =
      "localedef -c -i " + base + ".src -f UTF-8 " + base + " >/dev/null 2>&1";
  const bool made = std::system(command.c_str()) != -1 && setenv("LOCPATH", folder, 1) == 0 &&
                    setlocale(LC_NUMERIC, "comma") != nullptr;
  std::error_code ignored;
  if (!made) {
    std::filesystem::remove_all(folder, ignored);
    GTEST_SKIP() << "no locale with a comma decimal point can be had";
  }
  XCHAR wide[kFormatLimit];
  FormatText(wide, "%.8lf", {2.5});
  char narrow[kFormatLimit];
  FormatText(narrow, "%f", {-0.125});
  double value = 0;
  const bool read = ReadDouble("2.5", &value);
  setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  std::filesystem::remove_all(folder, ignored);
  EXPECT_EQ(std::u16string(wide), u"2.50000000");
  EXPECT_STREQ(narrow, "-0.125000");
  EXPECT_TRUE(read);
  EXPECT_EQ(value, 2.5);
}

}  // namespace
}  // namespace tabrow

// A host that has set a locale with a comma decimal point still gets and reads "2.5".
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/format.h"
#include "platform/numbers.h"

namespace tabrow {
namespace {

// Compiles a locale that only has a comma decimal point into a temporary folder on LOCPATH.
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

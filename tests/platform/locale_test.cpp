// A host that has set a locale with a comma decimal point still gets and reads "2.5".
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/format.h"
#include "platform/numbers.h"

namespace tabrow {
namespace {

// Compiles a locale that defines only a comma decimal point into a new temporary folder
// (*folder) and points LOCPATH there. Where localedef is missing, setting it fails later.
std::string MakeCommaLocale(std::string* folder) {
  char path[] = "/tmp/tabrow-locale-XXXXXX";
  if (mkdtemp(path) == nullptr) return "";
  *folder = path;
  if (FILE* source = std::fopen((*folder + "/comma.src").c_str(), "w")) {
    std::fputs("LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\nEND LC_NUMERIC\n", source);
    std::fclose(source);
  }
  std::string command =
      "localedef -c -i " + *folder + "/comma.src -f UTF-8 " + *folder + "/comma >/dev/null 2>&1";
  if (std::system(command.c_str()) == -1) return "";
  setenv("LOCPATH", path, 1);
  return "comma";
}

// Sets the comma locale for LC_NUMERIC as a host would, and the C locale after each test.
class CommaLocale : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8"}) {
      if (setlocale(LC_NUMERIC, name) != nullptr) name_ = name;
    }
    setlocale(LC_NUMERIC, "C");
    if (name_.empty()) name_ = MakeCommaLocale(&folder_);
  }
  static void TearDownTestSuite() {
    if (folder_.empty()) return;
    unsetenv("LOCPATH");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  void SetUp() override {
    if (name_.empty() || setlocale(LC_NUMERIC, name_.c_str()) == nullptr) {
      GTEST_SKIP() << "no locale with a comma decimal point can be had";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    ASSERT_STREQ(probe, "2,5") << "the comma locale is not in force";
  }
  void TearDown() override { setlocale(LC_NUMERIC, "C"); }

  static std::string name_;
  static std::string folder_;
};

std::string CommaLocale::name_;
std::string CommaLocale::folder_;

TEST_F(CommaLocale, PointStaysAPoint) {
  XCHAR wide[kFormatLimit];
  FormatText(wide, "%.8lf", {2.5});
  EXPECT_EQ(std::u16string(wide), u"2.50000000");
  char narrow[kFormatLimit];
  FormatText(narrow, "%.8lf|%f", {-0.125, 1.5});
  EXPECT_STREQ(narrow, "-0.12500000|1.500000");

  double value = 0;
  const char* end = nullptr;
  ASSERT_TRUE(ReadDouble("2.5", &value, &end));
  EXPECT_EQ(value, 2.5);
  EXPECT_STREQ(end, "");
  ASSERT_TRUE(ReadDouble(u"2,5", &value));
  EXPECT_EQ(value, 2.0);
}

}  // namespace
}  // namespace tabrow

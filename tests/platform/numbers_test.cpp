#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tabrow {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

template <typename T>
struct ReadCase {
  const char* text;
  bool ok;
  T value;      // when ok
  size_t used;  // units read, 0 when not ok
};

// Reads each text as char and as XCHAR text; on failure the value stays untouched.
template <typename T, size_t n, typename Reader>
void ExpectReads(const ReadCase<T> (&cases)[n], Reader read) {
  for (const ReadCase<T>& c : cases) {
    std::u16string wide(c.text, c.text + std::strlen(c.text));
    T value = T(77), wideValue = T(77);
    const char* end = nullptr;
    const XCHAR* wideEnd = nullptr;
    EXPECT_EQ(read(c.text, &value, &end), c.ok) << c.text;
    EXPECT_EQ(read(wide.c_str(), &wideValue, &wideEnd), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : T(77)) << c.text;
    EXPECT_EQ(wideValue, value) << c.text;
    EXPECT_EQ(size_t(end - c.text), c.used) << c.text;
    EXPECT_EQ(size_t(wideEnd - wide.c_str()), c.used) << c.text;
  }
}

TEST(ReadLong, ReadsLikeStrtolWith32Bits) {
  // clang-format off
  const ReadCase<int32_t> cases[] = {
      {"42x", true, 42, 2},            {" \t\n\v\f\r-17", true, -17, 9},  {"+0009", true, 9, 5},
      {"2147483647", true, kMax, 10},  {"2147483648", true, kMax, 10},    {"", false, 0, 0},
      {"-2147483648", true, kMin, 11}, {"-99999999999999999999", true, kMin, 21},
      {"0000000004294967296", true, kMax, 19}, {"-0000000002147483649", true, kMin, 20},
  };
  // clang-format on
  ExpectReads(cases,
              [](auto text, int32_t* value, auto end) { return ReadLong(text, value, end); });
  int32_t value = 0;
  EXPECT_FALSE(ReadLong(static_cast<const char*>(nullptr), &value));
  EXPECT_FALSE(ReadLong(u"\u00A012", &value));  // only ASCII white space and digits
}

TEST(ReadDouble, ReadsDecimalNumbersOnly) {
  // clang-format off
  const ReadCase<double> cases[] = {
      {"2.5", true, 2.5, 3},     {"  -0.125e1z", true, -1.25, 10}, {".5", true, 0.5, 2},
      {"5.", true, 5.0, 2},      {"1e", true, 1.0, 1},             {"1e+", true, 1.0, 1},
      {"0x10", true, 0.0, 1},    {"1e400", true, HUGE_VAL, 5},     {"-1e400", true, -HUGE_VAL, 6},
      {"0e99999999999999999999", true, 0.0, 22},
      {"inf", false, 0, 0},      {".", false, 0, 0},
  };
  // clang-format on
  ExpectReads(cases,
              [](auto text, double* value, auto end) { return ReadDouble(text, value, end); });
  double value = 0;
  ASSERT_TRUE(ReadDouble("-0.0", &value));
  EXPECT_TRUE(std::signbit(value));
}

// Every text reads as glibc's strtod reads it (correctly rounded), however long.
TEST(ReadDouble, RoundsLikeStrtod) {
  std::vector<std::string> texts = {"2.2250738585072011e-308", "4.9e-324",
                                    "2.4703282292062327e-324", "1.7976931348623158e308",
                                    "123456789012345678901234567890"};
  // Just above a tie between two doubles, with the deciding digit after 900 zeros.
  texts.push_back("9007199254740993." + std::string(900, '0') + "1");
  texts.push_back("9007199254740993" + std::string(900, '0') + "e-900");
  texts.push_back("0." + std::string(400, '0') + "1e400");
  std::mt19937_64 random(7);
  for (int i = 0; i < 5000; ++i) {
    texts.push_back(std::to_string(random() % 100000000000000000ull) + "." +
                    std::to_string(random() % 1000000000) + "e" +
                    std::to_string(int(random() % 640) - 330));
  }
  for (const std::string& text : texts) {
    double value = 0;
    ASSERT_TRUE(ReadDouble(text.c_str(), &value)) << text;
    ASSERT_EQ(value, std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(TruncateToInt32, OutOfRangeGivesTheMinimum) {
  // clang-format off
  const std::pair<double, int32_t> cases[] = {
      {1.9, 1},             {-1.9, -1},            {-0.5, 0},      {2147483647.9, kMax},
      {-2147483648.9, kMin}, {2147483648.0, kMin}, {-2147483649.0, kMin}, {1e300, kMin},
  };
  // clang-format on
  for (const auto& [value, expected] : cases) EXPECT_EQ(TruncateToInt32(value), expected) << value;
}

}  // namespace
}  // namespace tabrow

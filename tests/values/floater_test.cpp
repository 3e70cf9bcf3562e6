#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tabrow/datetime.h"

namespace {

std::u16string Format(double value) {
  XCHAR out[330];
  const int32_t length = FormatFloater(value, out);
  EXPECT_EQ(length, static_cast<int32_t>(std::u16string(out).size()));
  return out;
}

TEST(FloaterTest, FormatTrimsEightDecimals) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const XCHAR* expected;
  } kCases[] = {
      {2.5, u"2.5"},
      {3, u"3.0"},
      {100, u"100.0"},
      {1e-9, u"0.0"},
      {-1e-9, u"-0.0"},
      {-0.125, u"-0.125"},
      {0.999999999, u"1.0"},
      {1e22, u"10000000000000000000000.0"},
      {std::nan(""), u"nan"},
      {inf, u"inf"},
      {-inf, u"-inf"},
      {1.0 / 512, u"0.00195312"},
      {3.0 / 512, u"0.00585938"},  // exact ties go to even
  };
  for (const auto& c : kCases) EXPECT_EQ(Format(c.value), c.expected) << c.value;
  EXPECT_EQ(FormatFloater(1.0, nullptr), 0);
}

TEST(FloaterTest, ParseReadsDecimalNumbersOnly) {
  const struct {
    const XCHAR* text;
    double expected;
  } kCases[] = {{u"2.5", 2.5},        {u" \t-1.5e3xyz", -1500.0},
                {u".5", 0.5},         {u"0.1", 0.1},
                {u"1e400", HUGE_VAL}, {u"abc", 0.0},
                {nullptr, 0.0},       {u"inf", 0.0},
                {u"nan", 0.0},        {u"0x10", 0.0},
                {u"-", 0.0}};
  for (const auto& c : kCases) EXPECT_EQ(ParseFloater(c.text), c.expected);
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tabrow/datetime.h"

namespace {

// Eight decimals are written (as the C library rounds them) and their trailing zeros trimmed,
// down to one.
TEST(FloaterTest, FormatTrimsEightDecimals) {
  const std::pair<double, std::u16string> cases[] = {
      {3, u"3.0"},           {-0.125, u"-0.125"},        {-1e-9, u"-0.0"},
      {0.999999999, u"1.0"}, {3.0 / 512, u"0.00585938"}, {std::nan(""), u"nan"},
      {-INFINITY, u"-inf"}};
  for (const auto& [value, expected] : cases) {
    XCHAR out[330];
    EXPECT_EQ(FormatFloater(value, out), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(out, expected) << value;
  }
  EXPECT_EQ(FormatFloater(1.0, nullptr), 0);
}

TEST(FloaterTest, ParseGivesZeroForWhatIsNoDecimalNumber) {
  const std::pair<const XCHAR*, double> cases[] = {
      {u" \t-1.5e3xyz", -1500.0}, {u"abc", 0.0}, {nullptr, 0.0}, {u"inf", 0.0}, {u"0x10", 0.0}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseFloater(text), expected);
}

}  // namespace

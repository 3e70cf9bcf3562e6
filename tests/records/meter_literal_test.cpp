#include <gtest/gtest.h>

#include <string>

#include "records/meter_words.h"

namespace {

using namespace meter_test;

struct LiteralCase {
  std::u16string input;
  int32_t consumed;  // 0: refused
  Words field;
};

// GoogleTest names each case by this rather than by its bytes.
void PrintTo(const LiteralCase& c, std::ostream* out) {
  *out << std::string(c.input.begin(), c.input.end());
}

class MeterLiteralTest : public ::testing::TestWithParam<LiteralCase> {};

// Each literal is appended after an existing field; a refused one leaves the meter as it was.
TEST_P(MeterLiteralTest, AppendsTheField) {
  const LiteralCase& c = GetParam();
  uint16_t meter[64];
  InitDataMeter(meter);
  ASSERT_EQ(SetDataMeter(meter, 0, int32_t{1}), 1);
  Words expected = Int(1);
  expected.insert(expected.end(), c.field.begin(), c.field.end());
  EXPECT_EQ(AddDataMeter(meter, c.input.c_str()), c.consumed);
  EXPECT_EQ(GetMeterNumber(meter), c.consumed == 0 ? 1 : 2);
  EXPECT_EQ(Fields(meter), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Literals, MeterLiteralTest,
    ::testing::Values(
        // Texts and escapes.
        LiteralCase{u" \t\"ab c\" tail", 8, Txt(u"ab c")}, LiteralCase{u"\"\"", 2, Txt(u"")},
        LiteralCase{u"\"a\\\"b\\\\c\\'\"", 11, Txt(u"a\"b\\c'")},
        LiteralCase{u"\"\\x41\\x4g\\xZ\"", 13, (Words{8, 2, u'A', 4, u'g', 0, u'Z', 0})},
        LiteralCase{u"\"\\101\\18\\9\\7771\"", 16, (Words{9, 2, u'A', 16, 0, u'9', 255, u'1', 0})},
        LiteralCase{u"\"abc", 0, {}}, LiteralCase{u"\"ab\\\"", 0, {}},
        // Date-times.
        LiteralCase{u"T\"2015-12-28\"", 13, Date({2015, 12, 28, 0, 0, 0, 0})},
        LiteralCase{u"T\"2015-12-28 23:59:58\",", 22, Date({2015, 12, 28, 23, 59, 58, 0})},
        LiteralCase{u"T\"2015-12-28 23:59\"", 0, {}}, LiteralCase{u"T\"2015/12/28\"", 0, {}},
        // NULL.
        LiteralCase{u"null", 4, Null()}, LiteralCase{u"  NuLL,", 6, Null()},
        // Numbers.
        LiteralCase{u"  -0x10", 7, Int(-16)}, LiteralCase{u"12.5,", 4, Dbl(12.5)},
        LiteralCase{u"3000000000.5", 12, Dbl(3000000000.5)}, LiteralCase{u"4294967297", 10, Int(1)},
        LiteralCase{u"0xFFFFFFFF", 10, Int(-1)}, LiteralCase{u"0xa1.5", 4, Int(0xa1)},
        LiteralCase{u"- \t 7", 5, Int(-7)}, LiteralCase{u"-2147483648", 11, Int(INT32_MIN)},
        LiteralCase{u"-.5", 0, {}}, LiteralCase{u"+5", 0, {}},
        // Nothing to read.
        LiteralCase{u" \n ", 0, {}}, LiteralCase{u"abc", 0, {}}));

}  // namespace

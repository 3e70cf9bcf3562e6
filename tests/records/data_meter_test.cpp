#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/meter_words.h"

namespace {

using namespace meter_test;

class DataMeterTest : public ::testing::Test {
 protected:
  void SetUp() override { InitDataMeter(m_); }
  // A text, an integer and a text: 5 + 6 + 6 words.
  void FillThree() {
    ASSERT_EQ(SetDataMeter(m_, 0, u"ab"), 1);
    ASSERT_EQ(SetDataMeter(m_, 1, int32_t{5}), 1);
    ASSERT_EQ(SetDataMeter(m_, 2, u"xyz"), 1);
  }
  std::u16string Text(int32_t index, int32_t capacity = 64) {
    XCHAR out[64] = {u'?'};
    EXPECT_EQ(FetchStrMeter(m_, index, out, capacity), 1);
    return out;
  }
  Words All() const { return Words(m_, m_ + m_[0]); }
  uint16_t m_[512] = {};
};

TEST_F(DataMeterTest, AppendsEachTypeInItsStoredForm) {
  EXPECT_EQ(GetMeterByteSize(m_), 4);
  EXPECT_EQ(GetDataMeter(m_, 0), nullptr);
  const DATETIME date{2024, 3, 5, 14, 7, 9, 0};
  const char raw[5] = {0, -3, -1, -1, -1};  // an integer at an odd address
  ASSERT_EQ(SetDataMeter(m_, 0, int32_t{-2}), 1);
  ASSERT_EQ(SetDataMeter(m_, 1, u"ab"), 1);
  ASSERT_EQ(SetDataMeter(m_, 2, 2.5), 1);
  ASSERT_EQ(SetDataMeter(m_, 3, date), 1);
  ASSERT_EQ(SetNullMeter(m_, 4), 1);
  ASSERT_EQ(SetDataMeter(m_, 5, XDT_LONG, raw + 1), 1);
  ASSERT_EQ(SetDataMeter(m_, 6, XDT_STRING, u"q"), 1);
  Words expected = {0, 7};
  for (const Words& f : {Int(-2), Txt(u"ab"), Dbl(2.5), Date(date), Null(), Int(-3), Txt(u"q")})
    expected.insert(expected.end(), f.begin(), f.end());
  expected[0] = static_cast<uint16_t>(expected.size());
  EXPECT_EQ(All(), expected);
  EXPECT_EQ(GetDataMeter(m_, 7), nullptr);
}

TEST_F(DataMeterTest, RefusedSetsLeaveTheMeter) {
  FillThree();
  Words before = All();
  EXPECT_EQ(SetDataMeter(m_, 4, int32_t{1}), 0);        // beyond the count
  EXPECT_EQ(SetDataMeter(m_, 1, u"text"), 0);           // integer field
  EXPECT_EQ(SetDataMeter(m_, 3, uint16_t{7}, u""), 0);  // unknown code
  EXPECT_EQ(All(), before);
  // Nulling in place changes only the type; the field then takes no other type.
  ASSERT_EQ(SetNullMeter(m_, 1), 1);
  EXPECT_EQ(SetDataMeter(m_, 1, int32_t{9}), 0);
  before[2 + 5 + 1] = 0;
  EXPECT_EQ(All(), before);
}

TEST_F(DataMeterTest, LongerTextMovesLaterFields) {
  FillThree();
  ASSERT_EQ(SetDataMeter(m_, 0, u"abcdef"), 1);
  EXPECT_EQ(m_[0], 2 + 9 + 6 + 6);
  EXPECT_EQ(Text(2), u"xyz");
  ASSERT_EQ(SetDataMeter(m_, 0, u"q"), 1);  // shorter: the field keeps its 9 words
  ASSERT_EQ(SetDataMeter(m_, 2, u"last text"), 1);
  ASSERT_EQ(SetDataMeter(m_, 1, int32_t{-1}), 1);
  EXPECT_EQ(Fields(m_),
            (Words{9, 2,  u'q', 0,    u'c', u'd', u'e', u'f', 0,    6,    1,    0xFFFF, 0xFFFF, 0,
                   0, 12, 2,    u'l', u'a', u's', u't', u' ', u't', u'e', u'x', u't',   0}));
}

TEST_F(DataMeterTest, Fetches) {
  FillThree();
  EXPECT_EQ(Text(2, 3), u"xy");
  XCHAR text[8] = u"old";
  uint32_t value = 9;
  EXPECT_EQ(FetchKeyMeter(m_, 1, &value, text, 8), 1);  // clears the text it does not fill
  EXPECT_EQ(value, 5u);
  EXPECT_EQ(text[0], 0);
}

TEST_F(DataMeterTest, SixteenBitLimits) {
  std::vector<uint16_t> big(0x10000 + 8);
  InitDataMeter(big.data());
  const std::u16string text(0xFFFF - 6, u'a');  // a field of 65532 words
  EXPECT_EQ(SetDataMeter(big.data(), 0, (text + u"bc").c_str()), 0);
  ASSERT_EQ(SetDataMeter(big.data(), 0, text.c_str()), 1);
  EXPECT_EQ(SetNullMeter(big.data(), 1), 0);
  EXPECT_EQ(SetDataMeter(big.data(), 0, (text + u"b").c_str()), 1);
  EXPECT_EQ(big[0], 0xFFFF);
  EXPECT_EQ(SetDataMeter(big.data(), 0, (text + u"bc").c_str()), 0);
  EXPECT_EQ(AddDataMeter(big.data(), u"NULL"), 0);
}

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

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "records/meter_words.h"

namespace {

using namespace meter_test;

std::u16string Format(const uint16_t* meter) {
  XCHAR out[4096];
  const int32_t length = FormatDataKeyer(meter, out);
  EXPECT_EQ(static_cast<size_t>(length), std::u16string(out).size());
  return out;
}

TEST(KeyerFormatTest, WritesEveryTypeAsALiteral) {
  uint16_t meter[128];
  InitDataMeter(meter);
  EXPECT_EQ(Format(meter), u"");
  ASSERT_EQ(SetDataMeter(meter, 0, int32_t{5}), 1);
  ASSERT_EQ(SetDataMeter(meter, 1, u"x"), 1);
  EXPECT_EQ(Format(meter), u"5, \"x\"");
  ASSERT_EQ(SetDataMeter(meter, 1, u"a\"b"), 1);
  ASSERT_EQ(SetNullMeter(meter, 2), 1);
  ASSERT_EQ(SetDataMeter(meter, 3, -0.125), 1);
  ASSERT_EQ(SetDataMeter(meter, 4, DATETIME{2024, 3, 5, 14, 7, 9, 0}), 1);
  EXPECT_EQ(Format(meter), u"5, \"a\"b\", NULL, -0.125, T\"2024-03-05 14:07:09\"");
  // A text without a NUL ends with its field; an unknown type writes nothing, not even ", ".
  EXPECT_EQ(Format(Words{12, 2, 5, 2, u'a', u'b', u'c', 5, 9, 1, 2, 3}.data()), u"\"abc\"");
  EXPECT_EQ(Format(Words{4, 1, 2, 9}.data()), u"");
}

// A keyer of random fields: texts free of quotes and backslashes, dates that print in the
// fixed-width form, doubles of at most four decimals.
void RandomKeyer(std::mt19937* random, uint16_t* meter) {
  static const std::u16string kAlphabet = u"az09 ,\t\x01-T.NUL\x4e2d\xd83d\xde00";
  auto pick = [random](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(*random);
  };
  auto byte = [&pick] { return static_cast<int8_t>(pick(0, 99)); };
  InitDataMeter(meter);
  for (int32_t i = 0, count = pick(0, 8); i < count; ++i) {
    std::u16string text(pick(0, 12), u' ');
    for (XCHAR& c : text) c = kAlphabet[pick(0, static_cast<int32_t>(kAlphabet.size()) - 1)];
    const DATETIME time{
        static_cast<uint16_t>(pick(0, 9999)), byte(), byte(), byte(), byte(), byte(), 0};
    const int32_t kind = pick(0, 4);
    const int32_t set = kind == 0   ? SetNullMeter(meter, i)
                        : kind == 1 ? SetDataMeter(meter, i, pick(INT32_MIN, INT32_MAX))
                        : kind == 2 ? SetDataMeter(meter, i, text.c_str())
                        : kind == 3 ? SetDataMeter(meter, i, pick(-2000000000, 2000000000) / 1e4)
                                    : SetDataMeter(meter, i, time);
    ASSERT_EQ(set, 1);
  }
}

Words FieldWords(uint16_t* meter, uint32_t index) {
  const XDataMeter* field = GetDataMeter(meter, index);
  return Words(&field->Length, &field->Length + field->Length);
}

TEST(KeyerFormatTest, FormattedKeyersReadBack) {
  std::mt19937 random(20240305);
  for (int32_t round = 0; round < 500; ++round) {
    uint16_t keyer[256], parsed[256];
    ASSERT_NO_FATAL_FAILURE(RandomKeyer(&random, keyer));
    const std::u16string text = Format(keyer);
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    InitDataMeter(parsed);
    const XCHAR* p = text.c_str();
    while (*p != 0) {
      const int32_t consumed = AddDataMeter(parsed, p);
      ASSERT_GT(consumed, 0);
      p += consumed;
      if (*p == u',') ++p;
    }
    ASSERT_EQ(GetMeterNumber(parsed), GetMeterNumber(keyer));
    for (uint32_t i = 0; i < static_cast<uint32_t>(GetMeterNumber(keyer)); ++i) {
      // Doubles may come back a few ulps away (fraction digits are summed one by one): the
      // text comparison below checks them.
      const Words want = FieldWords(keyer, i);
      if (want[1] != XDT_DOUBLE) {
        EXPECT_EQ(FieldWords(parsed, i), want) << "field " << i;
      }
    }
    EXPECT_EQ(Format(parsed), text);
  }
}

}  // namespace

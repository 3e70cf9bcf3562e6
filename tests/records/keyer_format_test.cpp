#include <gtest/gtest.h>

#include <cmath>
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
  ASSERT_EQ(SetDataMeter(meter, 5, int32_t{INT32_MIN}), 1);
  EXPECT_EQ(Format(meter), u"5, \"a\"b\", NULL, -0.125, T\"2024-03-05 14:07:09\", -2147483648");
}

TEST(KeyerFormatTest, StaysInsideEachField) {
  // A text without a NUL ends at its field; a field of an unknown type writes nothing, and no
  // separator is dropped that was not written.
  const Words texts = {12, 2, 5, 2, u'a', u'b', u'c', 5, 9, 1, 2, 3};
  EXPECT_EQ(Format(texts.data()), u"\"abc\"");
  const Words unknown = {4, 1, 2, 9};
  EXPECT_EQ(Format(unknown.data()), u"");
}

TEST(KeyerCloneTest, CopiesWordZeroWords) {
  uint16_t source[16];
  InitDataMeter(source);
  ASSERT_EQ(SetDataMeter(source, 0, u"key"), 1);
  uint16_t target[16];
  std::fill(std::begin(target), std::end(target), 0xEEEE);
  CloneDataKeyer(target, source);
  EXPECT_EQ(Words(target, target + 8), Words(source, source + 8));
  EXPECT_EQ(target[8], 0xEEEE);
  CloneDataKeyer(target, nullptr);
  EXPECT_EQ(Words(target, target + 3), (Words{2, 0, 6}));
}

// A random keyer of every field type, with texts free of quotes and backslashes, dates that
// print in the fixed-width form, and doubles of at most four decimals.
void RandomKeyer(std::mt19937* random, uint16_t* meter) {
  static const std::u16string kAlphabet = u"az09 ,\t\x01\x1f-T.NULé\x4e2d\xd83d\xde00";
  auto pick = [random](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(*random);
  };
  InitDataMeter(meter);
  const int32_t count = pick(0, 8);
  for (int32_t i = 0; i < count; ++i) {
    switch (pick(0, 4)) {
      case 0:
        ASSERT_EQ(SetNullMeter(meter, i), 1);
        break;
      case 1:
        ASSERT_EQ(SetDataMeter(meter, i, pick(INT32_MIN, INT32_MAX)), 1);
        break;
      case 2: {
        std::u16string text(pick(0, 12), u' ');
        for (XCHAR& c : text) c = kAlphabet[pick(0, static_cast<int32_t>(kAlphabet.size()) - 1)];
        ASSERT_EQ(SetDataMeter(meter, i, text.c_str()), 1);
        break;
      }
      case 3:
        ASSERT_EQ(SetDataMeter(meter, i, pick(-2000000000, 2000000000) / 1e4), 1);
        break;
      default: {
        const DATETIME time{static_cast<uint16_t>(pick(0, 9999)),
                            static_cast<int8_t>(pick(0, 99)),
                            static_cast<int8_t>(pick(0, 99)),
                            static_cast<int8_t>(pick(0, 99)),
                            static_cast<int8_t>(pick(0, 99)),
                            static_cast<int8_t>(pick(0, 99)),
                            0};
        ASSERT_EQ(SetDataMeter(meter, i, time), 1);
      }
    }
  }
}

TEST(KeyerFormatTest, FormattedKeyersReadBack) {
  std::mt19937 random(20240305);
  for (int32_t round = 0; round < 500; ++round) {
    uint16_t keyer[256];
    ASSERT_NO_FATAL_FAILURE(RandomKeyer(&random, keyer));
    const std::u16string text = Format(keyer);
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    uint16_t parsed[256];
    InitDataMeter(parsed);
    const XCHAR* p = text.c_str();
    for (int32_t i = 0; i < GetMeterNumber(keyer); ++i) {
      const int32_t consumed = AddDataMeter(parsed, p);
      ASSERT_GT(consumed, 0);
      p += consumed;
      if (*p == u',') ++p;
    }
    EXPECT_EQ(*p, 0);
    ASSERT_EQ(GetMeterNumber(parsed), GetMeterNumber(keyer));
    for (uint32_t i = 0; i < static_cast<uint32_t>(GetMeterNumber(keyer)); ++i) {
      const XDataMeter* want = GetDataMeter(keyer, i);
      const XDataMeter* got = GetDataMeter(parsed, i);
      const Words fields[2] = {Words(&want->Length, &want->Length + want->Length),
                               Words(&got->Length, &got->Length + got->Length)};
      if (want->Type != XDT_DOUBLE) {
        EXPECT_EQ(fields[0], fields[1]) << "field " << i;
        continue;
      }
      // Fraction digits are summed one by one, so a double may come back a few ulps away.
      double values[2];
      for (int32_t k = 0; k < 2; ++k) std::memcpy(&values[k], &fields[k][2], sizeof(double));
      EXPECT_NEAR(values[1], values[0], 1e-12 * std::fabs(values[0])) << "field " << i;
    }
    EXPECT_EQ(Format(parsed), text);
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tabrow/datetime.h"

namespace {

DATETIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int r = 0) {
  return {uint16_t(y), int8_t(mo), int8_t(d), int8_t(h), int8_t(mi), int8_t(s), uint8_t(r)};
}

std::string Show(const DATETIME& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%u-%d-%d %d:%d:%d r%u", t.Year, t.Month, t.Day, t.Hour,
                t.Minute, t.Second, t.Reserved);
  return text;
}

int32_t TextLength(const XCHAR* text) {
  return static_cast<int32_t>(std::u16string(text).size());
}

const DATETIME kSample = Make(2024, 3, 5, 14, 7, 9);
const DATETIME k1601 = Make(1601, 1, 1);

TEST(AddDateTimeTest, MovesOrSetsOneField) {
  const struct {
    DATETIME start;
    int32_t part, value;
    DATETIME expected;
  } kCases[] = {
      {Make(0, 1, 1), XDP_YEAR, -1, Make(65535, 1, 1)},
      {Make(2024, 1, 31), XDP_MONTH, 1, Make(2024, 2, 31)},
      {Make(2024, 5, 1), XDP_SET + XDP_MONTH, 13, Make(2025, 1, 1)},
      {Make(2024, 5, 1), XDP_MONTH, INT32_MAX, Make(2024 + 178956970, 12, 1)},
      {Make(2024, 2, 1), XDP_SET + XDP_DAY, 40, Make(2024, 2, 40)},
      {Make(2024, 2, 30), XDP_SET + 6, 5, Make(2024, 2, 30)},
      {Make(2023, 12, 31, 23, 30), XDP_HOUR, 1, Make(2024, 1, 1, 0, 30)},
      {Make(2024, 3, 1, 0, 0, 0, 9), XDP_MINUTE, -1, Make(2024, 2, 29, 23, 59, 0, 9)},
      {Make(2024, 1, 1), -14, 1, Make(2024, 1, 2)},  // low four bits select the day
      // The offset is a 32-bit product that wraps around.
      {Make(2024, 1, 1), XDP_DAY, 24856, Make(1955, 12, 14, 17, 31, 44)},
      // Refused records count from 1601-01-01; results out of range become it.
      {Make(2023, 2, 29), XDP_HOUR, 1, Make(1601, 1, 1, 1)},
      {Make(1601, 1, 1), XDP_SECOND, -1, k1601},
      {Make(30827, 12, 31, 23, 59, 59), XDP_SECOND, 1, k1601},
  };
  for (const auto& c : kCases) {
    DATETIME time = c.start;
    AddDateTime(&time, c.part, c.value);
    EXPECT_EQ(Show(time), Show(c.expected)) << Show(c.start) << " part " << c.part;
  }
  AddDateTime(nullptr, XDP_DAY, 1);
}

TEST(TimeTransferTest, LowBytesOneWaySignExtensionTheOther) {
  unsigned char buffer[1 + sizeof(DbTimestamp) + sizeof(DATETIME)];  // odd offsets
  const DbTimestamp stamp = {-25536, 0x0105, 5, 14, 7, -1, 123456};
  std::memcpy(buffer + 1, &stamp, sizeof stamp);
  auto* odd_stamp = reinterpret_cast<DbTimestamp*>(buffer + 1);
  auto* odd_time = reinterpret_cast<DATETIME*>(buffer + 1 + sizeof stamp);
  TimeTransfer(odd_time, odd_stamp);
  DATETIME time;
  std::memcpy(&time, odd_time, sizeof time);
  EXPECT_EQ(Show(time), Show(Make(40000, 5, 5, 14, 7, -1)));
  TimeTransfer(odd_stamp, odd_time);
  const DbTimestamp back = {-25536, 5, 5, 14, 7, -1, 0};
  EXPECT_EQ(std::memcmp(buffer + 1, &back, sizeof back), 0);
}

// TimeToString writes masks, TimeToStringEx tokens; a null mask or format is the long form.
TEST(TimeTextTest, Writes) {
  const struct {
    int32_t (*write)(const DATETIME&, const XCHAR*, XCHAR*);
    DATETIME time;
    const XCHAR* form;
    const XCHAR* expected;
  } kCases[] = {
      {TimeToString, kSample, nullptr, u"2024-03-05 14:07:09"},
      {TimeToString, kSample, u"$$:$$", u"14:07"},
      {TimeToString, kSample, u"at $-$ on $", u"at 14-07 on 09"},
      {TimeToString, kSample, u"$$$$ $ $ $ $ $ $ $$.", u"2024 03 05 14 07 09  ."},
      {TimeToString, Make(40000, -5, -128), u"$$$$ $$ $$", u"-25536 -5 -128"},
      {TimeToString, Make(65535, 1, 1), u"$$$$", u"-001"},
      {TimeToStringEx, kSample, nullptr, u"2024-03-05 14:07:09"},
      {TimeToStringEx, Make(2024, 3, 5, 0, 30), u"%d.%M.%y %h%p", u"05.03.24 12AM"},
      {TimeToStringEx, kSample, u"%D/%S/%s %h %P", u"05/09/09 02 PM"},
      {TimeToStringEx, kSample, u"100%% %q%Y%", u"100% q2024"},
      {TimeToStringEx, Make(40000, 1, 1, -5), u"%Y %y %h %p", u"-25536 00 -5 AM"},
  };
  for (const auto& c : kCases) {
    XCHAR out[64];
    EXPECT_EQ(c.write(c.time, c.form, out), TextLength(c.expected));
    EXPECT_EQ(std::u16string(out), c.expected);
  }
  EXPECT_EQ(TimeToString(kSample, nullptr, nullptr), 0);
}

struct ReadCase {
  const XCHAR* text;
  const XCHAR* form;
  int32_t result;
  DATETIME expected;
};

void ExpectReads(int32_t (*read)(const XCHAR*, const XCHAR*, DATETIME&),
                 std::initializer_list<ReadCase> cases) {
  for (const ReadCase& c : cases) {
    DATETIME time;
    std::memset(&time, 0x5A, sizeof time);
    EXPECT_EQ(read(c.text, c.form, time), c.result) << Show(c.expected);
    EXPECT_EQ(Show(time), Show(c.expected));
  }
}

TEST(TimeTextTest, MasksRead) {
  ExpectReads(StringToTime,
              {
                  {u"2024/12/31T23:59:59", nullptr, 1, Make(2024, 12, 31, 23, 59, 59)},
                  {u"24-03-05", u"$$-$$-$$", 1, Make(1900, 1, 1, 0, 3, 5)},  // no "$$$$": time only
                  {u"2023-02-30", nullptr, 1, Make(2023, 2, 2)},
                  {u"1900-02-29", nullptr, 1, Make(1900, 2, 1)},
                  {u"1899-13-00 99:75:61", nullptr, 1, Make(2000, 1, 1, 3, 15, 1)},
                  {u"20x4-0 -5", nullptr, 1, Make(2000, 1, 5)},
                  {u"20240305", u"$$$$$$$$", 1, Make(20240305 % 65536, 1, 1)},
                  {u"0000-01-01", nullptr, 0, Make(0, 1, 1)},
              });
}

TEST(TimeTextTest, TokensRead) {
  ExpectReads(StringToTimeEx,
              {
                  {u"2024-03-05 14:07:09", nullptr, 1, kSample},
                  {u"2024-3-5", nullptr, 0, Make(2024, 3, 5)},
                  {u"07:05 PM", u"%h:%m %p", 1, Make(0, 1, 1, 19, 5)},
                  {u"12:30 am", u"%h:%m %P", 1, Make(0, 1, 1, 0, 30)},
                  {u"07 P", u"%h %p", 0, Make(0, 1, 1, 7)},
                  {u"12345/99", u"%Y/%y", 0, Make(1234, 1, 1)},
                  {u"99 7/99 99:99:99", u"%y %D/%M %H:%m:%S", 1, Make(2099, 99, 7, 99, 99, 99)},
                  {u"a5|100%6", u"%Q%d|100%%%s%", 1, Make(0, 1, 5, 0, 0, 6)},
              });
}

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

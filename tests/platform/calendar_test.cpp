#include "platform/calendar.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tabrow {
namespace {

SystemTime Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                int milliseconds = 0, int dayOfWeek = 0) {
  return SystemTime{uint16_t(year), uint16_t(month),  uint16_t(dayOfWeek), uint16_t(day),
                    uint16_t(hour), uint16_t(minute), uint16_t(second),    uint16_t(milliseconds)};
}

auto Fields(const SystemTime& t) {
  return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds,
                         t.dayOfWeek);
}

TEST(Calendar, KnownCountsAndLimits) {
  uint64_t count = 1;
  ASSERT_TRUE(SystemTimeToFileTime(Date(30827, 12, 31, 23, 59, 59, 999, 5), &count));
  EXPECT_EQ(count, 9223149887999990000ull);
  SystemTime last{};
  ASSERT_TRUE(FileTimeToSystemTime(0x7FFFFFFFFFFFFFFFull, &last));
  EXPECT_EQ(Fields(last), Fields(Date(30828, 9, 14, 2, 48, 5, 477, 4)));
  EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ull, &last));
}

TEST(Calendar, RefusesWhatIsNotADate) {
  const SystemTime refused[] = {
      Date(1600, 12, 31, 23, 59, 59, 999),
      Date(30828, 1, 1),
      Date(2024, 0, 1),
      Date(2024, 1, 0),
      Date(2023, 2, 29),
      Date(2024, 4, 31),
      Date(2024, 1, 1, 24),
      Date(2024, 1, 1, 0, 0, 0, 1000),
  };
  for (const SystemTime& time : refused) {
    uint64_t count = 7;
    EXPECT_FALSE(SystemTimeToFileTime(time, &count)) << time.year << "-" << time.month;
    EXPECT_EQ(count, 7u);
  }
}

// Walks day by day through three 400-year cycles with a naive calendar as the reference: each
// date is one day further than the one before, and converts back with its day of the week.
TEST(Calendar, DayByDayRoundTrip) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int year = 1601, month = 1, day = 1;
  for (uint64_t days = 0; year < 2801; ++days) {
    int hour = int(days % 24), minute = int(days % 60), second = int(days * 7 % 60);
    SystemTime time =
        Date(year, month, day, hour, minute, second, int(days % 1000), int((days + 1) % 7));
    uint64_t count = 0;
    SystemTime back{};
    ASSERT_TRUE(SystemTimeToFileTime(time, &count)) << year << "-" << month << "-" << day;
    ASSERT_EQ(count,
              (((days * 24 + hour) * 60 + minute) * 60 + second) * 10000000 + days % 1000 * 10000);
    ASSERT_TRUE(FileTimeToSystemTime(count, &back));
    ASSERT_EQ(Fields(back), Fields(time));
    bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    if (++day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
      day = 1;
      year += month / 12;
      month = month % 12 + 1;
    }
  }
}

}  // namespace
}  // namespace tabrow

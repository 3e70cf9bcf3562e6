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

}  // namespace
}  // namespace tabrow

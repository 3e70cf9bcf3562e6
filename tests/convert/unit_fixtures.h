// Shared helpers of the conversion tests.
#ifndef TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_
#define TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_

#include <gtest/gtest.h>

#include <string>

#include "tabrow/tabrow.h"

namespace convert_test {

// A unit on the stack that gives back what it owns when the test ends; leaks and double frees
// are caught by the sanitizer run.
class Unit {
 public:
  Unit() { SetUnitNull(&unit_); }
  ~Unit() { ClearUnitData(&unit_); }
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;
  XDataUnit* get() { return &unit_; }
  XDataUnit* operator->() { return &unit_; }

 private:
  XDataUnit unit_;
};

inline DATETIME Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return DATETIME{static_cast<uint16_t>(year),
                  static_cast<int8_t>(month),
                  static_cast<int8_t>(day),
                  static_cast<int8_t>(hour),
                  static_cast<int8_t>(minute),
                  static_cast<int8_t>(second),
                  0};
}

inline void ExpectDate(const DATETIME& time, const DATETIME& expected) {
  EXPECT_EQ(CompareTime(time, expected), 0)
      << time.Year << '-' << int(time.Month) << '-' << int(time.Day) << ' ' << int(time.Hour) << ':'
      << int(time.Minute) << ':' << int(time.Second) << " reserved " << int(time.Reserved);
}

inline std::u16string TextOf(const XDataUnit* unit) {
  return unit->Value.Text != nullptr ? std::u16string(unit->Value.Text) : std::u16string();
}

}  // namespace convert_test

#endif  // TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_

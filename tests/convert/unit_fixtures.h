// Shared helpers of the conversion tests.
#ifndef TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_
#define TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_

#include <gtest/gtest.h>

#include <string>

#include "tabrow/tabrow.h"

namespace convert_test {

// A unit that gives back what it owns when the test ends (the sanitizer run reports leaks).
struct Unit {
  Unit() { SetUnitNull(&unit); }
  ~Unit() { ClearUnitData(&unit); }
  XDataUnit* operator->() { return &unit; }
  XDataUnit unit;
};

inline DATETIME Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return DATETIME{
      uint16_t(year), int8_t(month), int8_t(day), int8_t(hour), int8_t(minute), int8_t(second), 0};
}

// The unit's text form as DataTransfer writes it ("" for a null unit).
inline std::u16string FormOf(const XDataUnit* unit) {
  XCHAR form[64];
  DataTransfer(unit, form, 64);
  return form;
}

}  // namespace convert_test

#endif  // TABROW_TESTS_CONVERT_UNIT_FIXTURES_H_

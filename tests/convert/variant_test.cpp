#include <cmath>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::FormOf;
using convert_test::Unit;

// A VARIANT whose value bytes are those of `value` (a 16-bit member reads the low half).
template <typename T>
VARIANT MakeVariant(VARTYPE vt, T value) {
  VARIANT variant{};
  variant.vt = vt;
  std::memcpy(&variant.lVal, &value, sizeof value);
  return variant;
}

// The OLE date through the C library's UTC calendar, where 1970-01-01 is OLE day 25569.
double ReferenceOleDate(const DATETIME& d) {
  std::tm t{};
  t.tm_year = d.Year - 1900, t.tm_mon = d.Month - 1, t.tm_mday = d.Day;
  t.tm_hour = d.Hour, t.tm_min = d.Minute, t.tm_sec = d.Second;
  return static_cast<double>(timegm(&t)) / 86400.0 + 25569.0;
}

// Fixed dates on both sides of 1899-12-30 and at the ends of the range, then random ones: each
// matches the reference going out and comes back as the same date-time.
TEST(OleDateTest, MatchesTheCalendarAndRoundTrips) {
  std::vector<DATETIME> dates = {Date(1899, 12, 31, 6),     Date(1899, 12, 29, 6),
                                 Date(1601, 1, 1, 0, 0, 1), Date(1700, 2, 28, 13, 14, 15),
                                 Date(1900, 3, 1),          Date(30827, 12, 31, 23, 59, 59)};
  std::mt19937 random(20240305);
  std::uniform_int_distribution<int> year(1601, 30827), day(1, 28), sixty(0, 59);
  for (int i = 0; i < 500; ++i) {
    dates.push_back(Date(year(random), day(random) % 12 + 1, day(random), sixty(random) % 24,
                         sixty(random), sixty(random)));
  }
  Unit unit;
  for (const DATETIME& date : dates) {
    VARIANT variant;
    SetUnitValue(&unit.unit, date);
    ASSERT_EQ(DataTransfer(&unit.unit, &variant), 1);
    ASSERT_EQ(variant.vt, VT_DATE);
    ASSERT_NEAR(variant.date, ReferenceOleDate(date), 1e-8) << date.Year;
    ASSERT_EQ(DataTransfer(&variant, &unit.unit), 1);
    ASSERT_EQ(CompareTime(unit->Value.Time, date), 0) << variant.date;
  }
  SetUnitValue(&unit.unit, Date(2023, 2, 30));  // refused by the calendar: counts from 1601
  VARIANT variant;
  DataTransfer(&unit.unit, &variant);
  EXPECT_EQ(variant.date, -109205.0);
}

TEST(UnitToVariantTest, TextBecomesABstrAndOtherTypesLeaveItEmpty) {
  Unit unit;
  VARIANT variant;
  SetUnitValue(&unit.unit, u"h\u00e9llo", 1);
  ASSERT_EQ(DataTransfer(&unit.unit, &variant), 1);
  ASSERT_EQ(variant.vt, VT_BSTR);
  uint32_t bytes;  // the byte count just before the characters
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(variant.bstrVal) - 4, 4);
  EXPECT_EQ(bytes, 10u);
  EXPECT_EQ(std::u16string(variant.bstrVal), u"h\u00e9llo");
  SysFreeString(variant.bstrVal);
  SetUserValue(&unit.unit, "\x04\0\0\0", 1);
  EXPECT_EQ(DataTransfer(&unit.unit, &variant), 0);
  EXPECT_EQ(variant.vt, VT_EMPTY);
}

TEST(VariantToUnitTest, ByTypeWord) {
  const struct {
    VARIANT variant;
    int32_t result;
    uint16_t type;      // the unit comes in as a stale, non-null type 17
    const XCHAR* form;  // "" for a null unit
  } cases[] = {
      {MakeVariant(VT_I2, 0x1234FFFE), 1, XDT_LONG, u"-2"},
      {MakeVariant(VT_UI4, 0xFFFFFFFFu), 1, XDT_LONG, u"-1"},
      {MakeVariant(VT_BOOL, -1), 1, XDT_LONG, u"1"},
      {MakeVariant(VT_R4, 1.5f), 1, XDT_DOUBLE, u"1.5"},
      {MakeVariant(VT_DATE, 45356.5), 1, XDT_DATETIME, u"2024-03-05 12:00:00"},
      {MakeVariant(VT_DATE, std::nan("")), 1, XDT_DATETIME, u"1601-01-01 00:00:00"},
      {MakeVariant(VT_BSTR, static_cast<BSTR>(nullptr)), 1, XDT_STRING, u""},
      {MakeVariant(VT_BSTR, u"copied"), 1, XDT_STRING, u"copied"},
      {MakeVariant(VT_CY, 5), 0, XDT_ARCHIVE, u""},
  };
  for (const auto& c : cases) {
    Unit unit;
    unit->Type = XDT_ARCHIVE;
    unit->Null = 0;
    EXPECT_EQ(DataTransfer(&c.variant, &unit.unit), c.result) << c.variant.vt;
    EXPECT_EQ(unit->Type, c.type) << c.variant.vt;
    EXPECT_EQ(FormOf(&unit.unit), c.form) << c.variant.vt;
    EXPECT_EQ(unit->Null, c.form[0] == 0 ? 1 : 0);
  }
}

}  // namespace

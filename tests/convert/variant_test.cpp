#include <cmath>
#include <cstring>
#include <ctime>
#include <random>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::ExpectDate;
using convert_test::TextOf;
using convert_test::Unit;

// A VARIANT of type `vt` whose value bytes are those of `value` (little-endian, so a 16-bit
// member reads the low half of a 32-bit one).
template <typename T>
VARIANT MakeVariant(VARTYPE vt, T value) {
  VARIANT variant;
  std::memset(&variant, 0, sizeof variant);
  variant.vt = vt;
  std::memcpy(&variant.lVal, &value, sizeof value);
  return variant;
}

// The OLE date of a calendar date, computed through the C library's UTC calendar: days since
// 1970-01-01, which is OLE day 25569.
double ReferenceOleDate(const DATETIME& d) {
  std::tm parts{};
  parts.tm_year = d.Year - 1900;
  parts.tm_mon = d.Month - 1;
  parts.tm_mday = d.Day;
  parts.tm_hour = d.Hour;
  parts.tm_min = d.Minute;
  parts.tm_sec = d.Second;
  return static_cast<double>(timegm(&parts)) / 86400.0 + 25569.0;
}

TEST(BstrTest, CarriesItsByteLength) {
  BSTR text = SysAllocString(u"h\u00e9llo");
  ASSERT_NE(text, nullptr);
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - 4, 4);
  EXPECT_EQ(bytes, 10u);
  EXPECT_EQ(SysStringLen(text), 5u);
  EXPECT_EQ(std::u16string(text), u"h\u00e9llo");
  SysFreeString(text);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(UnitToVariantTest, BasicTypes) {
  Unit unit;
  VARIANT variant = MakeVariant(VT_I2, int32_t{1});
  EXPECT_EQ(DataTransfer(unit.get(), &variant), 1);  // null unit
  EXPECT_EQ(variant.vt, VT_EMPTY);

  SetUnitValue(unit.get(), int32_t{-9});
  EXPECT_EQ(DataTransfer(unit.get(), &variant), 1);
  EXPECT_EQ(variant.vt, VT_I4);
  EXPECT_EQ(variant.lVal, -9);

  SetUnitValue(unit.get(), 0.125);
  EXPECT_EQ(DataTransfer(unit.get(), &variant), 1);
  EXPECT_EQ(variant.vt, VT_R8);
  EXPECT_EQ(variant.dblVal, 0.125);

  SetUnitValue(unit.get(), u"text", 1);
  EXPECT_EQ(DataTransfer(unit.get(), &variant), 1);
  ASSERT_EQ(variant.vt, VT_BSTR);
  EXPECT_NE(variant.bstrVal, unit->Value.Text);
  EXPECT_EQ(SysStringLen(variant.bstrVal), 4u);
  SysFreeString(variant.bstrVal);

  SetUserValue(unit.get(), "\x04\0\0\0", 1);
  EXPECT_EQ(DataTransfer(unit.get(), &variant), 0);
  EXPECT_EQ(variant.vt, VT_EMPTY);
}

const DATETIME kOleDates[] = {
    Date(1899, 12, 30),
    Date(1899, 12, 31, 6),
    Date(1899, 12, 29, 6),
    Date(2024, 3, 5, 12),
    Date(1601, 1, 1),
    Date(1601, 1, 1, 0, 0, 1),
    Date(1700, 2, 28, 13, 14, 15),
    Date(1900, 2, 28, 23, 59, 59),
    Date(1900, 3, 1),
    Date(30827, 12, 31, 23, 59, 59),
};

TEST(OleDateTest, MatchesTheCalendarOnBothSidesOfTheEpoch) {
  Unit unit;
  for (const DATETIME& date : kOleDates) {
    SCOPED_TRACE(date.Year);
    const double expected = ReferenceOleDate(date);
    SetUnitValue(unit.get(), date);
    VARIANT variant;
    ASSERT_EQ(DataTransfer(unit.get(), &variant), 1);
    EXPECT_EQ(variant.vt, VT_DATE);
    EXPECT_NEAR(variant.date, expected, 1e-8);

    VARIANT back = MakeVariant(VT_DATE, expected);
    ASSERT_EQ(DataTransfer(&back, unit.get()), 1);
    EXPECT_EQ(unit->Type, XDT_DATETIME);
    ExpectDate(unit->Value.Time, date);
  }
  EXPECT_DOUBLE_EQ(ReferenceOleDate(Date(1899, 12, 29, 6)), -0.75);
}

TEST(OleDateTest, EveryDateOfTheRangeRoundTrips) {
  std::mt19937 random(20240305);
  std::uniform_int_distribution<int> year(1601, 30827), month(1, 12), day(1, 28), hour(0, 23),
      minute(0, 59);
  Unit unit;
  for (int i = 0; i < 2000; ++i) {
    const DATETIME date = Date(year(random), month(random), day(random), hour(random),
                               minute(random), minute(random));
    SetUnitValue(unit.get(), date);
    VARIANT variant;
    DataTransfer(unit.get(), &variant);
    DataTransfer(&variant, unit.get());
    ExpectDate(unit->Value.Time, date);
  }
}

TEST(OleDateTest, RefusedDatesCountFrom1601) {
  Unit unit;
  SetUnitValue(unit.get(), Date(2023, 2, 30));
  VARIANT variant;
  DataTransfer(unit.get(), &variant);
  EXPECT_EQ(variant.date, -109205.0);
  for (double date : {std::nan(""), -109206.0, 1.1e7, HUGE_VAL, -HUGE_VAL}) {
    SCOPED_TRACE(date);
    variant = MakeVariant(VT_DATE, date);
    EXPECT_EQ(DataTransfer(&variant, unit.get()), 1);
    ExpectDate(unit->Value.Time, Date(1601, 1, 1));
  }
}

struct FromVariantCase {
  const char* name;
  VARIANT variant;
  int32_t result;
  uint16_t type;      // the unit comes in as type 17 (owning nothing)
  const XCHAR* form;  // the unit's text form; null for a null unit
};

const FromVariantCase kFromVariant[] = {
    {"Empty", MakeVariant(VT_EMPTY, int32_t{5}), 1, XDT_ARCHIVE, nullptr},
    {"Null", MakeVariant(VT_NULL, int32_t{5}), 1, XDT_ARCHIVE, nullptr},
    {"I2SignExtends", MakeVariant(VT_I2, int32_t{0x1234FFFE}), 1, XDT_LONG, u"-2"},
    {"UI2ZeroExtends", MakeVariant(VT_UI2, int32_t{0x1234FFFF}), 1, XDT_LONG, u"65535"},
    {"UI4", MakeVariant(VT_UI4, uint32_t{0xFFFFFFFF}), 1, XDT_LONG, u"-1"},
    {"Uint", MakeVariant(VT_UINT, uint32_t{7}), 1, XDT_LONG, u"7"},
    {"BoolReads16Bits", MakeVariant(VT_BOOL, int32_t{0x10000}), 1, XDT_LONG, u"0"},
    {"BoolTrue", MakeVariant(VT_BOOL, int32_t{-1}), 1, XDT_LONG, u"1"},
    {"R4Widens", MakeVariant(VT_R4, 1.5f), 1, XDT_DOUBLE, u"1.5"},
    {"Date", MakeVariant(VT_DATE, 45356.5), 1, XDT_DATETIME, u"2024-03-05 12:00:00"},
    {"DateRoundsToSecond", MakeVariant(VT_DATE, 0.4 / 86400), 1, XDT_DATETIME,
     u"1899-12-30 00:00:00"},
    {"NullBstr", MakeVariant(VT_BSTR, static_cast<BSTR>(nullptr)), 1, XDT_STRING, nullptr},
    {"Currency", MakeVariant(VT_CY, int32_t{5}), 0, XDT_ARCHIVE, nullptr},
    {"AboveUint", MakeVariant(24, int32_t{5}), 0, XDT_ARCHIVE, nullptr},
};

class FromVariantTest : public ::testing::TestWithParam<FromVariantCase> {};

TEST_P(FromVariantTest, SetsTheUnit) {
  const FromVariantCase& c = GetParam();
  Unit unit;
  unit->Type = XDT_ARCHIVE;
  unit->Null = 0;
  unit->Value.Long = 99;
  EXPECT_EQ(DataTransfer(&c.variant, unit.get()), c.result);
  EXPECT_EQ(unit->Type, c.type);
  if (c.form == nullptr) {
    EXPECT_EQ(unit->Null, 1);
    EXPECT_EQ(unit->Value.Long, 0);
  } else {
    EXPECT_EQ(unit->Null, 0);
    XCHAR form[32];
    DataTransfer(unit.get(), form, 32);
    EXPECT_EQ(std::u16string(form), c.form);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FromVariantTest, ::testing::ValuesIn(kFromVariant),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FromVariantTest, BstrIsCopiedAndWhatTheUnitOwnedIsGivenBack) {
  Unit unit;
  SetUnitValue(unit.get(), u"owned before", 1);
  BSTR text = SysAllocString(u"from host");
  const VARIANT variant = MakeVariant(VT_BSTR, text);
  EXPECT_EQ(DataTransfer(&variant, unit.get()), 1);
  SysFreeString(text);
  EXPECT_EQ(unit->Owned, unit->Value.Text);
  EXPECT_EQ(TextOf(unit.get()), u"from host");
}

}  // namespace

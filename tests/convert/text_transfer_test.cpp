#include <string>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::TextOf;
using convert_test::Unit;

struct FromTextCase {
  const char* name;
  uint16_t type;  // the unit's preset type
  const XCHAR* text;
  int32_t result;
  const XCHAR* form;  // the unit's text form afterwards; null when it must be null
};

const FromTextCase kFromText[] = {
    {"Long", XDT_LONG, u"  -12x", 1, u"-12"},
    {"LongSaturates", XDT_LONG, u"99999999999", 1, u"2147483647"},
    {"NoLong", XDT_LONG, u"x12", 0, nullptr},
    {"NullTextIntoLong", XDT_LONG, nullptr, 0, nullptr},
    {"Double", XDT_DOUBLE, u"3.75", 1, u"3.75"},
    {"Date", XDT_DATETIME, u"2024-03-05 14:07:09", 1, u"2024-03-05 14:07:09"},
    {"NoDate", XDT_DATETIME, u"", 0, nullptr},
    {"Text", XDT_STRING, u"abc", 1, u"abc"},
    {"NullText", XDT_STRING, nullptr, 1, nullptr},
    {"Archive", XDT_ARCHIVE, u"3.75", 0, nullptr},
};

class FromTextTest : public ::testing::TestWithParam<FromTextCase> {};

TEST_P(FromTextTest, ReadsByThePresetType) {
  const FromTextCase& c = GetParam();
  Unit unit;
  unit->Type = c.type;
  unit->Null = 0;  // a stale value the call must clear
  unit->Value.Long = 99;
  EXPECT_EQ(DataTransfer(c.text, unit.get(), 1), c.result);
  EXPECT_EQ(unit->Type, c.type);
  if (c.form == nullptr) {
    EXPECT_EQ(unit->Null, 1);
    EXPECT_EQ(unit->Value.Long, 0);
  } else {
    XCHAR form[40];
    DataTransfer(unit.get(), form, 40);
    EXPECT_EQ(std::u16string(form), c.form);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FromTextTest, ::testing::ValuesIn(kFromText),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FromTextTest, CopyOrBorrow) {
  Unit unit;
  unit->Type = XDT_STRING;
  const XCHAR* text = u"borrowed";
  EXPECT_EQ(DataTransfer(text, unit.get(), 0), 1);
  EXPECT_EQ(unit->Value.Text, text);
  EXPECT_EQ(unit->Owned, nullptr);
  EXPECT_EQ(DataTransfer(text, unit.get(), 1), 1);
  EXPECT_NE(unit->Value.Text, text);
  EXPECT_EQ(unit->Owned, unit->Value.Text);
}

TEST(ToTextTest, WritesTheFormCutToCapacity) {
  Unit unit;
  XCHAR buffer[128];
  std::fill(buffer, buffer + 128, u'#');
  EXPECT_EQ(DataTransfer(unit.get(), buffer, 128), 0u);  // null: empty text
  EXPECT_EQ(buffer[0], 0);

  const std::u16string text(300, u'x');
  SetUnitValue(unit.get(), text.c_str(), 1);
  EXPECT_EQ(DataTransfer(unit.get(), buffer, 100), 99u);
  EXPECT_EQ(std::u16string(buffer), text.substr(0, 99));
  EXPECT_EQ(buffer[100], u'#');

  SetUnitValue(unit.get(), -1e300);  // far longer than any fixed staging of 256 characters
  const uint32_t written = DataTransfer(unit.get(), buffer, 128);
  EXPECT_EQ(written, 127u);
  EXPECT_EQ(std::u16string(buffer, 4), u"-100");

  SetUnitValue(unit.get(), Date(2024, 3, 5, 14, 7, 9));
  EXPECT_EQ(DataTransfer(unit.get(), buffer, 128), 19u);
  EXPECT_EQ(std::u16string(buffer), u"2024-03-05 14:07:09");
  buffer[0] = u'#';
  EXPECT_EQ(DataTransfer(unit.get(), buffer, 0), 0u);
  EXPECT_EQ(buffer[0], u'#');

  SetUserValue(unit.get(), "\x04\0\0\0", 1);
  EXPECT_EQ(DataTransfer(unit.get(), buffer, 128), 0u);
  EXPECT_EQ(buffer[0], 0);
}

}  // namespace

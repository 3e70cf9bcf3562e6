#include "convert/unit_fixtures.h"

namespace {

using convert_test::FormOf;
using convert_test::Unit;

// Reading a value from text, both into a unit by its preset type and in place from a text unit.
// The first leaves the unit null when the text does not read; the second leaves a zero of the
// new type.
TEST(ReadTextTest, IntoAUnitAndInPlace) {
  const struct {
    uint16_t type;
    const XCHAR* text;
    const XCHAR* form;  // null: does not read
  } cases[] = {
      {XDT_LONG, u"  -12x", u"-12"},
      {XDT_LONG, u"x12", nullptr},
      {XDT_DOUBLE, u"3.75", u"3.75"},
      {XDT_DATETIME, u"2024-03-05 14:07:09", u"2024-03-05 14:07:09"},
      {XDT_DATETIME, u"0000-03-05", nullptr},
  };
  for (const auto& c : cases) {
    const int32_t reads = c.form != nullptr;
    Unit unit;
    unit->Type = c.type;
    unit->Null = 0;  // a stale value the call must clear
    unit->Value.Long = 99;
    EXPECT_EQ(DataTransfer(c.text, &unit.unit, 1), reads);
    EXPECT_EQ(FormOf(&unit.unit), reads ? c.form : u"");

    SetUnitValue(&unit.unit, c.text, 1);
    EXPECT_EQ(UnitTransfer(&unit.unit, c.type, 8, nullptr), reads);
    EXPECT_EQ(unit->Type, c.type);
    EXPECT_EQ(unit->Owned, nullptr);
    const XCHAR* zero = c.type == XDT_LONG     ? u"0"
                        : c.type == XDT_DOUBLE ? u"0.0"
                                               : u"0000-00-00 00:00:00";
    EXPECT_EQ(FormOf(&unit.unit), reads ? c.form : zero);
  }
}

TEST(ToTextTest, WritesTheFormCutToCapacity) {
  Unit unit;
  XCHAR buffer[128];
  const std::u16string text(300, u'x');
  SetUnitValue(&unit.unit, text.c_str(), 1);
  buffer[100] = u'#';
  EXPECT_EQ(DataTransfer(&unit.unit, buffer, 100), 99u);
  EXPECT_EQ(std::u16string(buffer), text.substr(0, 99));
  EXPECT_EQ(buffer[100], u'#');

  SetUnitValue(&unit.unit, -1e300);  // 310 characters: staging must hold any double
  EXPECT_EQ(DataTransfer(&unit.unit, buffer, 128), 127u);
  EXPECT_EQ(std::u16string(buffer, 4), u"-100");

  SetUserValue(&unit.unit, "\x04\0\0\0", 1);
  EXPECT_EQ(DataTransfer(&unit.unit, buffer, 128), 0u);
  EXPECT_EQ(buffer[0], 0);
}

TEST(UnitTransferTest, LongOwnedTextIsCutIntoTheBuffer) {
  Unit unit;
  XCHAR buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
  SetUnitValue(&unit.unit, u"twelve chars", 1);

  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 20, buffer), 1);  // fits: unchanged
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 5, buffer), 0);
  EXPECT_EQ(unit->Value.Text, buffer);
  EXPECT_EQ(unit->Owned, nullptr);  // the copy was given back
  EXPECT_EQ(std::u16string(buffer), u"twel");
  EXPECT_EQ(buffer[5], u'#');
}

}  // namespace

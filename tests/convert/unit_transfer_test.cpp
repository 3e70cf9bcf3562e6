#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::Unit;

TEST(UnitTransferTest, LongOwnedTextIsCutIntoTheBuffer) {
  Unit unit;
  XCHAR buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
  SetUnitValue(&unit.unit, u"twelve chars", 1);
  const XCHAR* copy = unit->Value.Text;
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 20, buffer), 1);  // fits: unchanged
  EXPECT_EQ(unit->Value.Text, copy);
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 5, buffer), 0);
  EXPECT_EQ(unit->Value.Text, buffer);
  EXPECT_EQ(unit->Owned, nullptr);  // the copy was given back
  EXPECT_EQ(unit->Size, 5);
  EXPECT_EQ(std::u16string(buffer), u"twel");
  EXPECT_EQ(buffer[5], u'#');
}

TEST(UnitTransferTest, ValuesBecomeBorrowedTextAndUnsupportedPairsChangeNothing) {
  Unit unit;
  XCHAR buffer[16];
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_DOUBLE, 8, buffer), 1);  // a null unit takes both
  EXPECT_EQ(unit->Type, XDT_DOUBLE);
  EXPECT_EQ(unit->Size, 8);
  SetUnitValue(&unit.unit, -2.75);
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_LONG, 4, buffer), 1);
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 16, nullptr), 0);
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_DATETIME, 8, buffer), 0);
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 16, buffer), 1);
  EXPECT_EQ(unit->Value.Text, buffer);
  EXPECT_EQ(std::u16string(buffer), u"-2");

  SetUnitValue(&unit.unit, Date(2024, 3, 5, 14, 7, 9));
  EXPECT_EQ(UnitTransfer(&unit.unit, XDT_STRING, 12, buffer), 1);
  EXPECT_EQ(std::u16string(buffer), u"2024-03-05%");
}

}  // namespace

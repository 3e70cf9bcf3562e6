#include <cstring>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::ExpectDate;
using convert_test::TextOf;
using convert_test::Unit;

class UnitTransferTest : public ::testing::Test {
 protected:
  UnitTransferTest() { std::memset(buffer_, 0x55, sizeof buffer_); }
  Unit unit_;
  XCHAR buffer_[40];
};

TEST_F(UnitTransferTest, LongOwnedTextIsCutIntoTheBuffer) {
  SetUnitValue(unit_.get(), u"twelve chars", 1);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_STRING, 20, buffer_), 1);  // fits: unchanged
  EXPECT_NE(unit_->Value.Text, buffer_);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_STRING, 5, buffer_), 0);
  EXPECT_EQ(unit_->Value.Text, buffer_);
  EXPECT_EQ(unit_->Owned, nullptr);  // the copy was given back
  EXPECT_EQ(unit_->Size, 5);
  EXPECT_EQ(TextOf(unit_.get()), u"twel");
  EXPECT_EQ(buffer_[5], 0x5555);
}

TEST_F(UnitTransferTest, NullUnitTakesTypeAndSize) {
  unit_->Type = XDT_STRING;
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_DOUBLE, 8, buffer_), 1);
  EXPECT_EQ(unit_->Type, XDT_DOUBLE);
  EXPECT_EQ(unit_->Size, 8);
  EXPECT_EQ(unit_->Null, 1);
}

TEST_F(UnitTransferTest, NumbersAndDatesBecomeBorrowedText) {
  SetUnitValue(unit_.get(), -2.75);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_LONG, 4, buffer_), 1);
  EXPECT_EQ(unit_->Value.Long, -2);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_DOUBLE, 8, buffer_), 1);
  EXPECT_EQ(unit_->Value.Double, -2.0);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_STRING, 30, buffer_), 1);
  EXPECT_EQ(TextOf(unit_.get()), u"-2.0");
  EXPECT_EQ(unit_->Value.Text, buffer_);
  EXPECT_EQ(unit_->Null, 0);

  SetUnitValue(unit_.get(), Date(2024, 3, 5, 14, 7, 9));
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_STRING, 12, buffer_), 1);
  EXPECT_EQ(TextOf(unit_.get()), u"2024-03-05%");
  EXPECT_EQ(unit_->Size, 12);
}

TEST_F(UnitTransferTest, TextThatDoesNotReadLeavesZeroOfTheNewType) {
  const struct {
    const char* name;
    const XCHAR* text;
    uint16_t type;
    int32_t result;
    const XCHAR* form;  // the value read, as DataTransfer writes it
  } cases[] = {
      {"long", u" 42 apples", XDT_LONG, 1, u"42"},
      {"no long", u"apples", XDT_LONG, 0, u"0"},
      {"double", u"3.75", XDT_DOUBLE, 1, u"3.75"},
      {"no double", u"", XDT_DOUBLE, 0, u"0.0"},
      {"date", u"2024-03-05 14:07:09", XDT_DATETIME, 1, u"2024-03-05 14:07:09"},
      {"no date", u"0000-03-05", XDT_DATETIME, 0, u"0000-00-00 00:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUnitValue(unit_.get(), c.text, 1);
    EXPECT_EQ(UnitTransfer(unit_.get(), c.type, 8, buffer_), c.result);
    EXPECT_EQ(unit_->Type, c.type);
    EXPECT_EQ(unit_->Null, 0);
    EXPECT_EQ(unit_->Owned, nullptr);
    XCHAR form[32];
    DataTransfer(unit_.get(), form, 32);
    EXPECT_EQ(std::u16string(form), c.form);
  }
}

TEST_F(UnitTransferTest, UnsupportedPairsLeaveTheUnit) {
  SetUnitValue(unit_.get(), Date(2024, 3, 5));
  unit_->Size = 3;
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_LONG, 4, buffer_), 0);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_DATETIME, 4, buffer_), 1);  // to itself: untouched
  EXPECT_EQ(unit_->Type, XDT_DATETIME);
  EXPECT_EQ(unit_->Size, 3);
  ExpectDate(unit_->Value.Time, Date(2024, 3, 5));
  SetUnitValue(unit_.get(), int32_t{7});
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_STRING, 8, nullptr), 0);
  EXPECT_EQ(unit_->Type, XDT_LONG);
  EXPECT_EQ(UnitTransfer(unit_.get(), XDT_ARCHIVE, 8, buffer_), 0);
  EXPECT_EQ(unit_->Value.Long, 7);
}

}  // namespace

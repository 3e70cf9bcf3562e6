#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tabrow/tabrow.h"

namespace {

class CountingObject final : public IObjectVar {
 public:
  void Release() override { ++releases; }
  int32_t GetType() override { return 7; }
  int releases = 0;
};

// Leaks, double frees and frees of borrowed storage are caught by the sanitizer run.
class DataUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUnitNull(&unit_);
    unit_.Code = 11;
    unit_.Binder = 0x1234;
    unit_.Next = &unit_;
  }
  void TearDown() override { ClearUnitData(&unit_); }
  void ExpectNull(uint16_t type) const {
    static const unsigned char kZero[8] = {};
    EXPECT_EQ(unit_.Null, 1);
    EXPECT_EQ(unit_.Type, type);
    EXPECT_EQ(unit_.Owned, nullptr);
    EXPECT_EQ(std::memcmp(&unit_.Value, kZero, 8), 0);
    EXPECT_EQ(unit_.Code, 11u);
    EXPECT_EQ(unit_.Binder, 0x1234u);
    EXPECT_EQ(unit_.Next, &unit_);
  }
  XDataUnit unit_;
};

TEST_F(DataUnitTest, ScalarsSetAndClearAllEightBytes) {
  unit_.Size = 40;
  SetUnitValue(&unit_, int32_t{-42});
  EXPECT_EQ(unit_.Type, XDT_LONG);
  EXPECT_EQ(unit_.Null, 0);
  EXPECT_EQ(unit_.Value.Long, -42);
  SetUnitValue(&unit_, DATETIME{0xFFFF, -1, -1, -1, -1, -1, 0xFF});
  EXPECT_EQ(unit_.Type, XDT_DATETIME);
  EXPECT_EQ(unit_.Value.Time.Reserved, 0xFF);
  EXPECT_EQ(unit_.Size, 40);
  ClearUnitData(&unit_);
  ExpectNull(XDT_DATETIME);
}

TEST_F(DataUnitTest, TextIsCopiedOrBorrowed) {
  XCHAR text[] = u"héllo";
  SetUnitValue(&unit_, text, 1);
  EXPECT_EQ(unit_.Owned, unit_.Value.Text);
  text[0] = u'X';
  EXPECT_EQ(std::u16string(unit_.Value.Text), u"héllo");
  SetUnitValue(&unit_, text, 0);  // frees the copy, borrows the stack text
  EXPECT_EQ(unit_.Value.Text, text);
  EXPECT_EQ(unit_.Owned, nullptr);
  ClearUnitData(&unit_);
  ExpectNull(XDT_STRING);
  SetUnitValue(&unit_, 1.5);
  SetUnitValue(&unit_, static_cast<const XCHAR*>(nullptr), 1);
  ExpectNull(XDT_DOUBLE);
}

TEST_F(DataUnitTest, UserBlobCopiesExactlyItsLength) {
  auto* blob = static_cast<unsigned char*>(std::malloc(12));  // a 13th byte read is reported
  const uint32_t length = 12;
  std::memcpy(blob, &length, 4);
  std::memcpy(blob + 4, "payload!", 8);
  SetUserValue(&unit_, blob, 1);
  EXPECT_EQ(unit_.Type, XDT_USER);
  EXPECT_EQ(unit_.Owned, unit_.Value.Pointer);
  EXPECT_EQ(std::memcmp(unit_.Value.Pointer, blob, 12), 0);
  std::free(blob);
  const uint32_t too_short = 1;  // the length word itself is always copied
  SetUserValue(&unit_, &too_short, 1);
  EXPECT_EQ(std::memcmp(unit_.Value.Pointer, &too_short, 4), 0);
}

TEST_F(DataUnitTest, OwnedObjectsAreReleasedOnceBorrowedNever) {
  XMemoArchive* archive = XMemoArchive::Malloc();
  ASSERT_NE(archive, nullptr);
  SetUnitValue(&unit_, archive, 1);
  EXPECT_EQ(unit_.Owned, static_cast<void*>(archive));
  ClearUnitData(&unit_);
  ClearUnitData(&unit_);
  ExpectNull(XDT_ARCHIVE);
  SetUnitValue(&unit_, static_cast<IArchive*>(nullptr), 1);
  ExpectNull(XDT_ARCHIVE);

  unit_.Type = 135;  // a grid code stays; any other becomes 129
  SetUnitValue(&unit_, XRowGrider::Malloc(), 1);
  EXPECT_EQ(unit_.Type, 135);
  ClearUnitData(&unit_);  // the grid goes back before anyone changes the type
  XRowGrider borrowed;
  unit_.Type = XDT_STRING;
  SetUnitValue(&unit_, &borrowed, 0);
  EXPECT_EQ(unit_.Type, XDT_GRIDER);

  CountingObject owned, lent;
  unit_.Size = 40;
  SetUnitValue(&unit_, &owned, 1);
  EXPECT_EQ(unit_.Type, XDT_OBJECT);
  EXPECT_EQ(unit_.Size, 0);
  SetUnitValue(&unit_, &lent, 0);
  ClearUnitData(&unit_);
  EXPECT_EQ(owned.releases, 1);
  EXPECT_EQ(lent.releases, 0);
  SetUnitValue(&unit_, &owned, 1);
  unit_.Owned = nullptr;  // a consumer took it over
  ClearUnitData(&unit_);
  EXPECT_EQ(owned.releases, 1);
}

TEST_F(DataUnitTest, BufferFollowsThePresetType) {
  unsigned char bytes[9];  // a double at an odd address
  const double value = -6.25;
  std::memcpy(bytes + 1, &value, 8);
  const struct {
    uint16_t type;
    size_t width;  // 0: the unit stays null
  } kCases[] = {{XDT_LONG, 4},    {XDT_DOUBLE, 8}, {XDT_DATETIME, 8}, {XDT_USER, 0},
                {XDT_ARCHIVE, 0}, {129, 0},        {143, 0},          {XDT_OBJECT, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.type);
    unit_.Type = c.type;
    SetUnitBuffer(&unit_, bytes + 1);
    EXPECT_EQ(unit_.Type, c.type);
    EXPECT_EQ(unit_.Null, c.width == 0 ? 1 : 0);
    if (c.width != 0) {
      EXPECT_EQ(std::memcmp(&unit_.Value, bytes + 1, c.width), 0);
    }
    SetUnitBuffer(&unit_, nullptr);
    ExpectNull(c.type);
  }
  unit_.Type = XDT_STRING;
  SetUnitBuffer(&unit_, u"text");
  EXPECT_EQ(unit_.Owned, unit_.Value.Text);
  EXPECT_EQ(std::u16string(unit_.Value.Text), u"text");
}

TEST(SetUnitNullTest, ZeroesEveryFieldAndIgnoresNull) {
  XDataUnit unit, expected;
  std::memset(&unit, 0xAB, sizeof unit);
  std::memset(&expected, 0, sizeof expected);
  expected.Null = 1;
  SetUnitNull(&unit);
  EXPECT_EQ(std::memcmp(&unit, &expected, sizeof unit), 0);
  SetUnitNull(nullptr);
  ClearUnitData(nullptr);
  SetUnitValue(nullptr, u"x", 1);
  SetUnitBuffer(nullptr, u"x");
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
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
    unit_.Size = 40;
  }
  void TearDown() override { ClearUnitData(&unit_); }
  // Null with the given type; the whole value cleared and every other field kept.
  void ExpectNull(uint16_t type) const {
    static const unsigned char kZero[8] = {};
    EXPECT_EQ(unit_.Null, 1);
    EXPECT_EQ(unit_.Type, type);
    EXPECT_EQ(unit_.Owned, nullptr);
    EXPECT_EQ(std::memcmp(&unit_.Value, kZero, 8), 0);
    EXPECT_EQ(unit_.Code + unit_.Binder, 11u + 0x1234u);
    EXPECT_EQ(unit_.Next, &unit_);
  }
  XDataUnit unit_;
};

// Each setter gives its type (a grid type already there stays) and owns or borrows; clearing
// gives back what is owned and keeps the type.
TEST_F(DataUnitTest, SettersOwnOrBorrowAndClearingKeepsTheType) {
  static XCHAR text[] = u"h\u00e9llo";
  static const uint32_t kTooShort = 1;  // the length word itself is always copied
  static XRowGrider grider;
  static CountingObject object;
  const struct {
    uint16_t preset;
    std::function<void(XDataUnit*)> set;
    uint16_t type;
    bool owns, null;
  } cases[] = {
      {0, [](XDataUnit* u) { SetUnitValue(u, int32_t{-42}); }, XDT_LONG, false, false},
      {0, [](XDataUnit* u) { SetUnitValue(u, text, 1); }, XDT_STRING, true, false},
      {XDT_DOUBLE, [](XDataUnit* u) { SetUnitValue(u, static_cast<const XCHAR*>(nullptr), 1); },
       XDT_DOUBLE, false, true},
      {0, [](XDataUnit* u) { SetUserValue(u, &kTooShort, 1); }, XDT_USER, true, false},
      {0, [](XDataUnit* u) { SetUnitValue(u, XMemoArchive::Malloc(), 1); }, XDT_ARCHIVE, true,
       false},
      {135, [](XDataUnit* u) { SetUnitValue(u, XRowGrider::Malloc(), 1); }, 135, true, false},
      {XDT_STRING, [](XDataUnit* u) { SetUnitValue(u, &grider, 0); }, XDT_GRIDER, false, false},
      {0, [](XDataUnit* u) { SetUnitValue(u, &object, 0); }, XDT_OBJECT, false, false},
  };
  for (const auto& c : cases) {
    unit_.Type = c.preset;
    c.set(&unit_);
    EXPECT_EQ(unit_.Type, c.type);
    EXPECT_EQ(unit_.Null, c.null ? 1 : 0);
    EXPECT_EQ(unit_.Owned, c.owns ? unit_.Value.Pointer : nullptr) << c.type;
    EXPECT_EQ(unit_.Size, c.type == XDT_OBJECT ? 0 : 40);
    unit_.Size = 40;
    ClearUnitData(&unit_);
    ExpectNull(c.type);
  }
  EXPECT_EQ(object.releases, 0);
}

TEST_F(DataUnitTest, CopiesAreExactAndOwnedObjectsReleasedOnce) {
  XCHAR text[] = u"text";
  SetUnitValue(&unit_, text, 1);
  text[0] = u'X';
  EXPECT_EQ(std::u16string(unit_.Value.Text), u"text");
  auto* blob = static_cast<unsigned char*>(std::malloc(12));  // a 13th byte read is reported
  const uint32_t length = 12;
  std::memcpy(blob, &length, 4);
  std::memcpy(blob + 4, "payload!", 8);
  SetUserValue(&unit_, blob, 1);
  EXPECT_EQ(std::memcmp(unit_.Value.Pointer, blob, 12), 0);
  std::free(blob);

  CountingObject owned;
  SetUnitValue(&unit_, &owned, 1);
  ClearUnitData(&unit_);
  ClearUnitData(&unit_);
  EXPECT_EQ(owned.releases, 1);
  SetUnitValue(&unit_, &owned, 1);
  unit_.Owned = nullptr;  // a consumer took it over
  ClearUnitData(&unit_);
  EXPECT_EQ(owned.releases, 1);
}

TEST_F(DataUnitTest, BufferFollowsThePresetType) {
  unsigned char bytes[9];  // a double at an odd address
  const double value = -6.25;
  std::memcpy(bytes + 1, &value, 8);
  const std::pair<uint16_t, size_t> cases[] = {// the width read; 0: the unit stays null
                                               {XDT_LONG, 4},
                                               {XDT_DOUBLE, 8},
                                               {143, 0}};
  for (const auto& [type, width] : cases) {
    unit_.Type = type;
    SetUnitBuffer(&unit_, bytes + 1);
    EXPECT_EQ(unit_.Type, type);
    EXPECT_EQ(unit_.Null, width == 0 ? 1 : 0);
    EXPECT_EQ(std::memcmp(&unit_.Value, bytes + 1, width), 0);
    SetUnitBuffer(&unit_, nullptr);
    ExpectNull(type);
  }
  unit_.Type = XDT_STRING;
  SetUnitBuffer(&unit_, u"text");
  EXPECT_EQ(unit_.Owned, unit_.Value.Text);
  EXPECT_EQ(std::u16string(unit_.Value.Text), u"text");
}

}  // namespace

// Descriptor setters, copying and lending: results that track changes, and who owns what.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "rows/row_util.h"

namespace {

class DescTest : public ::testing::Test {
 protected:
  ~DescTest() override {
    ClearUnitData(&unit_);
    ReleaseItemDesc(desc_);
    std::free(desc_);
  }

  // desc_, cleared, with the given type and size.
  XItemDataDesc* Make(uint16_t type, uint16_t size = 0) {
    ClearItemDesc(desc_);
    desc_->Type = type;
    desc_->Size = size;
    return desc_;
  }

  XItemDataDesc* desc_ = MallocItemDesc();
  XDataUnit unit_{};
};

TEST_F(DescTest, NumbersTrackChanges) {
  Make(XDT_LONG);
  EXPECT_EQ(SetDescValue(desc_, 5), 2);
  EXPECT_EQ(desc_->Flags, 0x10);
  desc_->Flags = 0;
  EXPECT_EQ(SetDescValue(desc_, 5), 1);
  EXPECT_EQ(desc_->Flags, 0);
  EXPECT_EQ(SetDescNull(desc_), 2);
  EXPECT_EQ(desc_->Flags, 0x11);
  EXPECT_EQ(SetDescValue(desc_, 5), 2);  // equal bytes, but it was null
  EXPECT_EQ(SetDescValue(desc_, -2.7), 2);
  EXPECT_EQ(desc_->Value.Long, -2);

  EXPECT_EQ(SetDescValue(desc_, u"7"), 0);  // wrong kinds of value change nothing
}

TEST_F(DescTest, TextIsCutToSizeAndItsBufferReused) {
  for (uint16_t type : {XDT_STRING, XDT_ALTSTRING}) {
    Make(type, 4);
    EXPECT_EQ(SetDescValue(desc_, u"abcdef"), 2);
    EXPECT_EQ(std::u16string(desc_->Value.Text), u"abc");
    EXPECT_EQ(SetDescValue(desc_, u"abcdef"), 2);  // the stored text differs from the given one
    XCHAR* buffer = desc_->Value.Text;
    SetDescNull(desc_);
    EXPECT_EQ(SetDescValue(desc_, u"xy"), 2);
    EXPECT_EQ(desc_->Value.Text, buffer);
    EXPECT_EQ(SetDescValue(desc_, 1), 0);
    EXPECT_EQ(desc_->Flags, 0x10);
  }
  SetUnitValue(&unit_, u"given back", 1);
  EXPECT_EQ(GetDescValue(desc_, &unit_), 1);  // lends the text as type 2, with the Size
  EXPECT_EQ(unit_.Value.Text, desc_->Value.Text);
  Make(XDT_STRING, 0);  // no room: nothing is stored, nothing is lent
  EXPECT_EQ(SetDescValue(desc_, u"abc"), 2);
  EXPECT_EQ(desc_->Value.Text, nullptr);
  GetDescValue(desc_, &unit_);
  EXPECT_EQ(unit_.Null, 1);
}

TEST_F(DescTest, ArchivesAreTakenWhenOwnedAndCopiedWhenLent) {
  Make(XDT_ARCHIVE);
  XMemoArchive* owned = XMemoArchive::Malloc();
  SetUnitValue(&unit_, owned, 1);
  EXPECT_EQ(SetDescValue(desc_, &unit_), 2);
  EXPECT_EQ(desc_->Value.Archive, owned);
  EXPECT_EQ(unit_.Owned, nullptr);
  EXPECT_EQ(SetDescValue(desc_, owned), 2);  // the same archive again is not destroyed
  EXPECT_EQ(owned->Append("abc", 3), 3);
  desc_->Flags = 1;  // an archive is lent whatever the null bit says
  GetDescValue(desc_, &unit_);
  EXPECT_EQ(unit_.Value.Archive, owned);
  EXPECT_EQ(unit_.Owned, nullptr);

  XMemoArchive lent;
  lent.Append("defg", 4);
  SetUnitValue(&unit_, &lent, 0);
  EXPECT_EQ(SetDescValue(desc_, &unit_), 2);  // `owned` is given back
  EXPECT_EQ(rows_test::Contents(desc_->Value.Archive), rows_test::Contents(&lent));
  EXPECT_EQ(SetDescValue(desc_, static_cast<IArchive*>(nullptr)), 2);
  EXPECT_EQ(desc_->Value.Archive, nullptr);

  Make(XDT_LONG);  // takes nothing: the unit keeps its archive
  SetUnitValue(&unit_, XMemoArchive::Malloc(), 1);
  EXPECT_EQ(SetDescValue(desc_, &unit_), 0);
  EXPECT_NE(unit_.Owned, nullptr);
  ClearUnitData(&unit_);
}

TEST_F(DescTest, GridsAreTakenWhenOwnedAndClonedOtherwise) {
  Make(136);
  XRowGrider* owned = rows_test::MakeGrid({{1, u"one"}});
  SetUnitValue(&unit_, owned, 1);
  EXPECT_EQ(SetDescValue(desc_, &unit_), 2);
  EXPECT_EQ(desc_->Value.Grider, owned);
  EXPECT_EQ(unit_.Owned, nullptr);

  XRowGrider reference;  // owned by the unit or not, a reference is copied
  reference.SetReference(owned);
  SetUnitValue(&unit_, &reference, 1);
  EXPECT_EQ(SetDescValue(desc_, &unit_), 2);
  unit_.Owned = nullptr;
  XRowGrider* copy = desc_->Value.Grider;
  EXPECT_NE(copy, &reference);
  EXPECT_EQ(copy->GetRowCounter(), 1);
}

TEST_F(DescTest, CopyTakesValuesButNeverForeignPointers) {
  Make(XDT_STRING, 50);
  SetDescValue(desc_, u"hello");
  XItemDataDesc* target = MallocItemDesc();
  CopyDataDesc(target, desc_);
  EXPECT_NE(target->Value.Text, desc_->Value.Text);
  EXPECT_EQ(std::u16string(target->Value.Text), u"hello");

  Make(XDT_DOUBLE);
  SetDescValue(target, u"x");
  CopyDataDesc(target, desc_);  // null source: target null, its old text given back
  EXPECT_EQ(target->Flags, 1);
  SetDescValue(target, 99.5);  // these bytes must not become a text pointer
  Make(XDT_ALTSTRING, 10);
  CopyDataDesc(target, desc_);
  EXPECT_EQ(target->Value.Text, nullptr);
  ReleaseItemDesc(target);
  std::free(target);
}

}  // namespace

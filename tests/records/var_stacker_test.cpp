#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

// A heap object that counts its releases and then destroys itself, so that a missed or doubled
// release also shows as a leak or a use after free under the sanitizers.
class HeapObject final : public IObjectVar {
 public:
  explicit HeapObject(int32_t* releases) : releases_(releases) {}
  void Release() override {
    ++*releases_;
    delete this;
  }
  int32_t GetType() override { return 1; }

 private:
  int32_t* releases_;
};

class LocalObject final : public IObjectVar {
 public:
  void Release() override { ADD_FAILURE() << "a borrowed object was released"; }
  int32_t GetType() override { return 2; }
};

const XCHAR kText[] = u"borrowed";
const unsigned char kBlob[8] = {8, 0, 0, 0, 'b', 'l', 'o', 'b'};

class VarStackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUnitNull(&unit_);
    SetUnitNull(&out_);
    archive_.Append("bytes", 5);
    const uint16_t types[2] = {XDT_LONG, XDT_STRING}, sizes[2] = {4, 10};
    ASSERT_EQ(grider_.SetItemDesc(types, sizes, 2), 1);
  }
  void TearDown() override {
    ClearUnitData(&unit_);
    ClearUnitData(&out_);
    stack_.ClearStacker();
  }
  // Stores the unit under `name` and reads it back into out_, lent.
  XDataUnit* SetAndGet(const XCHAR* name, XDataUnit* unit) {
    EXPECT_EQ(stack_.SetVariable(name, unit), 1);
    EXPECT_EQ(stack_.GetVariable(name, &out_), 1);
    EXPECT_EQ(out_.Owned, nullptr);
    return &out_;
  }

  // A heap grid that copies grider_ or refers to it.
  XRowGrider* OwnedGrider(bool reference) {
    XRowGrider* grider = XRowGrider::Malloc();
    EXPECT_EQ(reference ? grider->SetReference(&grider_) : grider->CloneGrider(&grider_), 1);
    return grider;
  }

  XVarStacker stack_;
  XDataUnit unit_, out_;
  XMemoArchive archive_;
  XRowGrider grider_;
  LocalObject object_;
  int32_t releases_ = 0;
};

TEST_F(VarStackerTest, ScalarsAndBorrowedValuesAreCopied) {
  SetUnitValue(&unit_, 2.5);
  EXPECT_EQ(SetAndGet(u"d", &unit_)->Value.Double, 2.5);
  SetUnitValue(&unit_, kText, 0);
  EXPECT_EQ(std::u16string(SetAndGet(u"text", &unit_)->Value.Text), kText);
  EXPECT_NE(out_.Value.Text, kText);
  SetUserValue(&unit_, kBlob, 0);
  EXPECT_EQ(std::memcmp(SetAndGet(u"blob", &unit_)->Value.Pointer, kBlob, sizeof kBlob), 0);
  EXPECT_NE(out_.Value.Pointer, kBlob);
  SetUnitValue(&unit_, &archive_, 0);
  IArchive* copy = SetAndGet(u"archive", &unit_)->Value.Archive;
  uint32_t length = 0;
  copy->GetLength(&length);
  EXPECT_NE(copy, &archive_);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy->GetData()), length), "bytes");
  SetUnitValue(&unit_, &object_, 0);  // a borrowed object reads back as a null object
  EXPECT_EQ(SetAndGet(u"object", &unit_)->Type, XDT_OBJECT);
  EXPECT_EQ(out_.Null, 1);
  EXPECT_EQ(stack_.GetVariable(u"none", &out_), 0);
  EXPECT_EQ(out_.Type, XDT_OBJECT);
}

TEST_F(VarStackerTest, OwnedValuesMoveAndReplaceInPlace) {
  SetUnitValue(&unit_, int32_t{5});
  EXPECT_EQ(SetAndGet(u"a", &unit_)->Value.Long, 5);
  SetUnitValue(&unit_, u"x", 1);
  XCHAR* text = unit_.Value.Text;
  EXPECT_EQ(SetAndGet(u"a", &unit_)->Value.Text, text);
  EXPECT_EQ(unit_.Owned, nullptr);  // clearing the unit frees nothing now
  HeapObject* object = new HeapObject(&releases_);
  SetUnitValue(&unit_, object, 1);
  EXPECT_EQ(SetAndGet(u"a", &unit_)->Value.Object, object);
  EXPECT_EQ(releases_, 0);
  stack_.ClearStacker();
  EXPECT_EQ(releases_, 1);
}

TEST_F(VarStackerTest, GridsMoveUnlessTheyReferToAnother) {
  XRowGrider* owned = OwnedGrider(false);
  unit_.Type = 135;
  SetUnitValue(&unit_, owned, 1);
  EXPECT_EQ(SetAndGet(u"owned", &unit_)->Value.Grider, owned);
  EXPECT_EQ(out_.Type, 135);
  XRowGrider* reference = OwnedGrider(true);
  SetUnitValue(&unit_, reference, 1);
  const XRowGrider* copies[2] = {SetAndGet(u"reference", &unit_)->Value.Grider};
  EXPECT_EQ(unit_.Owned, reference);  // still the unit's to release
  SetUnitValue(&unit_, &grider_, 0);
  copies[1] = SetAndGet(u"borrowed", &unit_)->Value.Grider;
  for (const XRowGrider* copy : copies) {
    EXPECT_NE(copy, &grider_);
    EXPECT_EQ(copy->IsReference(), 0);
    ASSERT_EQ(copy->GetColCounter(), 2);
    EXPECT_EQ(copy->GetType()[1], XDT_STRING);
  }
}

TEST_F(VarStackerTest, NullValuesKeepTheirType) {
  unit_.Type = XDT_LONG;
  EXPECT_EQ(SetAndGet(u"n", &unit_)->Type, XDT_LONG);
  EXPECT_EQ(out_.Null, 1);
  EXPECT_EQ(SetAndGet(u"n", nullptr)->Type, 0);
  EXPECT_EQ(out_.Null, 1);
  unit_.Type = XDT_ALTSTRING;  // a type no variable holds
  unit_.Null = 0;
  EXPECT_EQ(SetAndGet(u"n", &unit_)->Type, XDT_ALTSTRING);
  EXPECT_EQ(out_.Null, 1);
}

TEST_F(VarStackerTest, NamesAreCutTo31Characters) {
  const std::u16string name(40, u'n'), cut = name.substr(0, 31);
  SetUnitValue(&unit_, int32_t{1});
  stack_.SetVariable(name.c_str(), &unit_);
  SetUnitValue(&unit_, int32_t{2});
  stack_.SetVariable((cut + u"other").c_str(), &unit_);  // the same variable
  EXPECT_EQ(stack_.GetVariable(name.c_str(), &out_), 0);
  EXPECT_EQ(stack_.GetVariable(cut.substr(0, 30).c_str(), &out_), 0);
  ASSERT_EQ(stack_.GetVariable(cut.c_str(), &out_), 1);
  EXPECT_EQ(out_.Value.Long, 2);
}

TEST_F(VarStackerTest, MovingTransfersTheVariables) {
  SetUnitValue(&unit_, u"moved", 1);
  stack_.SetVariable(u"a", &unit_);
  XVarStacker other(std::move(stack_));
  EXPECT_EQ(stack_.GetVariable(u"a", &out_), 0);
  stack_ = std::move(other);
  EXPECT_EQ(other.GetVariable(u"a", &out_), 0);
  EXPECT_EQ(stack_.GetVariable(u"a", &out_), 1);
}

// Every kind of value, owned or borrowed, replaced by every other, read, stored again from the
// unit it was lent to, and released: the sanitizers see any leak, double release or use after
// free, and every heap object made is released exactly once.
TEST_F(VarStackerTest, EveryValueReplacesEveryOther) {
  int32_t made = 0;
  const std::vector<std::function<void(XDataUnit*)>> makers = {
      [](XDataUnit* u) { SetUnitValue(u, int32_t{7}); },
      [](XDataUnit* u) { SetUnitValue(u, 1.5); },
      [](XDataUnit* u) {
        SetUnitValue(u, DATETIME{2024, 3, 5, 14, 7, 9, 0});
      },
      [](XDataUnit* u) { SetUnitValue(u, u"owned", 1); },
      [](XDataUnit* u) { SetUnitValue(u, kText, 0); },
      [](XDataUnit* u) { SetUserValue(u, kBlob, 1); },
      [](XDataUnit* u) { SetUserValue(u, kBlob, 0); },
      [](XDataUnit* u) { SetUnitValue(u, static_cast<IArchive*>(XMemoArchive::Malloc()), 1); },
      [this](XDataUnit* u) { SetUnitValue(u, &archive_, 0); },
      [this, &made](XDataUnit* u) { SetUnitValue(u, new HeapObject(&releases_), 1), ++made; },
      [this](XDataUnit* u) { SetUnitValue(u, &object_, 0); },
      [this](XDataUnit* u) { SetUnitValue(u, OwnedGrider(false), 1); },
      [this](XDataUnit* u) { SetUnitValue(u, OwnedGrider(true), 1); },
      [this](XDataUnit* u) { SetUnitValue(u, &grider_, 0); },
      [](XDataUnit* u) { SetUnitValue(u, static_cast<const XCHAR*>(nullptr), 1); },
  };
  for (size_t first = 0; first < makers.size(); ++first) {
    for (size_t second = 0; second < makers.size(); ++second) {
      SCOPED_TRACE(std::to_string(first) + " then " + std::to_string(second));
      makers[first](&unit_);
      stack_.SetVariable(u"v", &unit_);
      ClearUnitData(&unit_);
      makers[second](&unit_);
      SetAndGet(u"v", &unit_);
      ClearUnitData(&unit_);
      SetAndGet(u"v", &out_);
      stack_.ClearStacker();
      ClearUnitData(&out_);
    }
  }
  EXPECT_EQ(releases_, made);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

// An object on the heap that counts its releases and then destroys itself, so that a missed or
// doubled release shows as a leak or a use after free under the sanitizers.
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
const DATETIME kDate{2024, 3, 5, 14, 7, 9, 0};

class VarStackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUnitNull(&unit_);
    SetUnitNull(&out_);
    archive_.Append("bytes", 5);
    const uint16_t types[2] = {XDT_LONG, XDT_STRING};
    const uint16_t sizes[2] = {4, 10};
    ASSERT_EQ(grider_.SetItemDesc(types, sizes, 2), 1);
  }
  void TearDown() override {
    ClearUnitData(&unit_);
    ClearUnitData(&out_);
    stack_.ClearStacker();
  }
  XDataUnit* Get(const XCHAR* name) {
    EXPECT_EQ(stack_.GetVariable(name, &out_), 1);
    EXPECT_EQ(out_.Owned, nullptr);
    return &out_;
  }
  std::string ArchiveText(IArchive* archive) {
    uint32_t length = 0;
    archive->GetLength(&length);
    return std::string(reinterpret_cast<const char*>(archive->GetData()), length);
  }

  XVarStacker stack_;
  XDataUnit unit_;
  XDataUnit out_;
  XMemoArchive archive_;
  XRowGrider grider_;
  LocalObject object_;
  int32_t releases_ = 0;
};

TEST_F(VarStackerTest, ScalarsReadBack) {
  SetUnitValue(&unit_, int32_t{-5});
  stack_.SetVariable(u"i", &unit_);
  SetUnitValue(&unit_, 2.5);
  stack_.SetVariable(u"d", &unit_);
  SetUnitValue(&unit_, kDate);
  stack_.SetVariable(u"t", &unit_);
  EXPECT_EQ(Get(u"i")->Value.Long, -5);
  EXPECT_EQ(Get(u"d")->Value.Double, 2.5);
  EXPECT_EQ(std::memcmp(&Get(u"t")->Value.Time, &kDate, sizeof kDate), 0);
  EXPECT_EQ(out_.Type, XDT_DATETIME);
  EXPECT_EQ(stack_.GetVariable(u"x", &out_), 0);
  EXPECT_EQ(out_.Type, XDT_DATETIME);
}

TEST_F(VarStackerTest, ReplacingKeepsTheVariableAndLendsTheNewValue) {
  SetUnitValue(&unit_, int32_t{5});
  stack_.SetVariable(u"a", &unit_);
  SetUnitValue(&unit_, u"x", 1);
  XCHAR* text = unit_.Value.Text;
  stack_.SetVariable(u"a", &unit_);
  EXPECT_EQ(unit_.Owned, nullptr);  // moved: clearing the unit frees nothing
  ClearUnitData(&unit_);
  EXPECT_EQ(Get(u"a")->Type, XDT_STRING);
  EXPECT_EQ(out_.Value.Text, text);
  EXPECT_EQ(std::u16string(out_.Value.Text), u"x");
}

TEST_F(VarStackerTest, BorrowedValuesAreCopied) {
  SetUnitValue(&unit_, kText, 0);
  stack_.SetVariable(u"text", &unit_);
  SetUserValue(&unit_, kBlob, 0);
  stack_.SetVariable(u"blob", &unit_);
  SetUnitValue(&unit_, &archive_, 0);
  stack_.SetVariable(u"archive", &unit_);
  SetUnitValue(&unit_, &object_, 0);
  stack_.SetVariable(u"object", &unit_);
  EXPECT_NE(Get(u"text")->Value.Text, kText);
  EXPECT_EQ(std::u16string(out_.Value.Text), kText);
  EXPECT_NE(Get(u"blob")->Value.Pointer, kBlob);
  EXPECT_EQ(std::memcmp(out_.Value.Pointer, kBlob, sizeof kBlob), 0);
  EXPECT_NE(Get(u"archive")->Value.Archive, &archive_);
  EXPECT_EQ(ArchiveText(out_.Value.Archive), "bytes");
  EXPECT_EQ(Get(u"object")->Type, XDT_OBJECT);
  EXPECT_EQ(out_.Null, 1);
}

TEST_F(VarStackerTest, OwnedValuesAreMoved) {
  XMemoArchive* archive = XMemoArchive::Malloc();
  SetUnitValue(&unit_, static_cast<IArchive*>(archive), 1);
  stack_.SetVariable(u"archive", &unit_);
  EXPECT_EQ(unit_.Owned, nullptr);
  SetUnitValue(&unit_, new HeapObject(&releases_), 1);
  IObjectVar* object = unit_.Value.Object;
  stack_.SetVariable(u"object", &unit_);
  EXPECT_EQ(Get(u"archive")->Value.Archive, archive);
  EXPECT_EQ(Get(u"object")->Value.Object, object);
  EXPECT_EQ(releases_, 0);
  ClearUnitData(&out_);
  stack_.ClearStacker();
  EXPECT_EQ(releases_, 1);
}

TEST_F(VarStackerTest, GridsMoveUnlessTheyReferToAnother) {
  XRowGrider* owned = XRowGrider::Malloc();
  ASSERT_EQ(owned->CloneGrider(&grider_), 1);
  unit_.Type = 135;
  SetUnitValue(&unit_, owned, 1);
  stack_.SetVariable(u"owned", &unit_);
  EXPECT_EQ(Get(u"owned")->Value.Grider, owned);
  EXPECT_EQ(out_.Type, 135);
  XRowGrider* reference = XRowGrider::Malloc();
  ASSERT_EQ(reference->SetReference(&grider_), 1);
  SetUnitValue(&unit_, reference, 1);
  stack_.SetVariable(u"reference", &unit_);
  EXPECT_EQ(unit_.Owned, reference);  // still the unit's to release
  SetUnitValue(&unit_, &grider_, 0);
  stack_.SetVariable(u"borrowed", &unit_);
  for (const XCHAR* name : {u"reference", u"borrowed"}) {
    XRowGrider* copy = Get(name)->Value.Grider;
    EXPECT_NE(copy, &grider_);
    EXPECT_EQ(copy->IsReference(), 0);
    ASSERT_EQ(copy->GetColCounter(), 2);
    EXPECT_EQ(copy->GetType()[1], XDT_STRING);
  }
}

TEST_F(VarStackerTest, NullValuesKeepTheirType) {
  unit_.Type = XDT_LONG;
  stack_.SetVariable(u"n", &unit_);
  EXPECT_EQ(Get(u"n")->Type, XDT_LONG);
  EXPECT_EQ(out_.Null, 1);
  stack_.SetVariable(u"n", nullptr);
  EXPECT_EQ(Get(u"n")->Type, 0);
  EXPECT_EQ(out_.Null, 1);
  unit_.Type = XDT_ALTSTRING;
  unit_.Null = 0;
  stack_.SetVariable(u"n", &unit_);
  EXPECT_EQ(Get(u"n")->Type, XDT_ALTSTRING);
  EXPECT_EQ(out_.Null, 1);
}

TEST_F(VarStackerTest, NamesAreCutTo31Characters) {
  const std::u16string name(40, u'n');
  SetUnitValue(&unit_, int32_t{1});
  stack_.SetVariable(name.c_str(), &unit_);
  SetUnitValue(&unit_, int32_t{2});
  stack_.SetVariable((name.substr(0, 31) + u"other").c_str(), &unit_);
  EXPECT_EQ(stack_.GetVariable(name.c_str(), &out_), 0);
  EXPECT_EQ(Get(name.substr(0, 31).c_str())->Value.Long, 2);
  EXPECT_EQ(stack_.GetVariable(name.substr(0, 30).c_str(), &out_), 0);
}

TEST_F(VarStackerTest, MovingTransfersTheVariables) {
  SetUnitValue(&unit_, u"moved", 1);
  stack_.SetVariable(u"a", &unit_);
  XVarStacker other(std::move(stack_));
  EXPECT_EQ(stack_.GetVariable(u"a", &out_), 0);
  EXPECT_EQ(other.GetVariable(u"a", &out_), 1);
  stack_ = std::move(other);
  EXPECT_EQ(std::u16string(Get(u"a")->Value.Text), u"moved");
}

// Every kind of value, owned or borrowed, replaced by every other, read, stored again from the
// lent unit and released: the sanitizers see any leak, double release or use after free.
TEST_F(VarStackerTest, EveryValueReplacesEveryOther) {
  const std::vector<std::function<void(XDataUnit*)>> makers = {
      [](XDataUnit* u) { SetUnitValue(u, int32_t{7}); },
      [](XDataUnit* u) { SetUnitValue(u, 1.5); },
      [](XDataUnit* u) { SetUnitValue(u, kDate); },
      [](XDataUnit* u) { SetUnitValue(u, u"owned", 1); },
      [](XDataUnit* u) { SetUnitValue(u, kText, 0); },
      [](XDataUnit* u) { SetUserValue(u, kBlob, 1); },
      [](XDataUnit* u) { SetUserValue(u, kBlob, 0); },
      [](XDataUnit* u) { SetUnitValue(u, static_cast<IArchive*>(XMemoArchive::Malloc()), 1); },
      [this](XDataUnit* u) { SetUnitValue(u, &archive_, 0); },
      [this](XDataUnit* u) { SetUnitValue(u, new HeapObject(&releases_), 1); },
      [this](XDataUnit* u) { SetUnitValue(u, &object_, 0); },
      [this](XDataUnit* u) {
        XRowGrider* grider = XRowGrider::Malloc();
        grider->CloneGrider(&grider_);
        SetUnitValue(u, grider, 1);
      },
      [this](XDataUnit* u) {
        XRowGrider* grider = XRowGrider::Malloc();
        grider->SetReference(&grider_);
        SetUnitValue(u, grider, 1);
      },
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
      stack_.SetVariable(u"v", &unit_);
      ClearUnitData(&unit_);
      stack_.SetVariable(u"v", Get(u"v"));
      Get(u"v");
      ClearUnitData(&out_);
      stack_.ClearStacker();
    }
  }
  EXPECT_GT(releases_, 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "byte_stream.h"
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

// The content of a text, blob, archive or grid value, to compare a copy with its source.
std::string Held(const XDataUnit& unit) {
  const auto* bytes = static_cast<const char*>(unit.Value.Pointer);
  switch (unit.Type) {
    case XDT_STRING:
      return std::string(bytes, std::u16string(unit.Value.Text).size() * 2);
    case XDT_USER:
      return std::string(bytes, sizeof kBlob);
    case XDT_ARCHIVE:
      return test_util::Chars(unit.Value.Archive);
    default:  // a grid
      return std::to_string(unit.Value.Grider->GetColCounter()) +
             (unit.Value.Grider->GetType()[1] == XDT_STRING ? "" : "?");
  }
}

enum Kept { kMoved, kCopied, kNull };

// Every kind of value, owned or borrowed, and what the stack keeps of it: the very storage the
// unit owned, a copy of what it borrowed (a grid referring to another is copied too), or a null
// value of the unit's type.
struct Maker {
  std::function<void(XDataUnit*)> make;
  Kept kept;
};

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
  std::vector<Maker> Makers() {
    return {
        {[](XDataUnit* u) { SetUnitValue(u, int32_t{7}); }, kMoved},
        {[](XDataUnit* u) { SetUnitValue(u, u"owned", 1); }, kMoved},
        {[](XDataUnit* u) { SetUnitValue(u, kText, 0); }, kCopied},
        {[](XDataUnit* u) { SetUserValue(u, kBlob, 1); }, kMoved},
        {[](XDataUnit* u) { SetUnitValue(u, static_cast<IArchive*>(XMemoArchive::Malloc()), 1); },
         kMoved},
        {[this](XDataUnit* u) { SetUnitValue(u, &archive_, 0); }, kCopied},
        {[this](XDataUnit* u) { SetUnitValue(u, new HeapObject(&releases_), 1), ++made_; }, kMoved},
        {[this](XDataUnit* u) { SetUnitValue(u, &object_, 0); }, kNull},
        {[this](XDataUnit* u) { u->Type = 135, SetUnitValue(u, OwnedGrider(false), 1); }, kMoved},
        {[this](XDataUnit* u) { SetUnitValue(u, OwnedGrider(true), 1); }, kCopied},
        {[this](XDataUnit* u) { SetUnitValue(u, &grider_, 0); }, kCopied},
        {[](XDataUnit* u) { SetUnitValue(u, static_cast<const XCHAR*>(nullptr), 1); }, kNull},
        {[](XDataUnit* u) { u->Type = XDT_LONG; }, kNull},  // a null unit keeps its type
        // A type no variable holds.
        {[](XDataUnit* u) { u->Type = XDT_ALTSTRING, u->Null = 0; }, kNull},
    };
  }

  XVarStacker stack_;
  XDataUnit unit_, out_;
  XMemoArchive archive_;
  XRowGrider grider_;
  LocalObject object_;
  int32_t releases_ = 0, made_ = 0;
};

TEST_F(VarStackerTest, OwnedValuesMoveAndBorrowedOnesAreCopied) {
  for (const Maker& c : Makers()) {
    c.make(&unit_);
    const void* value = unit_.Value.Pointer;
    const bool owned = unit_.Owned != nullptr;
    SetAndGet(u"v", &unit_);
    EXPECT_EQ(out_.Type, unit_.Type);
    EXPECT_EQ(out_.Null, c.kept == kNull ? 1 : 0);
    EXPECT_FALSE(out_.Type == XDT_GRIDER && out_.Value.Grider->IsReference());
    EXPECT_EQ(unit_.Owned != nullptr, owned && c.kept != kMoved);  // still the unit's to give back
    if (c.kept == kCopied) {
      EXPECT_NE(out_.Value.Pointer, value);
      EXPECT_EQ(Held(out_), Held(unit_));
    } else {
      EXPECT_EQ(out_.Value.Pointer, c.kept == kMoved ? value : nullptr);
    }
    ClearUnitData(&unit_);
  }
  EXPECT_EQ(SetAndGet(u"v", nullptr)->Type, 0);
  EXPECT_EQ(stack_.GetVariable(u"none", &out_), 0);
  stack_.ClearStacker();
  EXPECT_EQ(releases_, made_);
}

TEST_F(VarStackerTest, NamesAreCutTo31Characters) {
  const std::u16string name(40, u'n'), cut = name.substr(0, 31);
  SetUnitValue(&unit_, int32_t{1});
  stack_.SetVariable(name.c_str(), &unit_);
  SetUnitValue(&unit_, int32_t{2});
  stack_.SetVariable((cut + u"other").c_str(), &unit_);  // the same variable
  EXPECT_EQ(stack_.GetVariable(name.c_str(), &out_), 0);
  ASSERT_EQ(stack_.GetVariable(cut.c_str(), &out_), 1);
  EXPECT_EQ(out_.Value.Long, 2);
}

// Every kind of value replaced by every other, read, stored again from the unit it was lent to,
// and released: the sanitizers see any leak, double release or use after free, and every heap
// object made is released exactly once.
TEST_F(VarStackerTest, EveryValueReplacesEveryOther) {
  const std::vector<Maker> makers = Makers();
  for (size_t first = 0; first < makers.size(); ++first) {
    for (size_t second = 0; second < makers.size(); ++second) {
      SCOPED_TRACE(std::to_string(first) + " then " + std::to_string(second));
      makers[first].make(&unit_);
      stack_.SetVariable(u"v", &unit_);
      ClearUnitData(&unit_);
      makers[second].make(&unit_);
      SetAndGet(u"v", &unit_);
      ClearUnitData(&unit_);
      SetAndGet(u"v", &out_);
      stack_.ClearStacker();
      ClearUnitData(&out_);
    }
  }
  EXPECT_EQ(releases_, made_);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdlib>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// Descriptors made by the library, released with the grid tests.
class DescChain {
 public:
  explicit DescChain(std::initializer_list<XItemDataDesc> items) {
    for (const XItemDataDesc& item : items) {
      XItemDataDesc* d = MallocItemDesc();
      d->Code = item.Code;
      d->Type = item.Type;
      d->Size = item.Size;
      if (!descs_.empty()) descs_.back()->Next = d;
      descs_.push_back(d);
    }
  }
  ~DescChain() {
    for (XItemDataDesc* d : descs_) std::free(d);
  }
  XItemDataDesc* head() const { return descs_.front(); }
  const XItemDataDesc* const* array() const { return descs_.data(); }

 private:
  std::vector<XItemDataDesc*> descs_;
};

XItemDataDesc Desc(uint32_t code, uint16_t type, uint16_t size) {
  XItemDataDesc d{};
  d.Code = code;
  d.Type = type;
  d.Size = size;
  return d;
}

std::vector<uint16_t> Types(const XRowGrider& g) {
  return std::vector<uint16_t>(g.GetType(), g.GetType() + g.GetColCounter());
}

TEST(LayoutTest, DescriptionFromUnitsTakesTypeSizeAndCode) {
  XDataUnit units[2] = {Unit(), Unit()};
  units[0].Type = XDT_LONG, units[0].Size = 4, units[0].Code = 11;
  units[1].Type = XDT_STRING, units[1].Size = 10, units[1].Code = 12;
  XRowGrider g;
  ASSERT_EQ(1, g.SetItemDesc(units, 2));
  EXPECT_EQ((std::vector<uint16_t>{XDT_LONG, XDT_STRING}), Types(g));
  EXPECT_EQ(10, g.GetSize()[1]);
  EXPECT_EQ(12u, g.GetCode()[1]);
  EXPECT_EQ(nullptr, g.GetKape());
  EXPECT_EQ(24 + 6 + 12 + 10, g.GetRowMaxSize());
}

TEST(LayoutTest, DescriptorsReadAlternativeTextAsText) {
  DescChain chain({Desc(5, XDT_ALTSTRING, 20), Desc(6, XDT_DOUBLE, 8)});
  XRowGrider g;
  ASSERT_EQ(1, g.SetDataDesc(chain.head()));
  EXPECT_EQ((std::vector<uint16_t>{XDT_STRING, XDT_DOUBLE}), Types(g));
  EXPECT_EQ(nullptr, g.GetCode());

  const uint32_t kapes[2] = {70, 80};
  ASSERT_EQ(1, g.SetDataDesc(chain.array(), kapes, 2));
  EXPECT_EQ((std::vector<uint16_t>{XDT_STRING, XDT_DOUBLE}), Types(g));
  EXPECT_EQ(6u, g.GetCode()[1]);
  EXPECT_EQ(80u, g.GetKape()[1]);
  EXPECT_EQ(0, g.SetDataDesc(chain.array(), nullptr, 2));
  EXPECT_EQ(0, g.GetColCounter());
}

TEST(LayoutTest, AddItemDescGrowsTo256ColumnsOnly) {
  DescChain chain({Desc(9, XDT_ALTSTRING, 3)});
  XRowGrider g;
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(1, g.AddItemDesc(chain.head(), uint32_t(1000 + i)));
  EXPECT_EQ(0, g.AddItemDesc(chain.head(), 0));
  EXPECT_EQ(256, g.GetColCounter());
  EXPECT_EQ(XDT_STRING, g.GetType()[255]);
  EXPECT_EQ(1255u, g.GetKape()[255]);
  EXPECT_EQ(9u, g.GetCode()[0]);
  EXPECT_EQ(0, g.AddItemDesc(nullptr, 0));
}

TEST(LayoutTest, AddItemDescRefusesArraysMadeByOtherDescriptions) {
  DescChain chain({Desc(1, XDT_LONG, 4)});
  const uint16_t types[1] = {XDT_LONG}, sizes[1] = {4};
  XRowGrider g;
  ASSERT_EQ(1, g.SetItemDesc(types, sizes, 1));
  EXPECT_EQ(0, g.AddItemDesc(chain.head(), 0));
  EXPECT_EQ(1, g.GetColCounter());
}

TEST(LayoutTest, DescriptionsBeyond256ColumnsLeaveTheGridEmpty) {
  std::vector<uint16_t> types(257, XDT_LONG), sizes(257, 4);
  XRowGrider g;
  ASSERT_EQ(1, g.SetItemDesc(types.data(), sizes.data(), 256));
  EXPECT_EQ(0, g.SetItemDesc(types.data(), sizes.data(), 257));
  EXPECT_EQ(0, g.GetColCounter());
  EXPECT_EQ(nullptr, g.GetType());
  EXPECT_EQ(0, g.SetItemDesc(types.data(), sizes.data(), -1));
  EXPECT_EQ(0, g.SetItemDesc(nullptr, sizes.data(), 1));
  EXPECT_EQ(1, g.SetItemDesc(nullptr, nullptr, 0));
  EXPECT_EQ(24, g.GetRowMaxSize());
  XDataUnit u = Unit();
  EXPECT_EQ(0, g.GetValue(0, &u));
}

TEST(LayoutTest, SetDescKapeNumbersOrCopiesKapes) {
  const uint16_t types[3] = {XDT_LONG, XDT_LONG, XDT_LONG}, sizes[3] = {4, 4, 4};
  XRowGrider g;
  ASSERT_EQ(1, g.SetItemDesc(types, sizes, 3));
  EXPECT_EQ(0, g.SetDescKape(nullptr, 2));
  EXPECT_EQ(nullptr, g.GetKape());
  ASSERT_EQ(1, g.SetDescKape(nullptr, 3));
  EXPECT_EQ((std::vector<uint32_t>{0, 1, 2}), std::vector<uint32_t>(g.GetKape(), g.GetKape() + 3));
  const uint32_t kapes[4] = {7, 8, 9, 10};
  ASSERT_EQ(1, g.SetDescKape(kapes, 4));
  EXPECT_EQ((std::vector<uint32_t>{7, 8, 9}), std::vector<uint32_t>(g.GetKape(), g.GetKape() + 3));
}

class LinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, Load(&g_, GridRecord({XDT_LONG}, {4},
                                      {Line{1, 0, 0, LineData({Long(1)})},
                                       Line{2, 0, 0, LineData({Long(2)})},
                                       Line{3, 0, 0, LineData({Long(3)})}})));
  }
  std::vector<uint32_t> Markers() {
    std::vector<uint32_t> out;
    for (void* l = g_.GetNextLine(nullptr); l != nullptr; l = g_.GetNextLine(l)) {
      out.push_back(g_.GetLineMarker(l));
    }
    return out;
  }
  void* Nth(int n) {
    void* l = g_.GetNextLine(nullptr);
    while (n-- > 0) l = g_.GetNextLine(l);
    return l;
  }
  XRowGrider g_;
};

TEST_F(LinesTest, HeaderAccessorsDefaultToTheCurrentLine) {
  EXPECT_EQ(0u, g_.GetLineMarker(nullptr));
  EXPECT_EQ(0, g_.SetLineProper(nullptr, 5));
  EXPECT_EQ(Nth(0), g_.MoveNextLine(0));
  EXPECT_EQ(Nth(1), g_.MoveNextLine(1));
  EXPECT_EQ(2u, g_.GetLineMarker(nullptr));
  ASSERT_EQ(1, g_.SetLineProper(nullptr, 5));
  ASSERT_EQ(1, g_.SetLineBinder(nullptr, uintptr_t{0x1234567890}));
  EXPECT_EQ(5u, g_.GetLineProper(Nth(1)));
  EXPECT_EQ(uintptr_t{0x1234567890}, g_.GetLineBinder(Nth(1)));
  ASSERT_EQ(1, g_.SetLineMarker(Nth(2), 30));
  EXPECT_EQ(30u, g_.GetLineMarker(Nth(2)));
  g_.MoveNextLine(1);
  EXPECT_EQ(nullptr, g_.MoveNextLine(1));
  EXPECT_EQ(nullptr, g_.MoveNextLine(1));
  EXPECT_EQ(3, g_.GetRowCounter());
}

TEST_F(LinesTest, DeletingTheCurrentLineMovesCurrentOn) {
  g_.MoveNextLine(0);
  ASSERT_EQ(1, g_.DeleteRowLine(Nth(0)));
  EXPECT_EQ(2u, g_.GetLineMarker(nullptr));
  EXPECT_EQ((std::vector<uint32_t>{2, 3}), Markers());
}

TEST_F(LinesTest, DeletingTheLastLineMovesTailBack) {
  ASSERT_EQ(1, g_.DeleteRowLine(Nth(2)));
  EXPECT_EQ((std::vector<uint32_t>{1, 2}), Markers());
  ASSERT_EQ(1, g_.DeleteRowLine(Nth(1)));
  ASSERT_EQ(1, g_.DeleteRowLine(Nth(0)));
  EXPECT_EQ(0, g_.GetRowCounter());
  EXPECT_EQ(nullptr, g_.GetNextLine(nullptr));
}

TEST_F(LinesTest, DeletingALineOfAnotherGridIsRefused) {
  XRowGrider other;
  ASSERT_EQ(1, other.CloneGrider(&g_));
  EXPECT_EQ(0, g_.DeleteRowLine(other.GetNextLine(nullptr)));
  EXPECT_EQ(0, g_.DeleteRowLine(nullptr));
  EXPECT_EQ(3, g_.GetRowCounter());
}

}  // namespace

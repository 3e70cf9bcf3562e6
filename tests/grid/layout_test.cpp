#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

XItemDataDesc Desc(uint32_t code, uint16_t type, uint16_t size) {
  XItemDataDesc d{};
  d.Code = code, d.Type = type, d.Size = size;
  return d;
}

template <typename T>
std::vector<T> Column(const T* array, int32_t count) {
  return array == nullptr ? std::vector<T>() : std::vector<T>(array, array + count);
}

TEST(LayoutTest, DescriptionsFromUnitsAndDescriptors) {
  XDataUnit units[2] = {Unit(), Unit()};
  units[0].Type = XDT_LONG, units[0].Size = 4, units[0].Code = 11;
  units[1].Type = XDT_STRING, units[1].Size = 10, units[1].Code = 12;
  XRowGrider g;
  ASSERT_EQ(1, g.SetItemDesc(units, 2));
  EXPECT_EQ((std::vector<uint32_t>{11, 12}), Column(g.GetCode(), 2));
  EXPECT_EQ(nullptr, g.GetKape());
  EXPECT_EQ(24 + 6 + 12 + 10, g.GetRowMaxSize());

  XItemDataDesc chain[2] = {Desc(5, XDT_ALTSTRING, 20), Desc(6, XDT_DOUBLE, 8)};
  const XItemDataDesc* descs[2] = {&chain[0], &chain[1]};
  const uint32_t kapes[2] = {70, 80};
  ASSERT_EQ(1, g.SetDataDesc(descs, kapes, 2));
  EXPECT_EQ((std::vector<uint16_t>{XDT_STRING, XDT_DOUBLE}), Column(g.GetType(), 2));
  EXPECT_EQ((std::vector<uint32_t>{5, 6}), Column(g.GetCode(), 2));
  EXPECT_EQ((std::vector<uint32_t>{70, 80}), Column(g.GetKape(), 2));
  EXPECT_EQ(0, g.SetDataDesc(descs, nullptr, 2));
  EXPECT_EQ(0, g.GetColCounter());
}

TEST(LayoutTest, AddItemDescGrowsItsOwnArraysTo256ColumnsOnly) {
  XItemDataDesc d = Desc(9, XDT_ALTSTRING, 3);
  XRowGrider g;
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(1, g.AddItemDesc(&d, uint32_t(1000 + i)));
  EXPECT_EQ(0, g.AddItemDesc(&d, 0));
  EXPECT_EQ(256, g.GetColCounter());
  EXPECT_EQ(XDT_STRING, g.GetType()[255]);
  EXPECT_EQ(1255u, g.GetKape()[255]);

  const uint16_t types[1] = {XDT_LONG}, sizes[1] = {4};
  ASSERT_EQ(1, g.SetItemDesc(types, sizes, 1));
  EXPECT_EQ(0, g.AddItemDesc(&d, 0));
  EXPECT_EQ(1, g.GetColCounter());
}

class LinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<Line> lines;
    for (uint32_t m = 1; m <= 3; ++m) lines.push_back(Line{m, 0, 0, LineData({Long(1)})});
    ASSERT_EQ(1, Load(&g_, GridRecord({XDT_LONG}, {4}, lines)));
  }
  std::vector<uint32_t> Markers() {
    std::vector<uint32_t> out;
    for (void* l = g_.GetNextLine(nullptr); l; l = g_.GetNextLine(l))
      out.push_back(g_.GetLineMarker(l));
    return out;
  }
  XRowGrider g_;
};

TEST_F(LinesTest, DeleteRowLineKeepsTheListRight) {
  XRowGrider other;
  ASSERT_EQ(1, other.CloneGrider(&g_));
  EXPECT_EQ(0, g_.DeleteRowLine(other.GetNextLine(nullptr)));
  EXPECT_EQ(0u, g_.GetLineMarker(nullptr));  // no current line
  void* first = g_.MoveNextLine(0);
  ASSERT_EQ(1, g_.DeleteRowLine(first));  // the current line: Current moves on
  EXPECT_EQ(2u, g_.GetLineMarker(nullptr));
  ASSERT_EQ(1, g_.DeleteRowLine(g_.MoveNextLine(1)));  // the last line
  EXPECT_EQ((std::vector<uint32_t>{2}), Markers());
  EXPECT_EQ(1, g_.GetRowCounter());
}

}  // namespace

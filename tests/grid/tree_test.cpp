#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// Own key and parent key cells of one line; an empty cell is a null key.
using KeyCells = std::pair<Bytes, Bytes>;

void Make(XRowGrider* grid, uint16_t own, uint16_t parent, const std::vector<KeyCells>& keys) {
  std::vector<Line> lines;
  for (const KeyCells& k : keys) lines.push_back(Line{0, 0, 0, LineData({k.first, k.second})});
  ASSERT_EQ(1, Load(grid, GridRecord({own, parent}, {0, 0}, lines)));
}

// The forest from `root` by line positions: "0(1(3) 2)" is line 0 with children 1 and 2, and
// line 3 a child of 1.
std::string Render(const XRowGrider& grid, const void* root) {
  std::map<const void*, int> position;
  int n = 0;
  for (const void* l = grid.GetNextLine(nullptr); l != nullptr; l = grid.GetNextLine(l))
    position[l] = n++;
  std::string out;
  auto walk = [&](const void* node, auto& self) -> void {
    for (; node != nullptr; node = grid.GetTreeNode(node, 0)) {
      out += std::to_string(position[node]);
      if (const void* child = grid.GetTreeNode(node, 1)) {
        out += "(";
        self(child, self);
        out += ")";
      }
      if (grid.GetTreeNode(node, 0) != nullptr) out += " ";
    }
  };
  walk(root, walk);
  return out;
}

std::string Tree(XRowGrider* grid) {
  std::string first = Render(*grid, grid->GetTreeRooter());
  EXPECT_EQ(first, Render(*grid, grid->GetTreeRooter()));  // building again changes nothing
  return first;
}

const Bytes kNull;
Bytes Key(const char16_t* text) {
  return Text(text);
}

TEST(TreeTest, LinksLinesByTheirKeys) {
  const struct {
    uint16_t type;
    std::vector<KeyCells> keys;
    std::string forest;
  } cases[] = {
      {XDT_LONG,
       {{Long(1), kNull}, {Long(2), Long(1)}, {Long(3), Long(1)}, {Long(4), Long(2)}},
       "0(1(3) 2)"},
      {XDT_LONG, {{Long(1), Long(1)}, {Long(2), Long(1)}}, "0(1)"},  // never its own parent
      {XDT_LONG, {{Long(1), kNull}, {Long(1), kNull}, {Long(2), Long(1)}}, "0(2) 1"},
      {XDT_LONG, {{Long(5), Long(9)}, {Long(6), Long(9)}}, "0 1"},
      {XDT_LONG, {{Long(1), Long(2)}, {Long(2), Long(1)}, {Long(3), kNull}}, "2"},  // a cycle
      {XDT_LONG, {{Bytes{1, 0}, kNull}, {Long(2), Bytes{1, 0}}}, "0 1"},            // short cells
      {XDT_STRING,
       {{Key(u"a"), kNull},
        {Key(u"b"), Key(u"a")},
        {Key(u"ab"), Key(u"a")},
        {Key(u"c"), Key(u"ab")}},
       "0(1 2(3))"},
      {XDT_STRING, {{Raw(u"ab", 4), kNull}, {Key(u"x"), Key(u"ab")}}, "0(1)"},  // no NUL
      {XDT_STRING, {{Key(u""), kNull}, {Key(u"x"), Key(u"")}}, "0(1)"},
      {XDT_DOUBLE, {{Dbl(1), kNull}, {Dbl(2), Dbl(1)}, {Dbl(3), Dbl(2)}}, "0 1 2"},
  };
  for (const auto& c : cases) {
    XRowGrider grid;
    Make(&grid, c.type, c.type, c.keys);
    EXPECT_EQ(c.forest, Tree(&grid));
  }
}

TEST(TreeTest, NoTreeWithoutTwoKeyColumnsOfOneType) {
  XRowGrider grid;
  Make(&grid, XDT_LONG, XDT_STRING, {{Long(1), kNull}, {Long(2), Key(u"1")}});
  EXPECT_EQ(nullptr, grid.GetTreeRooter());
  for (const void* l = grid.GetNextLine(nullptr); l != nullptr; l = grid.GetNextLine(l)) {
    EXPECT_EQ(nullptr, grid.GetTreeNode(l, 0));
    EXPECT_EQ(nullptr, grid.GetTreeNode(l, 1));
  }
  Make(&grid, XDT_LONG, XDT_LONG, {});
  EXPECT_EQ(nullptr, grid.GetTreeRooter());
  ASSERT_EQ(1, Load(&grid, GridRecord({XDT_LONG}, {4}, {Line{0, 0, 0, LineData({Long(1)})}})));
  EXPECT_EQ(nullptr, grid.GetTreeRooter());
}

// Random keys, duplicates, missing parents and cycles against a plain reading of the rule.
TEST(TreeTest, RandomForestsMatchAReferenceBuild) {
  std::mt19937 random(20240305);
  for (int round = 0; round < 20; ++round) {
    int n = 1 + int(random() % 120);
    std::vector<int> own(n), parent(n);
    std::vector<KeyCells> keys;
    for (int i = 0; i < n; ++i) {
      own[i] = int(random() % (n + 5));
      parent[i] = random() % 8 == 0 ? -1 : int(random() % (n + 5));
      keys.push_back({Long(own[i]), parent[i] < 0 ? kNull : Long(parent[i])});
    }
    std::vector<std::vector<int>> children(n);
    std::vector<int> roots;
    for (int i = 0; i < n; ++i) {
      int p = 0;
      while (p < n && (p == i || parent[i] < 0 || own[p] != parent[i])) ++p;
      (p < n ? children[p] : roots).push_back(i);
    }
    auto render = [&](const std::vector<int>& nodes, auto& self) -> std::string {
      std::string out;
      for (size_t k = 0; k < nodes.size(); ++k) {
        out += std::to_string(nodes[k]);
        if (!children[nodes[k]].empty()) out += "(" + self(children[nodes[k]], self) + ")";
        if (k + 1 < nodes.size()) out += " ";
      }
      return out;
    };
    XRowGrider grid;
    Make(&grid, XDT_LONG, XDT_LONG, keys);
    EXPECT_EQ(render(roots, render), Tree(&grid)) << "round " << round;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

// Own key and parent key cells of one line; an empty cell is a null key.
using KeyCells = std::pair<Bytes, Bytes>;
// The children of each line by list position, in order, then the roots.
using Forest = std::vector<std::vector<int>>;

void Make(XRowGrider* grid, uint16_t own, uint16_t parent, const std::vector<KeyCells>& keys) {
  std::vector<Line> lines;
  for (const KeyCells& k : keys) lines.push_back(Line{0, 0, 0, LineData({k.first, k.second})});
  ASSERT_EQ(1, Load(grid, GridRecord({own, parent}, {0, 0}, lines)));
}

// Builds the tree twice (the second build must not change it) and reads it back.
Forest Tree(XRowGrider* grid) {
  grid->GetTreeRooter();
  std::map<const void*, int> position;
  for (const void* l = grid->GetNextLine(nullptr); l != nullptr; l = grid->GetNextLine(l))
    position[l] = int(position.size());
  Forest forest(position.size() + 1);
  auto siblings = [&](const void* first, std::vector<int>* out) {
    for (const void* n = first; n != nullptr && out->size() <= position.size();
         n = grid->GetTreeNode(n, 0))
      out->push_back(position.at(n));
  };
  siblings(grid->GetTreeRooter(), &forest.back());
  for (const auto& [line, at] : position) siblings(grid->GetTreeNode(line, 1), &forest[at]);
  return forest;
}

TEST(TreeTest, LinksLinesByTheirKeys) {
  const struct {
    uint16_t type;
    std::vector<KeyCells> keys;
    Forest forest;
  } cases[] = {
      {XDT_STRING,  // "a" is not "ab"
       {{Text(u"a"), {}}, {Text(u"ab"), Text(u"a")}, {Text(u"c"), Text(u"ab")}},
       {{1}, {2}, {}, {0}}},
      {XDT_STRING, {{Raw(u"ab", 4), {}}, {Text(u"x"), Text(u"ab")}}, {{1}, {}, {0}}},  // no NUL
  };
  for (const auto& c : cases) {
    XRowGrider grid;
    Make(&grid, c.type, c.type, c.keys);
    EXPECT_EQ(c.forest, Tree(&grid));
  }
  XRowGrider grid;
  Make(&grid, XDT_LONG, XDT_STRING, {{Long(1), {}}, {Long(2), Text(u"1")}});
  EXPECT_EQ(nullptr, grid.GetTreeRooter());
  ASSERT_EQ(1, Load(&grid, GridRecord({XDT_LONG}, {4}, {Line{0, 0, 0, LineData({Long(1)})}})));
  EXPECT_EQ(nullptr, grid.GetTreeRooter());
}

// Random keys, duplicates, missing parents, lines naming themselves and cycles against a plain
// reading of the rule: the parent is the first other line whose key is the parent key.
TEST(TreeTest, RandomForestsMatchAReferenceBuild) {
  std::mt19937 random(20240305);
  for (int round = 0; round < 20; ++round) {
    int n = 1 + int(random() % 120);
    std::vector<int> own(n), parent(n);
    std::vector<KeyCells> keys;
    Forest expected(n + 1);
    for (int i = 0; i < n; ++i) {
      own[i] = int(random() % (n + 5));
      parent[i] = random() % 8 == 0 ? -1 : int(random() % (n + 5));
      keys.push_back({Long(own[i]), parent[i] < 0 ? Bytes() : Long(parent[i])});
    }
    for (int i = 0; i < n; ++i) {
      int p = 0;
      while (p < n && (p == i || parent[i] < 0 || own[p] != parent[i])) ++p;
      expected[p].push_back(i);
    }
    XRowGrider grid;
    Make(&grid, XDT_LONG, XDT_LONG, keys);
    EXPECT_EQ(expected, Tree(&grid)) << "round " << round;
  }
}

}  // namespace

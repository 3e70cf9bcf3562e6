// Line memory as grids hand lines to one another and across threads, and the two ways a grid
// is stored: straight into a memory archive, or through the serializer into any other archive.
#include <gtest/gtest.h>
#include <malloc.h>

#include <thread>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

const uint16_t kTypes[3] = {XDT_LONG, XDT_STRING, XDT_ARCHIVE};
const uint16_t kSizes[3] = {4, 0, 0};

std::u16string LineText(int32_t i) {
  return std::u16string(size_t(i % 40), char16_t(u'a' + i % 26));
}

// Line i: integer i, a text of i % 40 characters, and an archive cell of `archive_bytes` bytes
// (none for 0), so lines fall in many block sizes, large ones included.
void Fill(XRowGrider* grid, int32_t lines, uint32_t archive_bytes = 0) {
  grid->SetItemDesc(kTypes, kSizes, 3);
  Bytes content(archive_bytes, 0x5A);
  XMemoArchive archive;
  if (archive_bytes > 0) archive.Append(content.data(), archive_bytes);
  for (int32_t i = 0; i < lines; ++i) {
    std::u16string text = LineText(i);
    XDataUnit units[3] = {Unit(), Unit(), Unit()};
    SetUnitValue(&units[0], i);
    SetUnitValue(&units[1], text.c_str(), 0);
    if (archive_bytes > 0) SetUnitValue(&units[2], &archive, 0);
    ASSERT_NE(nullptr, grid->AddItemLine(units, 3, 0));
  }
}

// A grid's lines: the integer cell of each, in order; the text cells are checked on the way.
std::vector<int32_t> Numbers(XRowGrider* grid) {
  std::vector<int32_t> numbers = FirstLongs(grid);
  size_t i = 0;
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    XDataUnit u = Unit();
    grid->GetValue(line, 1, &u);
    EXPECT_EQ(LineText(numbers[i++]), u.Value.Text);
  }
  return numbers;
}

std::vector<int32_t> Count(int32_t n) {
  std::vector<int32_t> numbers(size_t(n), 0);
  for (int32_t i = 0; i < n; ++i) numbers[size_t(i)] = i;
  return numbers;
}

TEST(LineMemoryTest, GridsOnSeveralThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<Bytes> stored(4);
  for (size_t t = 0; t < stored.size(); ++t) {
    threads.emplace_back([&stored, t] {
      for (int round = 0; round < 3; ++round) {
        XRowGrider grid, copy;
        Fill(&grid, 3000);
        copy.CloneGrider(&grid);
        stored[t] = Store(&copy);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  XRowGrider expected;
  Fill(&expected, 3000);
  for (const Bytes& bytes : stored) EXPECT_EQ(Store(&expected), bytes);
}

size_t HeapInUse() {
  return mallinfo2().uordblks;
}

// Clearing or destroying a grid gives its line memory back to the heap, whichever thread made
// the lines.
TEST(LineMemoryTest, ClearingGivesTheMemoryBack) {
  size_t before = HeapInUse();
  {
    XRowGrider grid;
    Fill(&grid, 20000);
    if (HeapInUse() < before + 20000 * 64) GTEST_SKIP() << "the heap does not report its use";
    grid.ClearBuffer();
    EXPECT_LT(HeapInUse(), before + 256 * 1024);
    std::thread maker([&] { Fill(&grid, 20000); });
    maker.join();
  }
  EXPECT_LT(HeapInUse(), before + 256 * 1024);
}

// A worker fills a grid and ends; its lines then move through take-over, attach and a
// same-layout merge, one line is deleted and one grows, and everything is freed here.
TEST(LineMemoryTest, LinesOutliveTheThreadThatMadeThem) {
  XRowBuffer row;
  std::thread maker([&] {
    XRowGrider filled;
    Fill(&filled, 300);
    XRowGrider* grid = XRowGrider::Malloc();
    grid->AttachGrider(&filled);
    row.AddDataUnit(grid, 1);
  });
  maker.join();
  XRowGrider taken, attached, merged;
  ASSERT_EQ(1, taken.SetGrider(&row));
  attached.AttachGrider(&taken);
  merged.SetItemDesc(kTypes, kSizes, 3);
  ASSERT_EQ(1, merged.AddGrider(&attached));
  EXPECT_EQ(0, attached.GetRowCounter());
  ASSERT_EQ(1, merged.DeleteRowLine(merged.GetNextLine(nullptr)));
  std::vector<int32_t> rest = Count(300);
  rest.erase(rest.begin());
  EXPECT_EQ(rest, Numbers(&merged));
  void* line = merged.GetNextLine(nullptr);
  XDataUnit longer = Unit();
  SetUnitValue(&longer, u"a text longer than any the worker wrote", 0);
  ASSERT_EQ(1, merged.SetValue(line, 1, &longer));
  XDataUnit read = Unit();
  merged.GetValue(line, 1, &read);
  EXPECT_EQ(std::u16string(u"a text longer than any the worker wrote"), read.Value.Text);
}

// Line data is a block of exactly its size, from a slab or, above 512 bytes, from malloc: cells
// that grow and shrink move a line's data between the two, and each block is freed as the kind
// it is. Line i holds a double and a text of 240 + i characters, data on both sides of the border.
TEST(LineMemoryTest, CellsResizeAcrossTheLargeBlockBorder) {
  const uint16_t types[2] = {XDT_DOUBLE, XDT_STRING};
  const uint16_t sizes[2] = {0, 0};
  XRowGrider grid;
  grid.SetItemDesc(types, sizes, 2);
  auto text_of = [](size_t i) { return std::u16string(240 + i, u'x'); };
  std::vector<void*> lines;
  for (size_t i = 0; i < 20; ++i) {
    std::u16string text = text_of(i);
    XDataUnit units[2] = {Unit(), Unit()};
    SetUnitValue(&units[0], double(i) + 0.5);
    SetUnitValue(&units[1], text.c_str(), 0);
    lines.push_back(grid.AddItemLine(units, 2, 0));
    ASSERT_NE(nullptr, lines.back());
  }
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < lines.size(); ++i) {
      std::u16string text = round == 0   ? u"short"
                            : round == 1 ? std::u16string(600, u'y')
                                         : text_of(i);
      XDataUnit unit = Unit();
      SetUnitValue(&unit, text.c_str(), 0);
      ASSERT_EQ(1, grid.SetValue(lines[i], 1, &unit));
      grid.GetValue(lines[i], 1, &unit);
      EXPECT_EQ(text, unit.Value.Text);
    }
  }
  ASSERT_EQ(1, grid.ConfirmType(0, XDT_LONG));  // every double cell shrinks from 8 bytes to 4
  for (size_t i = 0; i < lines.size(); ++i) {
    XDataUnit unit = Unit();
    grid.GetValue(lines[i], 0, &unit);
    EXPECT_EQ(int32_t(i), unit.Value.Long);
    grid.GetValue(lines[i], 1, &unit);
    EXPECT_EQ(text_of(i), unit.Value.Text);
    EXPECT_EQ(4 + 4 + 2 * (241 + i), DataOf(lines[i]).size());
  }
}

struct StoreCase {
  int32_t lines;
  uint32_t archive_bytes;
};

class StorePaths : public ::testing::TestWithParam<StoreCase> {};

// Lines above the memory writer's room and the serializer path's buffer come out the same way.
TEST_P(StorePaths, MemoryAndOtherArchivesGetTheSameBytes) {
  XRowGrider grid;
  Fill(&grid, GetParam().lines, GetParam().archive_bytes);
  XMemoArchive memory;
  memory.Append("xy", 2);  // a record after other content
  ASSERT_EQ(1, grid.Serialize(&memory, 1, 0));
  PlainArchive plain;
  plain.Append("xy", 2);
  ASSERT_EQ(1, grid.Serialize(&plain, 1, 0));
  Bytes bytes = Contents(&memory);
  EXPECT_EQ(bytes, plain.Content());

  XRowGrider loaded;
  memory.Seek(2);
  ASSERT_EQ(1, loaded.Serialize(&memory, 0, 0));
  EXPECT_EQ(Count(GetParam().lines), Numbers(&loaded));
  EXPECT_EQ(Bytes(bytes.begin() + 2, bytes.end()), Store(&loaded));
}

INSTANTIATE_TEST_SUITE_P(Grid, StorePaths,
                         ::testing::Values(StoreCase{0, 0}, StoreCase{3000, 0}, StoreCase{5, 20000},
                                           StoreCase{3, 65000}));

}  // namespace

// Rows against plain memory work: storing and loading a row of 1000 units against memcpy of the
// stored bytes, and adding a packed line of four items against the allocations the units need
// (a record each, a copy of the text) plus a memcpy of the line.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

constexpr int kQuads = 250;  // integer, text of 16 characters, double, date-time
const XCHAR kText[] = u"sixteen chars ok";

void FillRow(XRowBuffer* row) {
  const DATETIME when{2024, 6, 1, 12, 30, 45, 0};
  for (int i = 0; i < kQuads; ++i) {
    row->AddDataUnit(i);
    row->AddDataUnit(kText, 1);
    row->AddDataUnit(i * 0.5);
    row->AddDataUnit(when);
  }
}

std::vector<uint8_t> StoredRow() {
  XRowBuffer row;
  FillRow(&row);
  XMemoArchive archive;
  row.Serialize(&archive, 1);
  uint32_t length = 0;
  archive.GetLength(&length);
  return std::vector<uint8_t>(archive.GetData(), archive.GetData() + length);
}

void BM_RowStore(benchmark::State& state) {
  XRowBuffer row;
  FillRow(&row);
  XMemoArchive archive;
  for (auto _ : state) {
    archive.SetLength(0);
    benchmark::DoNotOptimize(row.Serialize(&archive, 1));
  }
  uint32_t length = 0;
  archive.GetLength(&length);
  state.SetBytesProcessed(state.iterations() * length);
}
BENCHMARK(BM_RowStore);

void BM_RowLoad(benchmark::State& state) {
  const std::vector<uint8_t> bytes = StoredRow();
  XCakeArchive archive;
  XRowBuffer row;
  for (auto _ : state) {
    archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
    benchmark::DoNotOptimize(row.Serialize(&archive, 0));
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_RowLoad);

void BM_MemcpyStoredRow(benchmark::State& state) {
  const std::vector<uint8_t> bytes = StoredRow();
  std::vector<uint8_t> target(bytes.size());
  for (auto _ : state) {
    std::memcpy(target.data(), bytes.data(), bytes.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_MemcpyStoredRow);

// A line of an integer, a text slot of 17 characters, a double and a database timestamp.
struct Line {
  Line() {
    const int32_t integer = 7;
    const double floater = 2.5;
    const DbTimestamp stamp{2024, 6, 1, 12, 30, 45, 0};
    std::memcpy(bytes, &integer, 4);
    std::memcpy(bytes + 4, kText, sizeof kText);
    std::memcpy(bytes + 38, &floater, 8);
    std::memcpy(bytes + 46, &stamp, 16);
    const uint16_t types[] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME};
    const uint16_t sizes[] = {4, 17, 8, 16};
    for (int i = 0; i < 4; ++i) {
      descs[i] = XItemDataDesc{};
      descs[i].Type = types[i];
      descs[i].Size = sizes[i];
      descs[i].Next = i < 3 ? &descs[i + 1] : nullptr;
    }
  }
  uint8_t bytes[62];
  XItemDataDesc descs[4];
};

void BM_AddItemLine(benchmark::State& state) {
  Line line;
  const int32_t indexes[] = {0, 1, 2, 3};
  XRowBuffer row;
  for (auto _ : state) {
    benchmark::DoNotOptimize(row.AddItemLine(line.bytes, nullptr, line.descs, indexes, 4));
    row.ClearBuffer();
  }
}
BENCHMARK(BM_AddItemLine);

// The same allocations and bytes moved by hand: four unit records, one text copy, the line.
void BM_MallocUnitsAndMemcpyLine(benchmark::State& state) {
  Line line;
  uint8_t copy[sizeof line.bytes];
  for (auto _ : state) {
    void* blocks[5];
    for (int i = 0; i < 4; ++i) blocks[i] = std::malloc(sizeof(XDataUnit));
    blocks[4] = std::malloc(sizeof kText);
    std::memcpy(copy, line.bytes, sizeof copy);
    benchmark::DoNotOptimize(blocks);
    benchmark::ClobberMemory();
    for (void* block : blocks) std::free(block);
  }
}
BENCHMARK(BM_MallocUnitsAndMemcpyLine);

}  // namespace

BENCHMARK_MAIN();

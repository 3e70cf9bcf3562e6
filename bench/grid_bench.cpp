// Storing and loading a grid of 1,000,000 lines (integer, 16-character text, double, date-time)
// through an XMemoArchive, beside memcpy of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

constexpr int32_t kLines = 1000000;

// The stored record of the benchmark grid, made once: its lines written from database records.
const std::vector<uint8_t>& StoredGrid() {
  static const std::vector<uint8_t> stored = [] {
    const uint16_t types[4] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME};
    const uint16_t sizes[4] = {4, 17, 8, 8};
    XMemoArchive archive;
    XMF_Serialize serializer(&archive);
    int32_t columns = 4;
    serializer.WriteHeader(GDI_GRID, XMF_OPEN);
    serializer.Write_Proper(GDI_COLCOUNTER, &columns, sizeof columns);
    serializer.Write_Proper(GDI_TYPES, types, sizeof types);
    serializer.Write_Proper(GDI_SIZES, sizes, sizeof sizes);
    XFieldDesc fields[4] = {};
    for (int i = 0; i < 4; ++i) {
      fields[i].Type = types[i];
      fields[i].Size = sizes[i];
      fields[i].Next = i < 3 ? &fields[i + 1] : nullptr;
    }
    uint8_t record[4 + 34 + 8 + 16];
    for (int32_t i = 0; i < kLines; ++i) {
      double value = i * 0.25;
      DbTimestamp stamp = {2024, 1, int16_t(1 + i % 28), int16_t(i % 24), 0, 0, 0};
      const char16_t* text = u"sixteen chars 00";
      std::memcpy(record, &i, 4);
      std::memcpy(record + 4, text, 34);
      std::memcpy(record + 38, &value, 8);
      std::memcpy(record + 46, &stamp, 16);
      SaveGriderLine(&archive, fields, record, nullptr);
    }
    serializer.WriteHeader(GDI_GRID, XMF_CLOSE);
    uint32_t length = 0;
    archive.GetLength(&length);
    return std::vector<uint8_t>(archive.GetData(), archive.GetData() + length);
  }();
  return stored;
}

XRowGrider& LoadedGrid() {
  static XRowGrider grid = [] {
    XRowGrider loaded;
    XMemoArchive archive;
    archive.Append(StoredGrid().data(), uint32_t(StoredGrid().size()));
    loaded.Serialize(&archive, 0, 0);
    return loaded;
  }();
  return grid;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(StoredGrid().size()));
}

// Writes into an archive whose storage is already grown and written once, as memcpy writes into
// a ready buffer: a first write into fresh pages would time the kernel mapping them.
void BM_GridStore(benchmark::State& state) {
  XRowGrider& grid = LoadedGrid();
  XMemoArchive archive;
  grid.Serialize(&archive, 1, 0);
  for (auto _ : state) {
    archive.SetLength(0);
    benchmark::DoNotOptimize(grid.Serialize(&archive, 1, 0));
  }
  SetBytes(state);
}

// Loads into an empty grid; giving the lines back afterwards is not timed.
void BM_GridLoad(benchmark::State& state) {
  XMemoArchive archive;
  archive.Append(StoredGrid().data(), uint32_t(StoredGrid().size()));
  XRowGrider grid;
  for (auto _ : state) {
    archive.SeekToBegin();
    benchmark::DoNotOptimize(grid.Serialize(&archive, 0, 0));
    state.PauseTiming();
    grid.ClearBuffer();
    state.ResumeTiming();
  }
  SetBytes(state);
}

void BM_Memcpy(benchmark::State& state) {
  const std::vector<uint8_t>& source = StoredGrid();
  std::vector<uint8_t> target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size());
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

// The floor under loading: the two allocations every line needs (record and data) and the copy
// of its data, with nothing read or linked.
void BM_LineAllocations(benchmark::State& state) {
  std::vector<RowLine*> lines(kLines);
  const uint8_t data[62] = {};
  for (auto _ : state) {
    for (RowLine*& line : lines) {
      line = static_cast<RowLine*>(std::calloc(1, sizeof(RowLine)));
      line->Data = static_cast<uint8_t*>(std::malloc(sizeof data));
      std::memcpy(line->Data, data, sizeof data);
    }
    state.PauseTiming();
    for (RowLine* line : lines) {
      std::free(line->Data);
      std::free(line);
    }
    state.ResumeTiming();
  }
  SetBytes(state);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineAllocations)->Unit(benchmark::kMillisecond);

}  // namespace

// Grid lines: merging grids (moved whole, or key-mapped copies beside CloneGrider of the same
// grid), building the tree view, and adding lines from units beside the bare allocations and copy
// a line needs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

constexpr int32_t kColumns = 4;

struct Layout {
  uint16_t types[kColumns];
  uint16_t sizes[kColumns];
  uint32_t kapes[kColumns];
};

// The target's columns (the same-layout source has them too); key-mapped sources: the same
// columns in another order, found by kape, and the integer and double columns' types swapped, so
// every number converts.
const Layout kTarget = {
    {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME}, {4, 17, 8, 8}, {10, 20, 30, 40}};
const Layout kSources[2] = {
    {{XDT_DATETIME, XDT_DOUBLE, XDT_LONG, XDT_STRING}, {8, 8, 4, 17}, {40, 30, 10, 20}},
    {{XDT_DOUBLE, XDT_STRING, XDT_LONG, XDT_DATETIME}, {8, 17, 4, 8}, {10, 20, 30, 40}},
};

void Describe(XRowGrider* grid, const Layout& layout) {
  grid->SetItemDesc(layout.types, layout.sizes, kColumns);
  grid->SetDescKape(layout.kapes, kColumns);
}

// Unit values for line i in the column order of `types`.
void LineUnits(int32_t i, const uint16_t* types, XDataUnit* units) {
  static const DATETIME kTime = {2024, 3, 5, 14, 7, 9, 0};
  for (int32_t c = 0; c < kColumns; ++c) {
    SetUnitNull(&units[c]);
    switch (types[c]) {
      case XDT_LONG:
        SetUnitValue(&units[c], i);
        break;
      case XDT_DOUBLE:
        SetUnitValue(&units[c], i * 0.25);
        break;
      case XDT_STRING:
        SetUnitValue(&units[c], u"sixteen chars 00", 0);
        break;
      default:
        SetUnitValue(&units[c], kTime);
        break;
    }
  }
}

void Fill(XRowGrider* grid, const uint16_t* types, int32_t lines) {
  XDataUnit units[kColumns];
  for (int32_t i = 0; i < lines; ++i) {
    LineUnits(i, types, units);
    grid->AddItemLine(units, kColumns, 0);
  }
}

// Moves the lines over and back: two same-layout merges per iteration.
void BM_SameLayoutMerge(benchmark::State& state) {
  XRowGrider source, target;
  Describe(&source, kTarget);
  Describe(&target, kTarget);
  Fill(&source, kTarget.types, int32_t(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(target.AddGrider(&source));
    benchmark::DoNotOptimize(source.AddGrider(&target));
  }
}

constexpr int32_t kMergeLines = 1000000;

// The million-line sources of the key-mapped merges and clones, built once and shared, and the
// grid they are merged or cloned into, emptied before every round (not timed).
XRowGrider& Source(int64_t kind) {
  static XRowGrider sources[2];
  XRowGrider& source = sources[kind];
  if (source.GetColCounter() == 0) {
    Describe(&source, kSources[kind]);
    Fill(&source, kSources[kind].types, kMergeLines);
  }
  return source;
}

XRowGrider& EmptyTarget() {
  static XRowGrider target;
  Describe(&target, kTarget);
  return target;
}

// A key-mapped merge: range 0 permutes the columns, range 1 also swaps integer and double.
void BM_KeyMappedMerge(benchmark::State& state) {
  XRowGrider& source = Source(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    XRowGrider& target = EmptyTarget();
    state.ResumeTiming();
    benchmark::DoNotOptimize(target.AddGrider(&source));
  }
  state.SetItemsProcessed(state.iterations() * kMergeLines);
}

// The deep copy of the same source.
void BM_CloneGrider(benchmark::State& state) {
  XRowGrider& source = Source(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    XRowGrider& target = EmptyTarget();
    state.ResumeTiming();
    benchmark::DoNotOptimize(target.CloneGrider(&source));
  }
  state.SetItemsProcessed(state.iterations() * kMergeLines);
}

// Keys 0..n-1 in list order; range 1 selects the parents: 0 a random earlier line, 1 a key no
// line has (every line a root, the longest search), 2 text keys with random earlier parents.
void BM_TreeRooter(benchmark::State& state) {
  int32_t n = int32_t(state.range(0));
  bool text = state.range(1) == 2;
  const uint16_t types[2] = {text ? XDT_STRING : XDT_LONG, text ? XDT_STRING : XDT_LONG};
  const uint16_t sizes[2] = {0, 0};
  XRowGrider grid;
  grid.SetItemDesc(types, sizes, 2);
  std::mt19937 random(7);
  std::vector<std::u16string> names(n);
  for (int32_t i = 0; i < n; ++i) {
    names[i] = u"node-";
    for (char c : std::to_string(i)) names[i] += char16_t(c);
  }
  for (int32_t i = 0; i < n; ++i) {
    int32_t parent = state.range(1) == 1 ? n + i : i > 0 ? int32_t(random() % i) : -1;
    XDataUnit units[2];
    SetUnitNull(&units[0]);
    SetUnitNull(&units[1]);
    if (text) {
      SetUnitValue(&units[0], names[i].c_str(), 0);
      if (parent >= 0) SetUnitValue(&units[1], names[parent].c_str(), 0);
    } else {
      SetUnitValue(&units[0], i);
      if (parent >= 0) SetUnitValue(&units[1], parent);
    }
    grid.AddItemLine(units, 2, 0);
  }
  for (auto _ : state) benchmark::DoNotOptimize(grid.GetTreeRooter());
}

constexpr int32_t kBatch = 1000;

// Adds a batch of lines from units to an emptied grid.
void BM_AddItemLine(benchmark::State& state) {
  XRowGrider grid;
  XDataUnit units[kColumns];
  LineUnits(1, kTarget.types, units);
  for (auto _ : state) {
    state.PauseTiming();
    Describe(&grid, kTarget);
    state.ResumeTiming();
    for (int32_t i = 0; i < kBatch; ++i)
      benchmark::DoNotOptimize(grid.AddItemLine(units, kColumns, 0));
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

// The same batch as two bare allocations (record and data) and a copy of the line's bytes.
void BM_LineMallocCopy(benchmark::State& state) {
  std::vector<RowLine*> lines(kBatch);
  uint8_t data[8 + 4 + 34 + 8 + 8] = {};
  for (auto _ : state) {
    for (RowLine*& line : lines) {
      line = static_cast<RowLine*>(std::calloc(1, sizeof(RowLine)));
      line->Data = static_cast<uint8_t*>(std::malloc(sizeof data));
      std::memcpy(line->Data, data, sizeof data);
      benchmark::DoNotOptimize(line);
    }
    state.PauseTiming();
    for (RowLine* line : lines) {
      std::free(line->Data);
      std::free(line);
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

BENCHMARK(BM_SameLayoutMerge)->Arg(10)->Arg(1000000);
// A round that follows a reshuffle of the heap's free lists can take many times longer than the
// rest, so every repetition runs ten rounds and the median of five repetitions is the figure;
// merges and clones interleave.
void MergeRuns(benchmark::internal::Benchmark* b) {
  b->Iterations(10)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_KeyMappedMerge)->Arg(0)->Apply(MergeRuns);
BENCHMARK(BM_CloneGrider)->Arg(0)->Apply(MergeRuns);
BENCHMARK(BM_KeyMappedMerge)->Arg(1)->Apply(MergeRuns);
BENCHMARK(BM_CloneGrider)->Arg(1)->Apply(MergeRuns);
BENCHMARK(BM_TreeRooter)->ArgsProduct({{1000, 10000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddItemLine);
BENCHMARK(BM_LineMallocCopy);

}  // namespace

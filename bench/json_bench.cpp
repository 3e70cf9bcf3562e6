// Loading the three standard JSON documents from memory, tree freed included, against
// RapidJSON's in-situ parse of the same bytes (when its headers are installed) and against a
// floor: copying the bytes and scanning them once with memchr. Every iteration copies the
// document into a work buffer first, since the parsers write into their text. The documents are
// read from $TABROW_DATA/json, else from the shared data folder beside the source tree.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tabrow/jsondoc.h"

#if defined(TABROW_BENCH_RAPIDJSON)
#include <rapidjson/document.h>
#endif

namespace {

const char* const kDocuments[] = {"twitter.json", "citm_catalog.json", "canada.json"};

const std::string& Document(int64_t index) {
  static std::vector<std::string> documents = [] {
    const char* folder = std::getenv("TABROW_DATA");
    std::vector<std::string> texts;
    for (const char* name : kDocuments) {
      std::ifstream in(
          std::string(folder != nullptr ? folder : TABROW_SHARED_DATA) + "/json/" + name,
          std::ios::binary);
      std::ostringstream content;
      content << in.rdbuf();
      texts.push_back(content.str());
    }
    return texts;
  }();
  return documents[static_cast<size_t>(index)];
}

// Runs `parse` over a fresh copy of the document per iteration (a NUL follows the copy).
template <typename Parse>
void Run(benchmark::State& state, Parse parse) {
  const std::string& text = Document(state.range(0));
  state.SetLabel(kDocuments[state.range(0)]);
  if (text.empty()) {
    state.SkipWithError("document not found: set TABROW_DATA");
    return;
  }
  std::vector<char> work(text.size() + 1, 0);
  for (auto _ : state) {
    std::memcpy(work.data(), text.data(), text.size());
    benchmark::DoNotOptimize(parse(work.data(), text.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void Floor(benchmark::State& state) {
  Run(state, [](char* text, size_t size) { return std::memchr(text, 0, size) == nullptr; });
}

void Tabrow(benchmark::State& state) {
  Run(state, [](char* text, size_t size) {
    XJsonDoc doc;
    return doc.LoadText(1, text, static_cast<uint32_t>(size));
  });
}

#if defined(TABROW_BENCH_RAPIDJSON)
void RapidJson(benchmark::State& state) {
  Run(state, [](char* text, size_t) {
    rapidjson::Document doc;
    doc.ParseInsitu(text);
    return !doc.HasParseError();
  });
}
BENCHMARK(RapidJson)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(Floor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(Tabrow)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

// A grid of 100,000 lines (integer, text, double, date-time) written as a Rowset document by
// WriteXmlDoc, beside the same document built and saved with pugixml; read back by FromXmlDoc
// (the parse included), beside pugixml parsing the same bytes and walking every cell; and a JSON
// array of 100,000 objects extracted into a grid, beside the parse alone.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

constexpr int32_t kLines = 100000;

struct Values {
  int32_t id;
  std::u16string text;  // the grid's form
  std::string utf8;     // pugixml's form
  double price;
  DATETIME when;
};

Values LineValues(int32_t i) {
  std::string name = "item <" + std::to_string(i) + ">";
  return {i, std::u16string(name.begin(), name.end()), name, i * 0.25 - 1000.0,
          DATETIME{2024, int8_t(1 + i % 12), int8_t(1 + i % 28), int8_t(i % 24), 7, 9, 0}};
}

XRowGrider& SourceGrid() {
  static XRowGrider* grid = [] {
    XRowGrider* made = XRowGrider::Malloc();
    const uint16_t types[4] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME};
    const uint16_t sizes[4] = {0, 0, 0, 0};
    made->SetItemDesc(types, sizes, 4);
    XDataUnit units[4];
    for (XDataUnit& unit : units) SetUnitNull(&unit);
    for (int32_t i = 0; i < kLines; ++i) {
      const Values v = LineValues(i);
      SetUnitValue(&units[0], v.id);
      SetUnitValue(&units[1], v.text.c_str(), 0);
      SetUnitValue(&units[2], v.price);
      SetUnitValue(&units[3], v.when);
      made->AddItemLine(units, 4, 0);
    }
    return made;
  }();
  return *grid;
}

const std::string& RowsetText() {
  static const std::string text = [] {
    XMemoArchive archive;
    SourceGrid().WriteXmlDoc(&archive);
    uint32_t length = 0;
    archive.GetLength(&length);
    return std::string(reinterpret_cast<const char*>(archive.GetData()), length);
  }();
  return text;
}

void Tabrow_WriteRowset(benchmark::State& state) {
  XRowGrider& grid = SourceGrid();
  for (auto _ : state) {
    XMemoArchive archive;
    benchmark::DoNotOptimize(grid.WriteXmlDoc(&archive));
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

// The peer builds the same document from the same values and saves it into memory.
struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

void Pugixml_WriteRowset(benchmark::State& state) {
  std::vector<Values> values;
  for (int32_t i = 0; i < kLines; ++i) values.push_back(LineValues(i));
  for (auto _ : state) {
    pugi::xml_document document;
    pugi::xml_node rowset = document.append_child("Rowset");
    rowset.append_attribute("Type") = "ISFT";
    for (const Values& v : values) {
      pugi::xml_node row = rowset.append_child("Row");
      char number[64];
      *std::to_chars(number, number + 63, v.id).ptr = 0;
      row.append_child("FD_1").text() = number;
      row.append_child("FD_2").text() = v.utf8.c_str();
      *std::to_chars(number, number + 63, v.price, std::chars_format::fixed, 8).ptr = 0;
      row.append_child("FD_3").text() = number;
      std::snprintf(number, sizeof number, "%04d-%02d-%02d %02d:%02d:%02d", v.when.Year,
                    v.when.Month, v.when.Day, v.when.Hour, v.when.Minute, v.when.Second);
      row.append_child("FD_4").text() = number;
    }
    StringWriter writer;
    document.save(writer, "", pugi::format_raw);
    benchmark::DoNotOptimize(writer.text.data());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void Tabrow_FromXmlDoc(benchmark::State& state) {
  const std::string& text = RowsetText();
  for (auto _ : state) {
    XML_Archive document;
    document.OpenBuffer(text.data(), uint32_t(text.size()), 1);
    XRowGrider grid;
    benchmark::DoNotOptimize(grid.FromXmlDoc(&document));
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

// FromXmlDoc without the parse: the document is parsed outside the timing (fresh each round, as
// the document's nodes are made on first use); freeing the document and the grid is timed.
void Tabrow_FromXmlDocParsed(benchmark::State& state) {
  const std::string& text = RowsetText();
  for (auto _ : state) {
    state.PauseTiming();
    XML_Archive document;
    document.OpenBuffer(text.data(), uint32_t(text.size()), 1);
    state.ResumeTiming();
    XRowGrider grid;
    benchmark::DoNotOptimize(grid.FromXmlDoc(&document));
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

// The peer parses the same bytes from memory (copying them, as OpenBuffer does) and reads
// every cell's text through to its end.
void ParseAndWalk(benchmark::State& state, unsigned options) {
  const std::string& text = RowsetText();
  for (auto _ : state) {
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size(), options);
    size_t total = 0;
    for (pugi::xml_node row : document.child("Rowset").children()) {
      for (pugi::xml_node cell : row.children()) total += std::strlen(cell.child_value());
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void Pugixml_ParseAndWalk(benchmark::State& state) {
  ParseAndWalk(state, pugi::parse_default);
}

// With the option XML_Archive parses with: leading character data kept in the element.
void Pugixml_ParseAndWalkEmbedded(benchmark::State& state) {
  ParseAndWalk(state, pugi::parse_default | pugi::parse_embed_pcdata);
}

const std::string& JsonText() {
  static const std::string text = [] {
    std::string out = "{\"items\":[";
    for (int32_t i = 0; i < kLines; ++i) {
      out += (i > 0 ? ",{\"id\":" : "{\"id\":") + std::to_string(i) + ",\"name\":\"item " +
             std::to_string(i) + "\",\"price\":" + std::to_string(i * 0.25) +
             ",\"when\":\"2024-03-05 14:07:09\"}";
    }
    return out + "]}";
  }();
  return text;
}

// The JSON document is parsed in place, so each round parses a fresh copy.
void LoadJson(XHttpBuffer* buffer, std::vector<char>* block) {
  const std::string& text = JsonText();
  block->assign(text.begin(), text.end());
  buffer->SetMarkerDoc("application/json", block->data(), uint32_t(block->size()));
}

void Tabrow_JsonParseOnly(benchmark::State& state) {
  std::vector<char> block;
  for (auto _ : state) {
    XHttpBuffer buffer;
    LoadJson(&buffer, &block);
    benchmark::DoNotOptimize(buffer.GetJsonDoc());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

// The query: path /items, items id, name, price and when.
std::vector<uint8_t> JsonQuery() {
  std::vector<uint8_t> query(20, 0);
  for (std::u16string name : {u"/items", u"id", u"name", u"price", u"when"}) {
    const uint16_t head[4] = {0, uint16_t(8 + 2 * (name.size() + 1)), 0, XDT_STRING};
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(head);
    query.insert(query.end(), bytes, bytes + sizeof head);
    const uint8_t* text = reinterpret_cast<const uint8_t*>(name.c_str());
    query.insert(query.end(), text, text + 2 * (name.size() + 1));
  }
  query[2] = uint8_t(query.size());
  query[3] = uint8_t(query.size() >> 8);
  query[17] = 1;
  query[18] = 4;
  return query;
}

void Tabrow_JsonToGrid(benchmark::State& state) {
  std::vector<char> block;
  const std::vector<uint8_t> query = JsonQuery();
  XCHAR error[256];
  for (auto _ : state) {
    XHttpBuffer buffer;
    LoadJson(&buffer, &block);
    XRowGrider grid;
    buffer.GetRowGrider(nullptr, reinterpret_cast<const XVariable*>(query.data()), &grid, u"ISFT",
                        error);
    benchmark::DoNotOptimize(grid.GetColCounter());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(Tabrow_WriteRowset)->Unit(benchmark::kMillisecond);
BENCHMARK(Pugixml_WriteRowset)->Unit(benchmark::kMillisecond);
BENCHMARK(Tabrow_FromXmlDoc)->Unit(benchmark::kMillisecond);
BENCHMARK(Tabrow_FromXmlDocParsed)->Unit(benchmark::kMillisecond);
BENCHMARK(Pugixml_ParseAndWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(Pugixml_ParseAndWalkEmbedded)->Unit(benchmark::kMillisecond);
BENCHMARK(Tabrow_JsonParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(Tabrow_JsonToGrid)->Unit(benchmark::kMillisecond);

}  // namespace

// Loads a stored grid from the fuzzer's bytes twice, once from the archive's memory and once item
// by item through a serializer, and checks that both read alike. Then reads every cell, writes
// each value back into its own cell, and checks that the grid, its clone and what they store load
// back and store the same bytes again.
#include <cstring>

#include "fuzz_check.h"
#include "grid_walk.h"

namespace {

std::vector<uint8_t> Store(XRowGrider* grider) {
  XMemoArchive archive;
  fuzz::Require(grider->Serialize(&archive, 1, 0) != 0, "a grid stores into memory");
  return fuzz::Contents(&archive);
}

// A copy of a cell's value that outlives the cell.
struct CellValue {
  explicit CellValue(const XDataUnit& unit) : null((unit.Null & 1) != 0), type(unit.Type) {
    std::memcpy(bytes, &unit.Value, sizeof bytes);
    if (!null && type == XDT_STRING) text = fuzz::Copy(unit.Value.Text);
  }
  bool operator==(const CellValue& other) const {
    if (null != other.null || type != other.type) return false;
    if (null) return true;
    if (type == XDT_STRING) return text == other.text;
    size_t width = type == XDT_LONG ? 4 : 8;
    return std::memcmp(bytes, other.bytes, width) == 0;
  }
  bool null;
  uint16_t type;
  uint8_t bytes[8];
  std::u16string text;
};

// Writes every integer, text, double and date-time cell back into itself: the cell must read the
// same afterwards.
void RewriteCells(XRowGrider* grider) {
  for (void* line = grider->GetNextLine(nullptr); line != nullptr;
       line = grider->GetNextLine(line)) {
    for (int32_t column = 0; column < grider->GetColCounter(); ++column) {
      XDataUnit unit;
      grider->GetValue(line, column, &unit);
      if (unit.Type < XDT_LONG || unit.Type > XDT_DATETIME) continue;
      CellValue before(unit);
      if (grider->SetValue(line, column, &unit) != 1) continue;  // a line whose table is off
      grider->GetValue(line, column, &unit);
      fuzz::Require(CellValue(unit) == before, "a cell written with its own value reads the same");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XCakeArchive input;
  input.SetBuffer(data, static_cast<uint32_t>(size));
  XRowGrider from_memory;
  int32_t loaded = from_memory.Serialize(&input, 0, 0);
  input.SeekToBegin();
  XMF_Serialize items(&input);
  XRowGrider item_by_item;
  fuzz::Require(item_by_item.Serialize(&items, 0, 0) == loaded, "both readers give one result");
  std::vector<uint8_t> stored = Store(&from_memory);
  fuzz::Require(Store(&item_by_item) == stored, "both readers read alike");
  fuzz::ReadEveryCell(&from_memory);

  XCakeArchive reader;
  reader.SetBuffer(stored.data(), static_cast<uint32_t>(stored.size()));
  XRowGrider again;
  fuzz::Require(again.Serialize(&reader, 0, 0) == 1, "a stored grid loads");
  fuzz::Require(Store(&again) == stored, "a loaded grid stores the same bytes again");

  XRowGrider clone;
  fuzz::Require(clone.CloneGrider(&from_memory) == 1, "a loaded grid clones");
  fuzz::Require(Store(&clone) == stored, "a clone stores what its source stores");
  RewriteCells(&clone);
  for (int32_t column = 0; column < clone.GetColCounter(); ++column) {
    clone.ConfirmType(column, XDT_LONG);
  }
  fuzz::ReadEveryCell(&clone);

  XMemoArchive backer;
  fuzz::Require(from_memory.StoreBacker(&backer) != 0, "the reduced record stores");
  XRowGrider headers;
  fuzz::Require(headers.Serialize(&backer, 0, 0) == 1, "the reduced record loads");
  return 0;
}

// Loads a stored row from the fuzzer's bytes, reads every unit (grid cells included), and checks
// that what loaded stores, loads back, and stores the same bytes again; the grids-only form of
// the row loads back too.
#include "fuzz_check.h"
#include "grid_walk.h"

namespace {

void ReadUnits(const XRowBuffer& row) {
  int32_t count = 0;
  for (XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next) {
    ++count;
    fuzz::TouchValue(*unit);
    XCHAR text[40];
    uint32_t written = DataTransfer(unit, text, sizeof text / sizeof text[0]);
    fuzz::Require(written < 40 && text[written] == 0, "a text form fits its buffer");
    if (IsGriderType(unit->Type) && unit->Value.Grider != nullptr && (unit->Null & 1) == 0) {
      fuzz::ReadEveryCell(unit->Value.Grider);
    }
  }
  fuzz::Require(count == row.GetUnitCounter(), "the unit count matches the chain");
  row.CheckRepeater();
}

std::vector<uint8_t> Store(XRowBuffer* row) {
  XMemoArchive archive;
  fuzz::Require(row->Serialize(&archive, 1) != 0, "a row stores into memory");
  return fuzz::Contents(&archive);
}

void Load(XRowBuffer* row, const std::vector<uint8_t>& bytes) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  fuzz::Require(row->Serialize(&archive, 0) == 1, "a stored row loads");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XCakeArchive input;
  input.SetBuffer(data, static_cast<uint32_t>(size));
  XRowBuffer row;
  row.Serialize(&input, 0);  // a failed load keeps the units read so far, which must store too
  ReadUnits(row);

  std::vector<uint8_t> stored = Store(&row);
  XRowBuffer again;
  Load(&again, stored);
  ReadUnits(again);
  fuzz::Require(Store(&again) == stored, "a loaded row stores the same bytes again");

  XMemoArchive backer;
  fuzz::Require(row.StoreBacker(&backer) != 0, "the grids-only form stores");
  XRowBuffer grids;
  Load(&grids, fuzz::Contents(&backer));

  row.AddNullUnit();
  fuzz::Require(row.GetUnitCounter() == again.GetUnitCounter() + 1, "a loaded chain takes units");
  return 0;
}

// Stored rows: exact bytes, round trips with every unit type and nested grids, the grids-only
// form, and streams that are cut or malformed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "stream_bytes.h"
#include "tabrow/tabrow.h"

namespace {

using rows_test::Bytes;

constexpr uint32_t kRow = 0x10000001u;

// A unit item's header, L and fields (Extra, Size and Binder 0).
Bytes& UnitHead(Bytes& out, uint32_t length, uint32_t code, uint16_t type, uint32_t null) {
  out.Header(0x10001, XMF_DATA).Word(length).Word(code).Word(0).Half(type).Half(0);
  return out.Word(null).Word(0);
}

std::vector<uint8_t> Store(XRowBuffer* row) {
  XMemoArchive archive;
  EXPECT_NE(row->Serialize(&archive, 1), 0);
  return rows_test::Contents(&archive);
}

int32_t Load(XRowBuffer* row, const std::vector<uint8_t>& bytes, size_t count) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(count));
  return row->Serialize(&archive, 0);
}

std::vector<XDataUnit*> Units(const XRowBuffer& row) {
  std::vector<XDataUnit*> units;
  for (XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next) {
    units.push_back(unit);
  }
  return units;
}

class CountedObject : public IObjectVar {
 public:
  void Release() override { ++released; }
  int32_t GetType() override { return 5; }
  int released = 0;
};

TEST(RowStream, OneIntegerUnitIsStoredExactly) {
  XRowBuffer row;
  XDataUnit* unit = row.AddDataUnit(42);
  unit->Code = 7;
  unit->Extra = 3;
  unit->Size = 4;
  unit->Binder = static_cast<uintptr_t>(0x100000005ull);  // stored as its low 32 bits
  Bytes expected;
  expected.Open(kRow).Header(0x10001, XMF_DATA).Word(24).Word(7).Word(3).Half(1).Half(4);
  expected.Word(0).Word(5).Word(42).Close(kRow);
  EXPECT_EQ(Store(&row), expected.data());
  row.RowWord2 = 9;
  std::vector<uint8_t> with_word = Bytes().Open(kRow).WordItem(2, 9).data();
  with_word.insert(with_word.end(), expected.data().begin() + 8, expected.data().end());
  EXPECT_EQ(Store(&row), with_word);
}

TEST(RowStream, EveryUnitTypeRoundTripsAndEveryCutIsRefused) {
  XRowBuffer row;
  row.RowWord1 = 1;
  row.RowWord3 = 3;
  const DATETIME when{2001, 2, 3, 4, 5, 6, 0};
  row.AddDataUnit(-5);
  row.AddDataUnit(0.125);
  row.AddDataUnit(when);
  row.AddDataUnit(u"text", 0);
  row.AddNullUnit()->Type = XDT_STRING;
  XMemoArchive* archive = XMemoArchive::Malloc();
  archive->Append("\x01\x02\x03", 3);
  row.AddDataUnit(archive, 1);
  row.AddDataUnit(rows_test::MakeGrid({{1, u"a"}, {2, u"bb"}}), 1);
  row.AddDataUnit(XMemoArchive::Malloc(), 1);  // stored without content from here on
  row.AddUserUnit("\x06\0\0\0ab", 1);
  CountedObject object;
  row.AddDataUnit(&object, 0);
  row.AddNullUnit()->Type = 140;
  const std::vector<uint8_t> bytes = Store(&row);

  XRowBuffer loaded;
  ASSERT_EQ(Load(&loaded, bytes, bytes.size()), 1);
  EXPECT_EQ(loaded.RowWord3, 3);
  std::vector<XDataUnit*> units = Units(loaded);
  ASSERT_EQ(units.size(), 11u);
  EXPECT_EQ(units[0]->Value.Long, -5);
  EXPECT_EQ(units[1]->Value.Double, 0.125);
  EXPECT_EQ(std::memcmp(&units[2]->Value.Time, &when, 8), 0);
  EXPECT_EQ(std::u16string(units[3]->Value.Text), u"text");
  EXPECT_EQ(units[3]->Owned, units[3]->Value.Text);
  EXPECT_EQ(units[4]->Null, 1);
  EXPECT_EQ(rows_test::Contents(units[5]->Value.Archive), (std::vector<uint8_t>{1, 2, 3}));
  XRowGrider* grid = units[6]->Value.Grider;
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(units[6]->Owned, grid);
  XDataUnit cell;
  grid->GetValue(grid->GetNextLine(grid->GetNextLine(nullptr)), 1, &cell);
  EXPECT_EQ(std::u16string(cell.Value.Text), u"bb");
  for (size_t i = 7; i < units.size(); ++i) {
    EXPECT_EQ(units[i]->Null, 1) << i;
    EXPECT_EQ(units[i]->Value.Pointer, nullptr) << i;
  }
  EXPECT_EQ(units[9]->Type, XDT_OBJECT);
  EXPECT_EQ(loaded.AddNullUnit(), units.back()->Next);
  EXPECT_EQ(Store(&row), bytes);

  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    EXPECT_EQ(Load(&loaded, bytes, cut), 0) << cut;
  }
  EXPECT_EQ(object.released, 0);
}

TEST(RowStream, OddStreamsAreReadSafelyAndMalformedOnesRefused) {
  Bytes accepted;  // unknown items skipped; stored bytes never become pointers
  UnitHead(accepted.Open(kRow).WordItem(0x77, 1), 24, 1, XDT_LONG, 0).Word(10).Item(4, "ab", 2);
  UnitHead(accepted, 28, 2, XDT_USER, 0).Raw("\x11\x22\x33\x44\x55\x66\x77\x08", 8);
  UnitHead(accepted, 23, 3, XDT_STRING, 0).Raw("a\0b", 3).Close(0);  // odd, unterminated
  XRowBuffer row;
  ASSERT_EQ(Load(&row, accepted.data(), accepted.data().size()), 1);
  std::vector<XDataUnit*> units = Units(row);
  EXPECT_EQ(units.at(0)->Value.Long, 10);
  EXPECT_EQ(units.at(1)->Value.Pointer, nullptr);
  EXPECT_EQ(std::u16string(units.at(2)->Value.Text), u"ab");  // the odd byte, zero-padded

  Bytes flagged;  // pointer units keep their stored null word but its bit 0
  UnitHead(flagged.Open(kRow), 20, 4, XDT_STRING, 0xFFFFFFF1u);
  UnitHead(flagged, 20, 5, XDT_GRIDER, 0xFFFFFFFEu).Append(rows_test::GridRecord({})).Close(kRow);
  ASSERT_EQ(Load(&row, flagged.data(), flagged.data().size()), 1);
  EXPECT_EQ(Store(&row), flagged.data());

  const std::vector<uint8_t> grid = rows_test::GridRecord({{1, u"x"}});
  struct Case {
    Bytes stream;
    int32_t kept;
  };
  std::vector<Case> cases(7);
  cases[0].stream.Open(0x10001).Close(0x10001);
  cases[1].stream.Open(kRow).Append(grid);  // a grid before any unit
  UnitHead(cases[2].stream.Open(kRow), 24, 1, XDT_LONG, 0).Word(1).Append(grid);
  cases[2].kept = 1;  // a grid after an integer unit
  UnitHead(cases[3].stream.Open(kRow), 20, 1, 129, 0).Append(grid).Append(grid);
  cases[3].kept = 1;  // two grids for one unit
  UnitHead(cases[4].stream.Open(kRow), 32, 1, XDT_DOUBLE, 0).Raw("123456789012", 12);
  UnitHead(cases[5].stream.Open(kRow), 0xFFFFFFF0u, 1, XDT_STRING, 0).Raw("ab", 2);
  cases[6].stream.Open(kRow).Open(5).Close(5);  // a nested record that is no grid
  for (Case& c : cases) {
    row.AddDataUnit(99);  // replaced by loading
    const std::vector<uint8_t>& bytes = c.stream.Close(kRow).data();
    EXPECT_EQ(Load(&row, bytes, bytes.size()), 0);
    EXPECT_EQ(row.GetUnitCounter(), c.kept);
  }
}

TEST(RowStream, StoreBackerWritesGridUnitsOnly) {
  XRowBuffer row;
  row.RowWord1 = 5;  // not written
  row.AddDataUnit(1);
  XDataUnit* unit = row.AddDataUnit(rows_test::MakeGrid({{1, u"a"}, {2, u"b"}}), 1);
  unit->Code = 6;
  XRowGrider* grid = unit->Value.Grider;
  grid->SetLineMarker(grid->GetNextLine(nullptr), 31);
  row.AddNullUnit()->Type = 129;  // no grid: not written

  XMemoArchive archive;
  ASSERT_NE(row.StoreBacker(&archive), 0);
  Bytes expected;
  UnitHead(expected.Open(kRow), 20, 6, XDT_GRIDER, 0).Open(GDI_GRID).WordItem(GDI_COLCOUNTER, 0);
  expected.Header(GDI_LINE, XMF_DATA).Word(16).Word(31).Word(0).Word(0).Word(0);
  expected.Header(GDI_LINE, XMF_DATA).Word(16).Word(0).Word(0).Word(0).Word(0);
  expected.Close(GDI_GRID).Close(kRow);
  EXPECT_EQ(rows_test::Contents(&archive), expected.data());

  XRowBuffer loaded;
  ASSERT_EQ(loaded.Serialize(&archive, 0), 1);
  XRowGrider* backed = loaded.GetRowBuffer()->Value.Grider;
  ASSERT_NE(backed, nullptr);
  EXPECT_EQ(backed->GetColCounter(), 0);
  EXPECT_EQ(backed->GetLineMarker(backed->GetNextLine(nullptr)), 31u);
}

}  // namespace

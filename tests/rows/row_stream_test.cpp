// Stored rows: exact bytes, round trips with every unit type and nested grids, the grids-only
// form, and streams that are cut or malformed.
#include <gtest/gtest.h>

#include <cstring>

#include "rows/row_util.h"

namespace {

using rows_test::Bytes;
using rows_test::Contents;
using rows_test::Stream;
using rows_test::Units;

constexpr uint32_t kRow = 0x10000001u;

// A unit item's header, L and fields (Extra, Size, Null and Binder 0).
Stream& UnitHead(Stream& out, uint32_t length, uint32_t code, uint16_t type, uint32_t null = 0) {
  out.Header(0x10001, XMF_DATA).Word(length).Word(code).Word(0).Half(type).Half(0);
  return out.Word(null).Word(0);
}

Bytes Store(XRowBuffer* row) {
  XMemoArchive archive;
  EXPECT_NE(row->Serialize(&archive, 1), 0);
  return Contents(&archive);
}

int32_t Load(XRowBuffer* row, const Bytes& bytes, size_t count) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(count));
  return row->Serialize(&archive, 0);
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
  Stream item;
  item.Header(0x10001, XMF_DATA).Word(24).Word(7).Word(3).Half(1).Half(4).Word(0).Word(5);
  item.Word(42).Close(kRow);
  EXPECT_EQ(Store(&row), Stream().Open(kRow).Append(item.bytes()).bytes());
  row.RowWord2 = 9;
  EXPECT_EQ(Store(&row), Stream().Open(kRow).WordItem(2, 9).Append(item.bytes()).bytes());
}

TEST(RowStream, EveryUnitTypeRoundTripsAndEveryCutIsRefused) {
  XRowBuffer row;
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
  const Bytes storable = Store(&row);
  row.AddDataUnit(XMemoArchive::Malloc(), 1);  // stored without content from here on
  row.AddUserUnit("\x06\0\0\0ab", 1);
  CountedObject object;
  row.AddDataUnit(&object, 0);
  row.AddNullUnit()->Type = 140;
  const Bytes bytes = Store(&row);

  // Storing what was loaded gives the same bytes; values that are not stored load as nulls.
  XRowBuffer loaded;
  ASSERT_EQ(Load(&loaded, storable, storable.size()), 1);
  EXPECT_EQ(Store(&loaded), storable);
  for (XDataUnit* unit : Units(loaded)) {  // the loaded text, archive and grid are the row's
    const uint16_t type = unit->Type;
    const bool pointer = type == XDT_STRING || type == XDT_ARCHIVE || IsGriderType(type);
    EXPECT_EQ(unit->Owned, pointer ? unit->Value.Pointer : nullptr);
  }
  ASSERT_EQ(Load(&loaded, bytes, bytes.size()), 1);
  std::vector<XDataUnit*> units = Units(loaded);
  ASSERT_EQ(units.size(), 11u);
  for (size_t i = 7; i < units.size(); ++i) EXPECT_EQ(units[i]->Value.Pointer, nullptr) << i;
  EXPECT_EQ(units[9]->Type, XDT_OBJECT);
  EXPECT_EQ(loaded.AddNullUnit(), units.back()->Next);  // the tail is known after loading
  for (size_t cut = 0; cut < bytes.size(); ++cut) EXPECT_EQ(Load(&loaded, bytes, cut), 0) << cut;
  EXPECT_EQ(object.released, 0);
}

TEST(RowStream, OddStreamsAreReadSafelyAndMalformedOnesRefused) {
  Stream accepted;  // unknown items skipped; stored bytes never become pointers
  UnitHead(accepted.Open(kRow).WordItem(0x77, 1), 24, 1, XDT_LONG).Word(10).Item(4, "ab", 2);
  UnitHead(accepted, 28, 2, XDT_USER).Raw("\x11\x22\x33\x44\x55\x66\x77\x08", 8);
  UnitHead(accepted, 23, 3, XDT_STRING).Raw("a\0b", 3).Close(0);  // odd, unterminated
  XRowBuffer row;
  ASSERT_EQ(Load(&row, accepted.bytes(), accepted.bytes().size()), 1);
  std::vector<XDataUnit*> units = Units(row);
  EXPECT_EQ(units.at(0)->Value.Long, 10);
  EXPECT_EQ(units.at(1)->Value.Pointer, nullptr);
  EXPECT_EQ(std::u16string(units.at(2)->Value.Text), u"ab");  // the odd byte, zero-padded

  Stream flagged;  // pointer units keep their stored null word but its bit 0
  UnitHead(flagged.Open(kRow), 20, 4, XDT_STRING, 0xFFFFFFF1u);
  UnitHead(flagged, 20, 5, XDT_GRIDER, 0xFFFFFFFEu).Append(rows_test::GridRecord({})).Close(kRow);
  ASSERT_EQ(Load(&row, flagged.bytes(), flagged.bytes().size()), 1);
  EXPECT_EQ(Store(&row), flagged.bytes());

  const Bytes grid = rows_test::GridRecord({{1, u"x"}});
  std::vector<std::pair<Stream, int32_t>> cases(4);  // a stream and the units it keeps
  UnitHead(cases[0].first.Open(kRow), 24, 1, XDT_LONG).Word(1).Append(grid);
  cases[0].second = 1;  // a grid after an integer unit
  UnitHead(cases[1].first.Open(kRow), 20, 1, 129).Append(grid).Append(grid);
  cases[1].second = 1;  // two grids for one unit
  UnitHead(cases[2].first.Open(kRow), 0xFFFFFFF0u, 1, XDT_STRING).Raw("ab", 2);
  cases[3].first.Open(kRow).Open(5).Close(5);  // a nested record that is no grid
  for (auto& [stream, kept] : cases) {
    row.AddDataUnit(99);  // replaced by loading
    const Bytes& bytes = stream.Close(kRow).bytes();
    EXPECT_EQ(Load(&row, bytes, bytes.size()), 0);
    EXPECT_EQ(row.GetUnitCounter(), kept);
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
  Stream expected;
  UnitHead(expected.Open(kRow), 20, 6, XDT_GRIDER).Open(GDI_GRID).WordItem(GDI_COLCOUNTER, 0);
  expected.Header(GDI_LINE, XMF_DATA).Word(16).Word(31).Word(0).Word(0).Word(0);
  expected.Header(GDI_LINE, XMF_DATA).Word(16).Word(0).Word(0).Word(0).Word(0);
  EXPECT_EQ(Contents(&archive), expected.Close(GDI_GRID).Close(kRow).bytes());
}

}  // namespace

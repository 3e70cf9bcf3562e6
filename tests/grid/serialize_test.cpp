#include <gtest/gtest.h>

#include "grid/grid_fixture.h"

using namespace gridtest;

namespace {

const DATETIME kNoon = {2024, 2, 29, 12, 0, 30, 0};

std::vector<Line> SampleLines() {
  return {Line{1, 0, 0xAABBCCDD, LineData({Long(7), Text(u"ab"), {}})}, Line{2, 5, 0, {}},
          Line{3, 0, 1, LineData({{}, Text(u"xyz"), Raw(&kNoon, 8)})}};
}

Bytes SampleRecord() {
  return GridRecord({XDT_LONG, XDT_STRING, XDT_DATETIME}, {4, 10, 8}, SampleLines());
}

TEST(SerializeTest, StoresTheRecordByteForByte) {
  XRowGrider g;
  ASSERT_EQ(1, Load(&g, SampleRecord()));
  EXPECT_EQ(3, g.GetRowCounter());
  EXPECT_EQ(SampleRecord(), Store(&g));
  EXPECT_EQ(0xAABBCCDDu, g.GetLineBinder(g.GetNextLine(nullptr)));

  XMemoArchive nested;  // the open header is the caller's
  ASSERT_NE(0, g.Serialize(&nested, 1, 1));
  Bytes record = SampleRecord(), inner(record.begin() + 8, record.end());
  EXPECT_EQ(inner, Contents(&nested));
  EXPECT_EQ(0, Load(&g, record, 1));
  ASSERT_EQ(1, Load(&g, inner, 1));
  EXPECT_EQ(record, Store(&g));
}

TEST(SerializeTest, StoresCodesAndKapesAfterTypesAndSizes) {
  XItemDataDesc a{}, b{};
  a.Code = 0x11, a.Type = XDT_LONG, a.Size = 4;
  b.Code = 0x22, b.Type = XDT_ALTSTRING, b.Size = 6;
  const XItemDataDesc* descs[2] = {&a, &b};
  const uint32_t kapes[2] = {0x33, 0x44};
  XRowGrider g;
  ASSERT_EQ(1, g.SetDataDesc(descs, kapes, 2));
  Bytes expected =
      Cat({Header(GDI_GRID, XMF_OPEN), Item(GDI_COLCOUNTER, Le32(2)),
           Item(GDI_TYPES, Cat({Le16(XDT_LONG), Le16(XDT_STRING)})),
           Item(GDI_SIZES, Cat({Le16(4), Le16(6)})), Item(GDI_CODES, Cat({Le32(0x11), Le32(0x22)})),
           Item(GDI_KAPES, Cat({Le32(0x33), Le32(0x44)})), Header(GDI_GRID, XMF_CLOSE)});
  EXPECT_EQ(expected, Store(&g));
  XRowGrider back;
  ASSERT_EQ(1, Load(&back, expected));
  EXPECT_EQ(expected, Store(&back));
}

TEST(SerializeTest, StoreBackerKeepsHeadersOfLinesWithProperZero) {
  XRowGrider g;
  ASSERT_EQ(1, Load(&g, GridRecord({XDT_LONG}, {4},
                                   {Line{10, 0, 100, LineData({Long(1)})},
                                    Line{11, 1, 101, LineData({Long(2)})},
                                    Line{12, 0, 102, LineData({Long(3)})}})));
  XMemoArchive archive;
  ASSERT_NE(0, g.StoreBacker(&archive));
  Bytes expected = GridRecord({}, {}, {Line{10, 0, 100, {}}, Line{12, 0, 102, {}}});
  EXPECT_EQ(expected, Contents(&archive));
  XRowGrider back;
  ASSERT_EQ(1, Load(&back, expected));
  EXPECT_EQ(expected, Store(&back));
}

TEST(SerializeTest, SkipsUnknownItemsAndNestedRecordsAndNeedsAnOpenHeader) {
  Bytes record = SampleRecord();
  Bytes noise = Cat({Item(77, Bytes{1, 2, 3}), Header(0x5555, XMF_OPEN), Item(1, Le32(300)),
                     Header(0x5555, XMF_CLOSE)});
  XRowGrider g;
  ASSERT_EQ(1, Load(&g, Cat({Bytes(record.begin(), record.begin() + 24), noise,
                             Bytes(record.begin() + 24, record.end())})));
  EXPECT_EQ(record, Store(&g));
  record[0] = 0x02;
  EXPECT_EQ(0, Load(&g, record));
  EXPECT_EQ(0, Load(&g, Header(GDI_GRID, XMF_CLOSE)));
}

class BothReaders : public ::testing::TestWithParam<Through> {};

// Every cut of a record fails, keeps the lines read before the cut, and reads nothing outside
// the stream.
TEST_P(BothReaders, StreamsCutAtEveryByteFailCleanly) {
  Bytes record = SampleRecord();
  for (size_t cut = 0; cut < record.size(); ++cut) {
    XRowGrider g;
    EXPECT_EQ(0, Load(&g, Bytes(record.begin(), record.begin() + cut), 0, GetParam()));
    size_t end = 8 + 16 + 18 + 18;  // open header, count, types and sizes items
    int32_t whole_lines = 0;
    for (const Line& line : SampleLines()) {
      end += 28 + line.data.size();
      whole_lines += cut >= end ? 1 : 0;
    }
    EXPECT_EQ(whole_lines, g.GetRowCounter()) << cut;
  }
}

TEST_P(BothReaders, RefuseCountsThatDoNotMatch) {
  Bytes two_types = Item(GDI_TYPES, Cat({Le16(1), Le16(1)}));
  const Bytes cases[] = {
      Item(GDI_COLCOUNTER, Le32(uint32_t(-1))),
      Cat({Item(GDI_COLCOUNTER, Le32(3)), two_types}),
      two_types,                     // before any count
      Item(GDI_LINE, Bytes(12, 0)),  // shorter than a line header
      Item(GDI_LINE, Cat({Le32(0), Le32(0), Le32(5), Le32(0), Bytes(6, 0)})),  // 16 + 6, not + 5
      Cat({Header(GDI_LINE, XMF_DATA), Le32(0xFFFFFFF0u), Le32(0), Le32(0), Le32(0xFFFFFFE0u)}),
  };
  for (const Bytes& items : cases) {
    XRowGrider g;
    EXPECT_EQ(0, Load(&g, Cat({Header(GDI_GRID, XMF_OPEN), items, Header(GDI_GRID, XMF_CLOSE)}), 0,
                      GetParam()))
        << &items - cases;
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, BothReaders,
                         ::testing::Values(Through::kArchive, Through::kSerializer));

TEST(SerializeTest, ASavedDatabaseLineReadsBackAsALineOfTheGrid) {
  XMemoArchive content;
  content.Append("\x01\x02\x03\x04\x05", 5);
  IArchive* pointer = &content;
  const DbTimestamp stamp = {2023, 12, 31, 23, 59, 58, 0};
  // Integer, text of Size 4 (8 bytes), double, timestamp, archive block, a null integer.
  Bytes record = Cat({Long(-3), Raw(u"abc", 8), Dbl(0.5), Raw(&stamp, 16), Bytes(16, 0),
                      Raw(&pointer, 8), Bytes(20, 0), Long(77)});
  const uint16_t types[6] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME, XDT_ARCHIVE, XDT_LONG};
  const uint16_t sizes[6] = {4, 4, 8, 8, 0, 4};
  XFieldDesc fields[6] = {};
  for (int i = 0; i < 6; ++i) {
    fields[i].Type = types[i], fields[i].Size = sizes[i];
    fields[i].Next = i < 5 ? &fields[i + 1] : nullptr;
  }
  const int32_t status[6] = {0, 0, 0, 0, 0, 3};
  Bytes head = GridRecord({types, types + 6}, {sizes, sizes + 6}, {});
  XMemoArchive archive;
  archive.Append(head.data(), uint32_t(head.size() - 8));  // all but the close header
  ASSERT_EQ(1, SaveGriderLine(&archive, fields, record.data(), status));
  XMF_Serialize(&archive).WriteHeader(GDI_GRID, XMF_CLOSE);

  XRowGrider g;
  ASSERT_EQ(1, g.Serialize(&archive, 0, 0));
  DATETIME converted;
  TimeTransfer(&converted, &stamp);
  EXPECT_EQ(
      LineData({Long(-3), Text(u"abc"), Dbl(0.5), Raw(&converted, 8), Bytes{1, 2, 3, 4, 5}, {}}),
      DataOf(g.GetNextLine(nullptr)));
}

// One saved field: nothing is read past it. Numbers narrower than their value are refused with
// nothing written; a text that fills its field without a NUL is kept whole, with a NUL added.
struct NarrowField {
  uint16_t type, size;
  Bytes field;
  int32_t saved;
  Bytes cell;
};

void PrintTo(const NarrowField& c, std::ostream* out) {
  *out << "type " << c.type << " size " << c.size;
}

class SavedFieldBounds : public ::testing::TestWithParam<NarrowField> {};

TEST_P(SavedFieldBounds, ReadsNothingPastTheField) {
  const NarrowField& c = GetParam();
  XFieldDesc field = {};
  field.Type = c.type, field.Size = c.size;
  Bytes record = c.field;  // exactly the field: the sanitizers catch a read past it
  XMemoArchive archive;
  ASSERT_EQ(c.saved, SaveGriderLine(&archive, &field, record.data(), nullptr));
  if (c.saved == 0) {
    EXPECT_EQ(Bytes(), Contents(&archive));
    return;
  }
  Line line{0, 0, 0, LineData({c.cell})};
  EXPECT_EQ(LineItem(line), Contents(&archive));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, SavedFieldBounds,
    ::testing::Values(NarrowField{XDT_LONG, 2, Bytes{1, 2}, 0, {}},
                      NarrowField{XDT_DOUBLE, 4, Long(9), 0, {}},
                      NarrowField{XDT_LONG, 6, Cat({Long(-9), Bytes{7, 7}}), 1, Long(-9)},
                      NarrowField{XDT_STRING, 3, Raw(u"abc", 6), 1, Text(u"abc")},
                      NarrowField{XDT_STRING, 3, Raw(u"a\0c", 6), 1, Text(u"a")}));

}  // namespace

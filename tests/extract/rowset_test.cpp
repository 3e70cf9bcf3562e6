// The grid's Rowset document written and read back, and its pick-list text.
#include <gtest/gtest.h>

#include <climits>

#include "extract/extract_fixture.h"

namespace {

using namespace extract_test;

XDataUnit Null() {
  XDataUnit u;
  SetUnitNull(&u);
  return u;
}
// A unit set by the SetUnitValue form that takes `args` (texts borrowed).
template <typename... Args>
XDataUnit Of(Args... args) {
  XDataUnit u = Null();
  SetUnitValue(&u, args...);
  return u;
}

// A grid of the given column types holding the given lines.
void Fill(XRowGrider* grid, const std::vector<uint16_t>& types,
          const std::vector<std::vector<XDataUnit>>& lines) {
  const std::vector<uint16_t> sizes(types.size(), 0);
  ASSERT_EQ(grid->SetItemDesc(types.data(), sizes.data(), int32_t(types.size())), 1);
  for (const auto& cells : lines)
    ASSERT_NE(grid->AddItemLine(cells.data(), int32_t(cells.size()), 0), nullptr);
}

std::string Written(XRowGrider* grid, int32_t* result) {
  XMemoArchive archive;
  *result = grid->WriteXmlDoc(&archive);
  uint32_t length = 0;
  archive.GetLength(&length);
  return std::string(reinterpret_cast<const char*>(archive.GetData()), length);
}

// The lines a new grid holds after reading `text`, which FromXmlDoc answers with `result`.
Texts Read(const std::string& text, int32_t result = 1) {
  XML_Archive document;
  document.OpenBuffer(text.data(), uint32_t(text.size()), 1);
  XRowGrider grid;
  EXPECT_EQ(grid.FromXmlDoc(&document), result);
  return Render(&grid);
}

const DATETIME kTime = {2008, 3, 7, 9, 5, 0, 0};
const char kHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

TEST(Rowset, WritesTheDocumentByteForByte) {
  XRowGrider full, empty, archive;
  Fill(&full, {1, 2, 3, 4},
       {{Of(7), Of(u"a<b", 0), Of(2.5), Of(kTime)}, {Of(-3), Null(), Of(3.0), Null()}});
  Fill(&empty, {1}, {});
  Fill(&archive, {1, XDT_ARCHIVE}, {});
  struct {
    XRowGrider* grid;
    int32_t result;
    std::string body;
  } cases[] = {
      {&full, 1,
       "\r\n<Rowset Type=\"ISFT\">"
       "\r\n<Row><FD_1>7</FD_1><FD_2>a&lt;b</FD_2><FD_3>2.5</FD_3><FD_4>2008-03-07 09:05:00</FD_4>"
       "\r\n</Row>"
       "\r\n<Row><FD_1>-3</FD_1><FD_2></FD_2><FD_3>3.0</FD_3><FD_4></FD_4>"
       "\r\n</Row></Rowset>"},
      {&empty, 1, "\r\n<Rowset Type=\"I\"></Rowset>"},
      {&archive, 0, ""},
  };
  for (const auto& c : cases) {
    int32_t result = -1;
    EXPECT_EQ(Written(c.grid, &result), kHead + c.body);
    EXPECT_EQ(result, c.result);
  }
}

TEST(Rowset, ReadsBackEveryColumnType) {
  XRowGrider source, empty;
  Fill(&source, {1, 2, 3, 4},
       {{Of(INT_MIN), Of(u"a&b <c> \"d\"", 0), Of(-0.125), Of(kTime)},
        {Of(INT_MAX), Of(u"中文", 0), Of(1e10), Of(DATETIME{1999, 12, 31, 23, 59, 59, 0})},
        {Of(0), Of(u" \r\n", 0), Of(0.0), Of(kTime)},  // blanks only, a carriage return
        {Null(), Null(), Null(), Null()}});
  Fill(&empty, {4, 3}, {});
  for (XRowGrider* grid : {&source, &empty}) {
    int32_t result = 0;
    const std::string text = Written(grid, &result);
    XML_Archive document;
    ASSERT_EQ(document.OpenBuffer(text.data(), uint32_t(text.size()), 1), 1);
    XRowGrider read;
    Fill(&read, {2}, {{Of(u"replaced", 0)}});
    ASSERT_EQ(read.FromXmlDoc(&document), 1);
    EXPECT_EQ(Types(read), Types(*grid));
    EXPECT_EQ(Render(&read), Render(grid));
    for (int32_t c = 0; c < read.GetColCounter(); ++c) EXPECT_EQ(read.GetSize()[c], 0);
    if (grid == &source) {  // each line's binder is its row element
      EXPECT_EQ(read.GetLineBinder(read.GetNextLine(nullptr)),
                reinterpret_cast<uintptr_t>(document.SelectNode(u"/Rowset/Row", nullptr)));
    }
  }
}

TEST(Rowset, ReadsWhatItCanAndRefusesTheRest) {
  struct {
    const char* text;
    int32_t result;
    Texts lines;
  } cases[] = {
      {"<broken", 0, {}},
      {"<Other Type=\"I\"/>", 0, {}},
      {"<Rowset/>", 0, {}},
      {"<Rowset Type=\"\"/>", 0, {}},
      {"<Rowset Type=\"IX\"><Row><A>1</A></Row></Rowset>", 0, {}},
      // Cells by position, whatever their names: missing ones are null, extra ones ignored.
      {"<Rowset Type=\"IS\"><Row><A>1</A></Row><Row/><Row><A>2</A><B>x</B><C>3</C></Row>"
       "<Row><A>zz</A><B></B></Row></Rowset>",
       1,
       {u"I:1|null", u"null|null", u"I:2|S:x", u"null|null"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Read(c.text, c.result), c.lines);
  }
  XRowGrider grid;
  EXPECT_EQ(grid.FromXmlDoc(nullptr), 0);
}

// A cell's value is its element's first character data, read as the column's type.
TEST(Rowset, ReadsEachCellFromItsFirstCharacterData) {
  struct {
    const char* type;
    const char* row;
    std::u16string line;
  } cases[] = {
      {"IIII", "<A> 12 </A><A>+7</A><A>12abc</A><A>abc</A>", u"I:12|I:7|I:12|null"},
      {"IIS", "<A>5\xC3\xA9</A><A>\xD9\xA1</A><A>\xC3\xA9&amp;</A>", u"I:5|null|S:\u00E9&"},
      {"FFF", "<A>1e3</A><A>-.5</A><A>2.5e</A>", u"F:1000.0|F:-0.5|F:2.5"},
      {"FF", "<A>0.1</A><A>123456789012345678901234567890</A>",
       u"F:0.1|F:123456789012345677877719597056.0"},
      {"TT", "<A>2023-02-30 24:60:60</A><A>0000-01-01 00:00:00</A>", u"T:2023-02-02 00:00:00|null"},
      {"TT",
       "<A>2024-1-5</A><A>2024-03-05\xC3\xA9"
       "14:07:09</A>",
       u"T:2024-01-01 00:00:00|T:2024-03-05 14:07:09"},
      // Dates in the written shape whose fields are out of range fold as any other text does.
      {"TTTT",
       "<A>1899-12-31 23:59:59</A><A>2024-02-29 00:00:00</A><A>2023-02-29 12:00:00</A>"
       "<A>2024-13-00 00:00:00</A>",
       u"T:2000-12-31 23:59:59|T:2024-02-29 00:00:00|T:2023-02-01 12:00:00|"
       u"T:2024-01-01 00:00:00"},
      {"TT", "<A>2024/03/05T14:07:09</A><A>2024-03-05 14:07:09 and more</A>",
       u"T:2024-03-05 14:07:09|T:2024-03-05 14:07:09"},
      // CDATA, comments and text between the cells, and child elements inside one.
      {"ISI", "junk<A><!--c--><![CDATA[42]]></A><?p?><B><x>y</x>in</B><C><x>9</x></C>",
       u"I:42|S:in|null"},
      {"IIS", "<A></A>x<B>5</B>y<![CDATA[z]]><C>t</C>", u"null|I:5|S:t"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(
        Read(std::string("<Rowset Type=\"") + c.type + "\"><Row>" + c.row + "</Row></Rowset>"),
        Texts{c.line});
  }
}

// The texts of one row share 8192 units; a value that finds too little room left reads what
// fits (a surrogate pair only whole), and one that finds none reads as null.
TEST(Rowset, TextsOfARowShareOneArea) {
  const auto row = [](size_t first, const char* rest) {
    return "<Row><A>" + std::string(first, 'a') + "</A>" + rest + "</Row>";
  };
  const std::u16string cut = u"S:" + std::u16string(511, u'a');  // as Render shows it
  struct {
    const char* type;
    std::string row;
    std::u16string line;
  } cases[] = {
      {"SIS", row(8189, "<B>123</B><C>x</C>"), cut + u"|I:1|S:x"},
      {"SSI", row(8189, "<B>\xF0\x9F\x98\x80</B><C>7</C>"), cut + u"|null|I:7"},
      {"SSI", row(8190, "<B>bc</B><C>7</C>"), cut + u"|null|null"},
      {"SF", row(8191, "<B>2.5</B>"), cut + u"|null"},
      {"SS", row(9000, "<B>b</B>"), cut + u"|null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const std::string text =
        std::string("<Rowset Type=\"") + c.type + "\">" + c.row + c.row + "</Rowset>";
    EXPECT_EQ(Read(text), (Texts{c.line, c.line}));  // each row starts with the whole area
  }
}

TEST(PickList, LinesOfKeyAndText) {
  const std::u16string wide(500, u'w');
  struct {
    std::vector<uint16_t> types;
    std::vector<std::vector<XDataUnit>> lines;
    int32_t capacity, flag;
    std::u16string text;
  } cases[] = {
      {{2}, {}, 400, 1, u"NULL;"},
      {{2}, {{Of(u"x", 0)}, {Null()}}, 400, 1, u"NULL;\r\n1;x\r\n2;"},
      {{1}, {{Of(5)}, {Null()}}, 400, 0, u"1;"},  // an integer line counts but writes nothing
      {{1, 2}, {{Of(3), Of(u"abc", 0)}, {Null(), Null()}}, 400, 0, u"3;abc\r\n;"},
      {{3, 1}, {{Of(3.7), Of(1)}, {Of(-2.5), Null()}}, 400, 0, u"3;\r\n-2;"},
      {{4, 2}, {{Of(kTime), Of(u"t", 0)}, {Null(), Of(u"u", 0)}}, 400, 0, u";t\r\n;u"},
      // Lines go in while 320 characters are left and they fit whole.
      {{2},
       {{Of(u"a", 0)}, {Of(u"b", 0)}, {Of(u"c", 0)}, {Of(u"d", 0)}},
       330,
       0,
       u"0;a\r\n1;b\r\n2;c"},
      {{2}, {{Of(wide.c_str(), 0)}, {Of(u"a", 0)}}, 400, 1, u"NULL;"},
      {{2}, {{Of(u"a", 0)}}, 7, 1, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    XRowGrider grid;
    Fill(&grid, c.types, c.lines);
    std::vector<XCHAR> buffer(size_t(c.capacity), u'#');
    const int32_t length = MakeDatabase(&grid, buffer.data(), c.capacity, c.flag);
    EXPECT_EQ(length, int32_t(c.text.size()));
    EXPECT_EQ(std::u16string(buffer.data()), c.text);
  }
  EXPECT_EQ(MakeDatabase(nullptr, nullptr, 8, 1), 0);
}

}  // namespace

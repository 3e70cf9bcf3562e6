// Writes the seed corpora of the fuzz targets: the stored forms the tests check, built through the
// public interface, and the texts the tests read, in each target's input layout.
//
//   fuzz_make_corpus <corpus directory>
//
// writes <directory>/<target>/<seed name> for every target, replacing seeds of the same name.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_root;

void Save(const std::string& target, const std::string& name, const Bytes& bytes) {
  std::string folder = g_root + "/" + target;
  mkdir(folder.c_str(), 0755);
  std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    return;
  }
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

Bytes Contents(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  const uint8_t* data = archive->GetData();
  return data == nullptr ? Bytes() : Bytes(data, data + length);
}

// Little-endian pieces of an input.
class Builder {
 public:
  Builder& Byte(uint8_t b) {
    bytes_.push_back(b);
    return *this;
  }
  Builder& Raw(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + count);
    return *this;
  }
  template <typename T>
  Builder& Value(T value) {
    return Raw(&value, sizeof value);
  }
  // UTF-16 units and a NUL unit.
  Builder& Text(const std::u16string& text) { return Raw(text.c_str(), 2 * (text.size() + 1)); }
  Builder& Header(uint32_t identifier, uint32_t kind) { return Value(identifier).Value(kind); }
  Builder& Item(uint32_t identifier, const Bytes& value) {
    Header(identifier, XMF_DATA).Value(static_cast<uint32_t>(value.size()));
    return Raw(value.data(), value.size());
  }
  Builder& Append(const Bytes& more) { return Raw(more.data(), more.size()); }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// A grid of an integer, a text, a double and a date-time column holding `lines` lines written by
// SaveGriderLine, the third line with a null text.
XRowGrider* MakeGrid(int lines) {
  struct Record {
    int32_t number;
    XCHAR text[8];
    double real;
    DbTimestamp when;
  };
  XFieldDesc fields[4] = {};
  const uint16_t types[] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME};
  const uint16_t sizes[] = {4, 8, 8, 16};
  for (int i = 0; i < 4; ++i) {
    fields[i].Type = types[i];
    fields[i].Size = sizes[i];
    fields[i].Next = i < 3 ? &fields[i + 1] : nullptr;
  }
  XMemoArchive archive;
  XMF_Serialize out(&archive);
  int32_t count = 4;
  const uint32_t codes[] = {11, 12, 13, 14};
  out.WriteHeader(GDI_GRID, XMF_OPEN);
  out.Write_Proper(GDI_COLCOUNTER, &count, 4);
  out.Write_Proper(GDI_TYPES, types, 8);
  out.Write_Proper(GDI_SIZES, sizes, 8);
  out.Write_Proper(GDI_CODES, codes, 16);
  for (int i = 0; i < lines; ++i) {
    Record record{};
    record.number = 7 * i - 3;
    std::memcpy(record.text, u"row", 8);
    record.text[3] = static_cast<XCHAR>(u'a' + i);
    record.real = 0.5 + i;
    record.when = DbTimestamp{2024, 3, static_cast<int16_t>(5 + i), 14, 7, 9, 0};
    const int32_t status[] = {0, i == 2 ? 3 : 0, 0, 0};
    SaveGriderLine(&archive, fields, &record, status);
  }
  out.WriteHeader(GDI_GRID, XMF_CLOSE);
  XRowGrider* grider = XRowGrider::Malloc();
  grider->Serialize(&archive, 0, 0);
  return grider;
}

void GridSeeds() {
  XRowGrider* grider = MakeGrid(3);
  XMemoArchive stored;
  grider->Serialize(&stored, 1, 0);
  Save("grid_stream", "lines", Contents(&stored));
  grider->SetLineProper(grider->GetNextLine(nullptr), 1);
  XMemoArchive backer;
  grider->StoreBacker(&backer);
  Save("grid_stream", "store-backer", Contents(&backer));
  XRowGrider::Release(grider);

  int32_t two = 2;
  const uint16_t types[] = {XDT_ARCHIVE, XDT_STRING};
  Builder odd;  // unknown items and a nested record are skipped; a line's table is off
  odd.Header(GDI_GRID, XMF_OPEN).Item(GDI_COLCOUNTER, Bytes((uint8_t*)&two, (uint8_t*)&two + 4));
  odd.Item(GDI_TYPES, Bytes((const uint8_t*)types, (const uint8_t*)types + 4)).Item(0x77, {1, 2});
  odd.Header(0x5, XMF_OPEN).Item(1, {9}).Header(0x5, XMF_CLOSE);
  odd.Item(GDI_LINE,
           {1, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 3, 0, 9, 0, 1, 2, 3, 'a', 0});
  odd.Item(GDI_LINE, Bytes(16, 0)).Header(GDI_GRID, XMF_CLOSE);
  Save("grid_stream", "odd-items", odd.bytes());
}

void GridLineSeeds() {
  // Flags, field count - 1, (type index, size, status) per field, then the values in order.
  Builder all;
  all.Byte(0).Byte(4);
  all.Byte(0).Byte(4).Byte(0).Byte(1).Byte(6).Byte(0).Byte(2).Byte(8).Byte(1);
  all.Byte(3).Byte(16).Byte(3).Byte(4).Byte(44).Byte(0);
  all.Value<int32_t>(-42).Text(u"hello").Value(2.5);
  all.Value(DbTimestamp{2024, 3, 5, 14, 7, 9, 0}).Value<uint16_t>(300);
  Save("grid_line", "every-type", all.bytes());
  Builder refused;
  refused.Byte(1).Byte(1).Byte(5).Byte(4).Byte(0).Byte(1).Byte(3).Byte(0);
  refused.Value<int32_t>(1).Text(u"ab");
  Save("grid_line", "unsupported-type", refused.bytes());
}

void RowSeeds() {
  XRowBuffer one;
  XDataUnit* unit = one.AddDataUnit(42);
  unit->Code = 7;
  unit->Size = 4;
  XMemoArchive stored;
  one.Serialize(&stored, 1);
  Save("row_stream", "one-integer", Contents(&stored));

  XRowBuffer row;
  row.RowWord1 = 1;
  row.RowWord3 = 3;
  row.AddDataUnit(-5);
  row.AddDataUnit(0.125);
  row.AddDataUnit(DATETIME{2001, 2, 3, 4, 5, 6, 0});
  row.AddDataUnit(u"text", 1);
  row.AddNullUnit()->Type = XDT_STRING;
  XMemoArchive* archive = XMemoArchive::Malloc();
  archive->Append("\x01\x02\x03", 3);
  row.AddDataUnit(archive, 1);
  row.AddDataUnit(MakeGrid(2), 1);
  row.AddUserUnit("\x06\0\0\0ab", 1);
  row.AddNullUnit()->Type = 140;
  XMemoArchive every;
  row.Serialize(&every, 1);
  Save("row_stream", "every-type", Contents(&every));
  XMemoArchive backer;
  row.StoreBacker(&backer);
  Save("row_stream", "store-backer", Contents(&backer));

  Builder odd;  // an unknown item between units, an odd unterminated text
  odd.Header(0x10000001, XMF_OPEN).Item(0x77, {1, 0, 0, 0});
  odd.Header(0x10001, XMF_DATA).Value<uint32_t>(23).Value<uint32_t>(3).Value<uint32_t>(0);
  odd.Value<uint16_t>(XDT_STRING).Value<uint16_t>(0).Value<uint32_t>(0).Value<uint32_t>(0);
  odd.Raw("a\0b", 3).Header(0x10000001, XMF_CLOSE);
  Save("row_stream", "odd-items", odd.bytes());
}

XItemDataDesc* NewDesc(uint32_t code, uint16_t type, uint16_t size, const XCHAR* name) {
  XItemDataDesc* desc = MallocItemDesc();
  desc->Code = code;
  desc->Type = type;
  desc->Size = size;
  std::memcpy(desc->Name, name, 2 * (std::char_traits<char16_t>::length(name) + 1));
  return desc;
}

void DescSeeds() {
  XItemDataDesc* head = NewDesc(1, XDT_LONG, 4, u"id");
  SetDescValue(head, 5);
  XItemDataDesc* text = NewDesc(2, XDT_STRING, 10, u"name");
  SetDescValue(text, u"hello");
  head->Next = text;
  XMemoArchive two;
  SerializeItemDesc(head, &two, 1);
  Save("desc_stream", "two-descriptors", Contents(&two));

  XItemDataDesc* real = NewDesc(3, XDT_DOUBLE, 0, u"real");
  SetDescValue(real, 2.5);
  XItemDataDesc* when = NewDesc(4, XDT_DATETIME, 8, u"when");
  SetDescValue(when, u"2024-03-05 14:07:09");
  XItemDataDesc* archive = NewDesc(5, XDT_ARCHIVE, 0, u"doc");
  XMemoArchive* content = XMemoArchive::Malloc();
  content->Append("abc", 3);
  SetDescValue(archive, static_cast<IArchive*>(content));
  XItemDataDesc* grid = NewDesc(6, XDT_GRIDER, 0, u"grid");
  SetDescValue(grid, MakeGrid(2));
  XItemDataDesc* alt = NewDesc(7, XDT_ALTSTRING, 6, u"alt");
  SetDescValue(alt, u"xy");
  text->Next = real;
  real->Next = when;
  when->Next = archive;
  archive->Next = grid;
  grid->Next = alt;
  XMemoArchive every;
  SerializeItemDesc(head, &every, 1);
  Save("desc_stream", "every-type", Contents(&every));
  ReleaseItemDesc(head);
  std::free(head);

  Builder odd;  // an unknown item and an unknown nested record inside a descriptor
  odd.Header(1, XMF_OPEN).Item(4, {1, 0}).Item(5, {4, 0}).Item(12, {7});
  odd.Header(9, XMF_OPEN).Item(1, {1}).Header(9, XMF_CLOSE).Item(257, {9, 0, 0, 0});
  odd.Header(1, XMF_CLOSE).Header(0, XMF_CLOSE);
  Save("desc_stream", "odd-items", odd.bytes());
}

void AddRecord(XQueryTemplate* query, int32_t list,
               const std::vector<std::pair<size_t, std::u16string>>& texts,
               const std::vector<std::pair<size_t, uint32_t>>& words) {
  static const size_t kBytes[] = {9328, 9392, 608, 612};
  Bytes buffer(kBytes[list], 0);
  for (const auto& t : texts)
    std::memcpy(&buffer[t.first], t.second.c_str(), 2 * (t.second.size() + 1));
  for (const auto& w : words) std::memcpy(&buffer[w.first], &w.second, 4);
  query->SetDesc(list, nullptr, buffer.data());
}

void AddCondition(XQueryTemplate* query, const std::u16string& opens, const std::u16string& name,
                  uint32_t op, const std::u16string& value, const std::u16string& closes,
                  uint32_t junction, int32_t mode) {
  AddRecord(query, QDL_WHERE, {{0, opens}, {32, name}, {548, value}, {1060, closes}},
            {{544, op}, {1092, junction}, {1096, static_cast<uint32_t>(mode)}});
}

int32_t KeepTexts(void*, XCHAR*) {
  return 0;
}

void QuerySeeds() {
  XQueryTemplate* simple = XQueryTemplate::Malloc();
  simple->SetDataMuster(7, 0);
  AddRecord(simple, QDL_FIELD, {{0, u"a"}}, {{1120, XDT_LONG}});
  XMemoArchive stored;
  simple->Serialize(&stored, 1);
  Save("query_stream", "one-field", Contents(&stored));
  XQueryTemplate::Release(simple);

  XQueryTemplate* query = XQueryTemplate::Malloc();
  query->SetDataMuster(12, 3);
  query->SetFromClause(u"  orders");
  AddRecord(query, QDL_FIELD, {{0, u"a"}, {1024, u"A"}}, {{1120, XDT_STRING}, {1124, 20}});
  AddRecord(query, QDL_FIELD, {{0, u"b$"}, {1136, u"long text"}}, {{1120, XDT_DOUBLE}});
  AddCondition(query, u"", u"x", QOP_EQ, u"1", u"", QJN_OR, QUB_DROP);
  AddCondition(query, u"((", u"d", QOP_ISYEAR, u"'2023-05-06'", u"", QJN_AND, QUB_FALSE);
  AddCondition(query, u"", u"m", QOP_ISMONTH, u"'2023-12-06'", u")", QJN_OR, QUB_TRUE);
  AddCondition(query, u"", u"t", QOP_ISDATE, u"'2024-02-28'", u")", QJN_AND, QUB_LITERAL);
  AddCondition(query, u"", u"n", QOP_IN, u" '1,2,3,'", u"", QJN_AND, QUB_DROP);
  AddCondition(query, u"", u"s", QOP_INC, u"'ab$c'", u"", QJN_OR, QUB_FAIL);
  AddCondition(query, u"", u"p!", QOP_START, u"'abc'", u"", QJN_AND, QUB_FALSE);
  AddCondition(query, u"", u"", QOP_EXISTS, u"(select 1)", u"", 0, QUB_DROP);
  AddRecord(query, QDL_GROUP, {{0, u"a"}}, {});
  AddRecord(query, QDL_ORDER, {{0, u"b"}}, {{512, 1}});
  XMemoArchive full;
  query->Serialize(&full, 1);
  Save("query_stream", "every-list", Contents(&full));
  query->SetBinder(nullptr, KeepTexts);
  XMemoArchive computed;
  query->ComputeTemplate(&computed);
  Save("query_stream", "computed", Contents(&computed));
  XQueryTemplate::Release(query);
}

void MeterSeeds() {
  const std::u16string literals[] = {
      u"  -0x10",
      u"12.5,",
      u"T\"2015-12-28\"",
      u"null",
      u"\"a\\\"b\\\\c\\x41\\101\\18\\9\\r\\n\"",
      u"5, \"x\", T\"2024-03-05 14:07:09\", NULL, -3.25, 0xFFFFFFFF, 3000000000.5",
      u"- \t 7, \"abc"};
  int n = 0;
  for (const std::u16string& text : literals) {
    Save("meter_literal", "literal-" + std::to_string(n++), Builder().Byte(0).Text(text).bytes());
  }
  uint16_t meter[64];
  InitDataMeter(meter);
  AddDataMeter(meter, u"5");
  AddDataMeter(meter, u"\"xy\"");
  AddDataMeter(meter, u"2.5");
  AddDataMeter(meter, u"T\"2024-03-05 14:07:09\"");
  AddDataMeter(meter, u"NULL");
  Save("meter_literal", "raw-meter", Builder().Byte(1).Raw(meter, 2 * meter[0]).bytes());
}

void DateSeeds() {
  struct Case {
    uint8_t flags;
    std::u16string pattern, text;
  };
  const Case cases[] = {
      {0, u"$$-$$-$$", u"24-03-05"},
      {1, u"", u"2023-02-30 25:61:61"},
      {1, u"", u"0000-01-01"},
      {0, u"$$:$$", u"14:07"},
      {0, u"%h:%m %p", u"07:05 PM"},
      {0, u"%p %h:%m", u"PM 07:05"},
      {2, u"", u"2024-3-5"},
      {0, u"%d.%M.%y %h%p", u"05.03.24 12AM"},
      {0, u"%Y%%%D %H:%S%", u"2024%05 23:59"},
      {3, u"", u"2020-04-30 00:00:00"},
  };
  int n = 0;
  for (const Case& c : cases) {
    Builder b;
    b.Byte(c.flags).Text(c.pattern).Text(c.text);
    b.Value(DATETIME{2024, 1, 31, 23, 0, 0, 0}).Value<int32_t>(n % 2 == 0 ? XDP_DAY : XDP_MONTH);
    b.Value<int32_t>(n - 5).Value(n * 1.25 - 0.005);
    Save("date_text", "case-" + std::to_string(n++), b.bytes());
  }
}

void UrlSeeds() {
  const std::u16string urls[] = {u"  https://srv/svc/a",  u"http://srv:81", u"srv/a",
                                 u"HTTPS://Srv:8443/x:y", u"srv/a:b",       u"http://srv/"};
  int n = 0;
  for (const std::u16string& url : urls) {
    Save("url_split", "url-" + std::to_string(n), Builder().Byte(n % 4).Text(url).bytes());
    ++n;
  }
}

void ConvertSeeds() {
  // Mode, type index, size, flags, then the mode's data.
  struct TextCase {
    uint8_t type;
    std::u16string text;
  };
  const TextCase texts[] = {{0, u"12abc"},
                            {0, u"abc"},
                            {2, u"3.75"},
                            {3, u"2024-03-05 14:07:09"},
                            {1, u"a text longer than the size"},
                            {4, u"3.75"},
                            {2, u""}};
  int n = 0;
  for (const TextCase& c : texts) {
    Builder b;
    b.Byte(0).Byte(c.type).Byte(static_cast<uint8_t>(5 + 10 * n)).Byte(n % 2).Text(c.text);
    Save("value_convert", "text-" + std::to_string(n++), b.bytes());
  }
  struct VariantCase {
    uint16_t vt;
    double value;
  };
  const VariantCase variants[] = {{VT_BOOL, 0},  {VT_DATE, 45356.5}, {VT_BSTR, 0}, {VT_CY, 1},
                                  {VT_R8, -2.5}, {VT_DATE, -0.75},   {VT_UI2, 0}};
  for (const VariantCase& c : variants) {
    Builder b;
    b.Byte(1).Byte(0).Byte(20).Byte(0).Value(c.vt);
    if (c.vt == VT_BOOL || c.vt == VT_UI2) {
      b.Value<int64_t>(-1);
    } else {
      b.Value(c.value);
    }
    b.Text(u"variant text");
    Save("value_convert", "variant-" + std::to_string(n++), b.bytes());
  }
  for (uint8_t type = 0; type < 8; ++type) {
    Builder b;
    b.Byte(2).Byte(type).Byte(12).Byte(type % 2).Value<uint16_t>(40).Text(u"record text");
    Save("value_convert", "variable-" + std::to_string(n++), b.bytes());
  }
}

void JsonSeeds() {
  struct Case {
    uint8_t utf8;
    std::u16string path;
    std::string text;
  };
  const Case cases[] = {
      {1, u"a/b", "{\"a\":{\"b\":[1,2],\"b2\":3},\"A\":4,\"a\":5}"},
      {1, u"s",
       "{\"l\":-42,\"d\":-2.75,\"s\":\" 12.5abc\",\"e\":\"\",\"t\":'2024-03-05 14:07:09',"
       "\"x\":'abc',\"n\":Null,\"o\":{},\"a\":[],\"h\":\"\xe4\xb8\xad\"}"},
      {1, u"", "[0x7FFFFFFF, 0xFFFFFFFF, 2147483648, - 3, -, 1., TRUE false]"},
      {1, u"q", "{\"q\":\"a\\\"b\\\\c\\x41\\101\\18\\9\\r\\n\\u0041\"}"},
      {0, u"\x4e2d", "{\"\xd6\xd0\":\"\xce\xc4\"}"},
      {1, u"k/", "\xef\xbb\xbf{\"k\":[{\"v\":1}{\"v\":2},]}{\"extra\":1}"},
      {1, u"x", std::string("\xff\xfe{\0\"\0x\0\"\0:\0\x31\0}\0", 16)},
      {1, u"", "{\"open\":[1,2"},
  };
  int n = 0;
  for (const Case& c : cases) {
    Builder b;
    b.Byte(c.utf8).Text(c.path).Raw(c.text.data(), c.text.size());
    Save("json_doc", "doc-" + std::to_string(n++), b.bytes());
  }
}

void XmlSeeds() {
  const std::string documents[] = {
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<Rowset Type=\"ISFT\">\r\n<Row><FD_1>7</FD_1>"
      "<FD_2>a&lt;b</FD_2><FD_3>2.5</FD_3><FD_4>2008-03-07 09:05:00</FD_4>\r\n</Row>\r\n<Row>"
      "<FD_1></FD_1><FD_2></FD_2><FD_3>-0.125</FD_3><FD_4></FD_4>\r\n</Row></Rowset>",
      "<Rowset Type=\"IS\"><Row><A>1</A></Row><Row/><Row><A>2</A><B>x</B><C>3</C></Row>"
      "<Row><A>zz</A><B><![CDATA[c]]></B></Row></Rowset>",
      "<?xml version=\"1.0\" encoding=\"gb2312\"?><Rowset Type=\"SS\"><Row><a>\xd6\xd0</a>"
      "<b>\xce\xc4&amp;</b></Row></Rowset>",
      "<Answer><Items><Item id=\"1\" price=\"2.5\"><Name>apple</Name><When>2024-03-05 14:07:09"
      "</When></Item><Note/><Item id=\"x\"><Name>a&amp;b</Name></Item></Items></Answer>",
      "<Rowset Type=\"IX\"><Row><A>1</A></Row></Rowset>",
      "\xef\xbb\xbf<Rowset Type=\"T\"><Row><A>2024-3-5</A></Row><!-- c --><?pi x?></Rowset>",
      "<Rowset Type=\"SFS\"><Row><A>a&#13;b</A><B>1e999</B><C><![CDATA[ ]]></C></Row></Rowset>",
  };
  int n = 0;
  for (const std::string& document : documents) {
    Builder b;
    b.Text(n % 2 == 0 ? u"Type" : u"Items/Item").Raw(document.data(), document.size());
    Save("xml_doc", "doc-" + std::to_string(n++), b.bytes());
  }
}

// An embedded record of a query: kind, length, a zero word, data type, then the value's bytes.
Bytes QueryRecord(uint16_t kind, uint16_t type, const void* value, size_t size) {
  Builder b;
  b.Value(kind).Value(uint16_t(8 + size)).Value(uint16_t(0)).Value(type).Raw(value, size);
  return b.bytes();
}

Bytes QueryName(const std::u16string& text, uint16_t kind = 0) {
  return QueryRecord(kind, XDT_STRING, text.c_str(), 2 * (text.size() + 1));
}

// Flags (grid, XML, start node, typed), the type text, then the query record.
Bytes QueryInput(uint8_t flags, const std::u16string& types, const std::vector<Bytes>& records,
                 bool list, bool skip = false) {
  Builder head;
  head.Byte(flags);
  if ((flags & 16) != 0) head.Text(types);
  Bytes query(20, 0);
  for (const Bytes& r : records) query.insert(query.end(), r.begin(), r.end());
  const uint16_t length = uint16_t(query.size());
  std::memcpy(&query[2], &length, 2);
  query[16] = skip;
  query[17] = list;
  query[18] = uint8_t(list ? records.size() - 1 - skip : 0);
  return head.Append(query).bytes();
}

void ExtractSeeds() {
  const uint16_t kChild = 0x3200;
  const int32_t seven = 7;
  const Bytes carried = QueryRecord(0x1000, XDT_LONG, &seven, 4);
  const struct {
    const char* name;
    Bytes input;
  } seeds[] = {
      {"json-grid", QueryInput(1 | 16, u"ISFT",
                               {QueryName(u"/data/items"), QueryName(u"id"), QueryName(u"name"),
                                QueryName(u"price"), QueryName(u"when")},
                               true)},
      {"json-row",
       QueryInput(16, u"IS", {QueryName(u"data/one"), QueryName(u"id"), carried}, true)},
      {"json-row-node", QueryInput(4, u"", {QueryName(u""), QueryName(u"tags")}, true)},
      {"json-single",
       QueryInput(16, u"F", {QueryName(u"title"), QueryName(u"count")}, false, true)},
      {"json-grid-plain", QueryInput(1, u"", {QueryName(u"data/items")}, false)},
      {"xml-grid",
       QueryInput(3 | 16, u"ISFT",
                  {QueryName(u"/Answer/Items/Item"), QueryName(u"id"), QueryName(u"Name", kChild),
                   QueryName(u"price"), QueryName(u"When", kChild)},
                  true)},
      {"xml-row", QueryInput(2, u"",
                             {QueryName(u"/Answer/Items/Item"), QueryName(u"id"),
                              QueryName(u"Name", kChild), carried},
                             true)},
      {"xml-row-node", QueryInput(2 | 4 | 32, u"", {QueryName(u"Name")}, false)},
      {"xml-grid-no-list", QueryInput(3, u"", {QueryName(u"Answer/Item")}, false)},
      {"xml-grid-short-types",
       QueryInput(3 | 16, u"I", {QueryName(u"Items/Item"), QueryName(u"id"), QueryName(u"x")},
                  true)},
  };
  for (const auto& seed : seeds) Save("extract_query", seed.name, seed.input);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  g_root = argv[1];
  mkdir(g_root.c_str(), 0755);
  RowSeeds();
  DescSeeds();
  GridSeeds();
  GridLineSeeds();
  QuerySeeds();
  MeterSeeds();
  DateSeeds();
  UrlSeeds();
  ConvertSeeds();
  JsonSeeds();
  XmlSeeds();
  ExtractSeeds();
  return 0;
}

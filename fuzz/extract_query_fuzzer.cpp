// Runs the fuzzer's bytes as the query record of GetRowBuffer and GetRowGrider over a fixed JSON
// answer and a fixed XML answer. The record lies in a block exactly as long as the bytes, so any
// read past it is caught. A call must give 1 with the error text untouched, or 0 with one of the
// designed messages; every value the row or grid then holds is read whole.
//
// Input: a flag byte (bit 0: grid, bit 1: XML, bits 2-3: the start node, bit 4: a type text
// follows, bit 5: the record sits at an odd address), the UTF-16 type text when bit 4 is set, then
// the query record. The record's length word is cut to the bytes there are, and a value record
// carrying a user blob gets a pointer to a real one: the caller vouches for both.
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "grid_walk.h"

namespace {

constexpr size_t kQueryHead = 20;
constexpr uint16_t kValueRecord = 0x1000;
constexpr size_t kErrorRoom = 1024;
constexpr XCHAR kUnwritten = u'\xFFFF';

const uint8_t kUserBlob[] = {8, 0, 0, 0, 'b', 'l', 'o', 'b'};

const char kJson[] =
    "{\"title\":\"T\",\"count\":2,\"data\":{\"items\":["
    "{\"id\":1,\"name\":\"a\",\"price\":2.5,\"when\":\"2024-03-05 14:07:09\",\"tags\":[1,2]},"
    "{\"id\":\"2\",\"name\":null,\"price\":0x10,\"when\":\"x\",\"名\":true},"
    "3, \"s\", [], {}],\"one\":{\"id\":7}}}";

const char kXml[] =
    "<Answer><Items>"
    "<Item id=\"1\" price=\"2.5\"><Name>apple</Name><When>2024-03-05 14:07:09</When></Item>"
    "<Note/><Item id=\"x\" price=\"3\"><Name>a&amp;b</Name></Item>"
    "<Item 名=\"中\"><Name><![CDATA[c]]></Name></Item>"
    "</Items><Item id=\"9\"/></Answer>";

// The two answers, loaded once, and start nodes of each.
struct Answers {
  Answers() {
    Load(&json, "application/json", kJson);
    Load(&xml, "text/xml", kXml);
    XJsonNode* items = XJsonDoc::FindNode(json.GetJsonDoc()->GetRoot(), 1, u"data/items");
    json_nodes[0] = items;
    json_nodes[1] = items->Child;
    xml_nodes[0] = xml.GetXmlDoc()->SelectNode(u"/Answer/Items", nullptr);
    xml_nodes[1] = xml.GetXmlDoc()->SelectNode(u"/Answer/Items/Item", nullptr);
  }
  static void Load(XHttpBuffer* buffer, const char* type, const char* text) {
    XMemoArchive archive;
    archive.Append(text, static_cast<uint32_t>(std::strlen(text)));
    fuzz::Require(buffer->SetMarkerDoc(type, &archive) == 1, "a fixed answer loads");
  }

  XHttpBuffer json;
  XHttpBuffer xml;
  void* json_nodes[2];
  void* xml_nodes[2];
};

uint16_t Load16(const uint8_t* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Makes the record's length word true and points its user blobs at a real blob, walking the
// embedded records as the reader does.
void MakeHonest(uint8_t* record, size_t size) {
  uint16_t length = Load16(record + 2);
  if (length > size) {
    length = static_cast<uint16_t>(size);
    std::memcpy(record + 2, &length, sizeof length);
  }
  const void* blob = kUserBlob;
  for (size_t at = kQueryHead; at + 8 <= length;) {
    const uint16_t step = Load16(record + at + 2);
    if (step < 8 || step > length - at) break;
    if (Load16(record + at) == kValueRecord && Load16(record + at + 6) == XDT_USER && step >= 16) {
      std::memcpy(record + at + 8, &blob, sizeof blob);
    }
    at += step;
  }
}

bool StartsWith(const std::u16string& text, const std::u16string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::u16string& text, const std::u16string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsDesignedMessage(const std::u16string& text) {
  static const char16_t* const kMessages[] = {
      u"获取数据失败，文档为空",     u"只能以名称方式检索数据", u"访问失败，节点检索名称不存在",
      u"只能以名称方式访问数据",     u"检索节点不是数组节点",   u"不能用编号方式检索数据",
      u"获取数据失败，xml 文档为空", u"数据类型个数有误",       u"不能用编号方式访问 xml 数据",
      u"访问失败，父项节点缺失",     u"检索类型个数有误"};
  for (const char16_t* message : kMessages) {
    if (text == message) return true;
  }
  return StartsWith(text, u"节点 [\"") && EndsWith(text, u"\"] 不存在");
}

void CheckOutcome(int32_t result, const XCHAR* error) {
  fuzz::Require(result == 0 || result == 1, "extraction gives 1 or 0");
  if (result == 1) {
    fuzz::Require(error[0] == kUnwritten, "a success writes no message");
    return;
  }
  size_t length = 0;
  while (length < kErrorRoom && error[length] != 0) ++length;
  fuzz::Require(length < kErrorRoom, "a message is terminated within the error text");
  fuzz::Require(IsDesignedMessage(std::u16string(error, length)), "a failure writes its message");
}

void ReadRow(const XRowBuffer& row) {
  for (XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next) {
    fuzz::TouchValue(*unit);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Answers answers;
  fuzz::Input input(data, size);
  const uint8_t flags = input.Byte();
  const bool grid = (flags & 1) != 0;
  const bool xml = (flags & 2) != 0;
  const int start = (flags >> 2) & 3;
  const bool typed = (flags & 16) != 0;
  const std::u16string types = typed ? input.Text() : std::u16string();
  const std::vector<uint8_t> bytes = input.Rest();
  if (bytes.size() < kQueryHead || bytes.size() > 0xFFFF) return 0;

  // The record ends where its block ends, whichever address it starts at.
  const size_t shift = (flags >> 5) & 1;
  std::unique_ptr<uint8_t[]> block(new uint8_t[shift + bytes.size()]);
  uint8_t* record = block.get() + shift;
  std::memcpy(record, bytes.data(), bytes.size());
  MakeHonest(record, bytes.size());
  const auto* query = reinterpret_cast<const XVariable*>(record);

  XHttpBuffer& buffer = xml ? answers.xml : answers.json;
  void* node = start == 0 ? nullptr : (xml ? answers.xml_nodes : answers.json_nodes)[start & 1];
  const XCHAR* letters = typed ? types.c_str() : nullptr;
  std::vector<XCHAR> error(kErrorRoom, kUnwritten);

  if (grid) {
    XRowGrider grider;
    CheckOutcome(buffer.GetRowGrider(node, query, &grider, letters, error.data()), error.data());
    fuzz::ReadEveryCell(&grider);
  } else {
    XRowBuffer row;
    CheckOutcome(buffer.GetRowBuffer(node, query, &row, letters, error.data()), error.data());
    ReadRow(row);
  }
  return 0;
}

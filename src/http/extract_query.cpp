// Reading the query record of the row and grid extraction, its type letters, and writing its
// messages.
#include "http/extract.h"

#include <cstring>

#include "platform/format.h"
#include "platform/text.h"
#include "tabrow/dataunit.h"
#include "values/type_letters.h"

namespace tabrow {

const char kNoNodeMessage[] = "节点 [\"%s\"] 不存在";

namespace {

constexpr uint32_t kQueryHead = 20;   // the query's own fields before its first record
constexpr uint32_t kRecordHead = 8;   // kind, length, a word, data type
constexpr uint32_t kLengthAt = 2;     // offset of a record's length word
constexpr uint32_t kDataTypeAt = 6;   // offset of a record's data type
constexpr uint32_t kSkipFlagAt = 16;  // the query's flags and item count
constexpr uint32_t kListFlagAt = 17;
constexpr uint32_t kCountAt = 18;

uint16_t Load16(const uint8_t* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The bytes a value record needs to hold a value of `type` at offset 8.
uint32_t ValueRecordSize(uint16_t type) {
  switch (type) {
    case XDT_LONG:
      return kRecordHead + 4;
    case XDT_DOUBLE:
    case XDT_DATETIME:
    case XDT_USER:
      return kRecordHead + 8;
    default:
      return kRecordHead;
  }
}

// Copies the inline text of a record `size` bytes long; false when no NUL ends it inside.
bool CopyInlineText(const uint8_t* record, uint32_t size, std::u16string* text) {
  text->clear();
  for (uint32_t at = kRecordHead; at + sizeof(XCHAR) <= size; at += sizeof(XCHAR)) {
    XCHAR unit;
    std::memcpy(&unit, record + at, sizeof unit);
    if (unit == 0) return true;
    text->push_back(unit);
  }
  return false;
}

// Reads the record at *offset of a query `length` bytes long and moves *offset past it.
bool ReadRecord(const uint8_t* query, uint32_t length, uint32_t* offset, QueryItem* item) {
  if (length - *offset < kRecordHead) return false;
  const uint8_t* record = query + *offset;
  const uint32_t size = Load16(record + kLengthAt);
  if (size < kRecordHead || size > length - *offset) return false;
  const uint16_t type = Load16(record + kDataTypeAt);
  item->record = reinterpret_cast<const XVariable*>(record);
  item->kind = Load16(record);
  item->is_text = type == XDT_STRING;
  if (item->is_text) {
    if (!CopyInlineText(record, size, &item->text)) return false;
  } else if (item->kind == kItemValue && size < ValueRecordSize(type)) {
    return false;
  }
  *offset += size;
  return true;
}

}  // namespace

bool ExtractQuery::Read(const XVariable* query) {
  if (query == nullptr) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(query);
  const uint32_t length = Load16(bytes + kLengthAt);
  if (length < kQueryHead) return false;
  list_ = bytes[kListFlagAt] != 0;
  count_ = bytes[kCountAt];
  uint32_t offset = kQueryHead;
  if (bytes[kSkipFlagAt] != 0 && !ReadRecord(bytes, length, &offset, &path_)) return false;
  if (!ReadRecord(bytes, length, &offset, &path_)) return false;
  items_.resize(list_ ? size_t(count_) : 0);
  for (QueryItem& item : items_) {
    if (!ReadRecord(bytes, length, &offset, &item)) return false;
  }
  return true;
}

std::vector<int8_t> ReadLetters(const XCHAR* types, int32_t count) {
  std::vector<int8_t> wanted(count > 1 ? size_t(count) : 1, kAsIs);
  for (size_t i = 0; types != nullptr && i < wanted.size(); ++i) {
    const XCHAR letter = LoadUnit(types + i);
    if (letter == 0) break;
    wanted[i] = LetterType(letter);
  }
  return wanted;
}

int32_t LetterCount(const XCHAR* types, int32_t limit) {
  int32_t count = 0;
  while (count < limit && LoadUnit(types + count) != 0) ++count;
  return count;
}

void WriteMessage(XCHAR* error, const char* message, const XCHAR* path) {
  if (error == nullptr) return;
  XCHAR text[kFormatLimit];
  if (path != nullptr) {
    FormatText(text, message, {path});
  } else {
    FormatText(text, message, {});
  }
  TextCopy(error, text);
}

}  // namespace tabrow

#include "query_record.h"

#include <cstring>

#include "tabrow/dataunit.h"
#include "text.h"

namespace tabrow::cli {
namespace {

constexpr uint16_t kChildElement = 0x3200;  // item record kind naming an XML child element
constexpr size_t kHead = 20;                // the query head; records follow it
constexpr size_t kMaxItems = 255;

void Put16(std::vector<uint8_t>* bytes, size_t at, uint16_t value) {
  (*bytes)[at] = static_cast<uint8_t>(value);
  (*bytes)[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

std::vector<QueryItem> ParseItems(const std::string& list) {
  std::vector<QueryItem> items;
  for (size_t start = 0; start <= list.size();) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string name = list.substr(start, end - start);
    if (!name.empty()) {
      const bool child = name[0] == '@';
      items.push_back({ToUtf16(child ? name.substr(1) : name), child});
    }
    start = end + 1;
  }
  return items;
}

bool QueryRecord::Build(const std::u16string& path, const std::vector<QueryItem>& items,
                        std::string* error) {
  if (items.size() > kMaxItems) {
    *error = "at most 255 items can be taken";
    return false;
  }
  bytes_.assign(kHead, 0);
  AppendText(0, path);
  for (const QueryItem& item : items) AppendText(item.child ? kChildElement : 0, item.name);
  if (bytes_.size() > UINT16_MAX) {
    *error = "the path and items are too long for one query";
    return false;
  }
  Put16(&bytes_, 2, static_cast<uint16_t>(bytes_.size()));
  bytes_[17] = items.empty() ? 0 : 1;  // list flag
  bytes_[18] = static_cast<uint8_t>(items.size());
  return true;
}

// A text record: kind, length, a spare word, type XDT_STRING, then the characters and a NUL.
void QueryRecord::AppendText(uint16_t kind, const std::u16string& text) {
  const size_t at = bytes_.size();
  const size_t length = 8 + 2 * (text.size() + 1);
  bytes_.resize(at + length, 0);
  Put16(&bytes_, at, kind);
  Put16(&bytes_, at + 2, static_cast<uint16_t>(length));  // a longer query is refused
  Put16(&bytes_, at + 6, XDT_STRING);
  std::memcpy(&bytes_[at + 8], text.data(), 2 * text.size());
}

}  // namespace tabrow::cli

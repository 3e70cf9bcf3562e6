// Test helpers: expected stored forms built item by item, and archives in and out.
#ifndef TABROW_TESTS_ROWS_STREAM_BYTES_H_
#define TABROW_TESTS_ROWS_STREAM_BYTES_H_

#include <string>
#include <utility>
#include <vector>

#include "tabrow/tabrow.h"

namespace rows_test {

// A little-endian byte stream in the serializer's vocabulary.
class Bytes {
 public:
  Bytes& Raw(const void* data, size_t count) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    data_.insert(data_.end(), bytes, bytes + count);
    return *this;
  }
  Bytes& Word(uint32_t value) { return Raw(&value, 4); }
  Bytes& Half(uint16_t value) { return Raw(&value, 2); }
  Bytes& Header(uint32_t identifier, uint32_t kind) { return Word(identifier).Word(kind); }
  Bytes& Open(uint32_t identifier) { return Header(identifier, XMF_OPEN); }
  Bytes& Close(uint32_t identifier) { return Header(identifier, XMF_CLOSE); }
  Bytes& Item(uint32_t identifier, const void* data, uint32_t count) {
    return Header(identifier, XMF_DATA).Word(count).Raw(data, count);
  }
  Bytes& WordItem(uint32_t identifier, uint32_t value) { return Item(identifier, &value, 4); }
  Bytes& HalfItem(uint32_t identifier, uint16_t value) { return Item(identifier, &value, 2); }
  Bytes& TextItem(uint32_t identifier, const std::u16string& text) {
    return Item(identifier, text.c_str(), static_cast<uint32_t>((text.size() + 1) * 2));
  }
  Bytes& Append(const std::vector<uint8_t>& more) { return Raw(more.data(), more.size()); }
  const std::vector<uint8_t>& data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

inline std::vector<uint8_t> Contents(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  const uint8_t* data = archive->GetData();
  return data == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(data, data + length);
}

using Lines = std::vector<std::pair<int32_t, std::u16string>>;

// A stored grid of an integer column (code 11) and a text column of size 8 (code 12).
inline std::vector<uint8_t> GridRecord(const Lines& lines) {
  const uint16_t types[] = {XDT_LONG, XDT_STRING};
  const uint16_t sizes[] = {4, 8};
  const uint32_t codes[] = {11, 12};
  Bytes grid;
  grid.Open(GDI_GRID).WordItem(GDI_COLCOUNTER, 2).Item(GDI_TYPES, types, 4);
  grid.Item(GDI_SIZES, sizes, 4).Item(GDI_CODES, codes, 8);
  for (const auto& line : lines) {
    uint16_t text_bytes = static_cast<uint16_t>((line.second.size() + 1) * 2);
    uint16_t table[] = {4, static_cast<uint16_t>(4 + text_bytes)};
    uint32_t data_size = 4u + table[1];
    grid.Header(GDI_LINE, XMF_DATA).Word(16 + data_size).Word(0).Word(0).Word(data_size).Word(0);
    grid.Raw(table, 4).Raw(&line.first, 4).Raw(line.second.c_str(), text_bytes);
  }
  return grid.Close(GDI_GRID).data();
}

// A heap grid loaded from GridRecord(lines).
inline XRowGrider* MakeGrid(const Lines& lines) {
  std::vector<uint8_t> bytes = GridRecord(lines);
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  XRowGrider* grider = XRowGrider::Malloc();
  grider->Serialize(&archive, 0, 0);
  return grider;
}

}  // namespace rows_test

#endif  // TABROW_TESTS_ROWS_STREAM_BYTES_H_

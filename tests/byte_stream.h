// Helpers shared by the suites that check stored forms: the bytes an archive holds, and expected
// streams built item by item in the serializer's little-endian vocabulary.
#ifndef TABROW_TESTS_BYTE_STREAM_H_
#define TABROW_TESTS_BYTE_STREAM_H_

#include <string>
#include <vector>

#include "tabrow/archive.h"

namespace test_util {

using Bytes = std::vector<uint8_t>;

// Everything the archive holds, whatever its position.
inline Bytes Contents(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  const uint8_t* data = archive->GetData();
  return length == 0 || data == nullptr ? Bytes() : Bytes(data, data + length);
}

inline uint32_t PositionOf(IArchive* archive) {
  uint32_t position = 0;
  archive->GetPosition(&position);
  return position;
}

inline std::string Chars(IArchive* archive) {
  Bytes bytes = Contents(archive);
  return std::string(bytes.begin(), bytes.end());
}

class Stream {
 public:
  Stream& Raw(const void* data, size_t count) {
    const auto* first = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + count);
    return *this;
  }
  Stream& Append(const Bytes& more) { return Raw(more.data(), more.size()); }
  Stream& Word(uint32_t value) { return Raw(&value, 4); }
  Stream& Half(uint16_t value) { return Raw(&value, 2); }
  Stream& Header(uint32_t id, uint32_t kind) { return Word(id).Word(kind); }
  Stream& Open(uint32_t id) { return Header(id, XMF_OPEN); }
  Stream& Close(uint32_t id) { return Header(id, XMF_CLOSE); }
  Stream& Item(uint32_t id, const void* data, uint32_t count) {
    return Header(id, XMF_DATA).Word(count).Raw(data, count);
  }
  Stream& WordItem(uint32_t id, uint32_t value) { return Item(id, &value, 4); }
  Stream& HalfItem(uint32_t id, uint16_t value) { return Item(id, &value, 2); }
  // The text and its NUL.
  Stream& TextItem(uint32_t id, const std::u16string& text) {
    return Item(id, text.c_str(), static_cast<uint32_t>(text.size() + 1) * 2);
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

}  // namespace test_util

#endif  // TABROW_TESTS_BYTE_STREAM_H_

// Query records built byte by byte, documents loaded into response buffers, and rows and grids
// rendered as text to compare with.
#ifndef TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_
#define TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tabrow/tabrow.h"

namespace extract_test {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::u16string>;

// An embedded record: kind, length, a zero word, data type, then the value's bytes.
inline Bytes Record(uint16_t kind, uint16_t type, const void* value, size_t size) {
  const uint16_t head[4] = {kind, uint16_t(8 + size), 0, type};
  Bytes out(reinterpret_cast<const uint8_t*>(head), reinterpret_cast<const uint8_t*>(head) + 8);
  out.insert(out.end(), static_cast<const uint8_t*>(value),
             static_cast<const uint8_t*>(value) + size);
  return out;
}
// A name (path or item): an inline text with its NUL.
inline Bytes Name(const std::u16string& text, uint16_t kind = 0) {
  return Record(kind, XDT_STRING, text.c_str(), 2 * (text.size() + 1));
}
// An integer: of kind 0x1000 it carries a value for the row, of kind 0 it is no name.
inline Bytes Number(int32_t value, uint16_t kind = 0) {
  return Record(kind, XDT_LONG, &value, 4);
}

// A query record placed at an odd address, as callers' packed records may be.
class Query {
 public:
  Query(const std::vector<Bytes>& records, bool list, bool skip = false) : bytes_(21, 0) {
    for (const Bytes& r : records) bytes_.insert(bytes_.end(), r.begin(), r.end());
    const uint16_t length = uint16_t(bytes_.size() - 1);  // one byte of padding first
    std::memcpy(&bytes_[1 + 2], &length, 2);
    bytes_[1 + 16] = skip;
    bytes_[1 + 17] = list;
    bytes_[1 + 18] = uint8_t(list ? records.size() - 1 - skip : 0);
  }
  const XVariable* get() const { return reinterpret_cast<const XVariable*>(bytes_.data() + 1); }
  Bytes& bytes() { return bytes_; }  // the padding byte first

 private:
  Bytes bytes_;
};

// Loads `text` into the buffer by its content type, as the call procedures do.
inline void Load(XHttpBuffer* buffer, const char* contentType, const std::string& text) {
  XMemoArchive archive;
  archive.Append(text.data(), uint32_t(text.size()));
  buffer->ClearBuffer();
  buffer->SetMarkerDoc(contentType, &archive);
}

// A cell as "<type letter>:<text form>", or "null".
inline std::u16string Render(const XDataUnit& unit) {
  if ((unit.Null & 1) != 0) return u"null";
  XCHAR text[512];
  DataTransfer(&unit, text, 512);
  return std::u16string(1, u"?ISFT"[unit.Type <= 4 ? unit.Type : 0]) + u":" + text;
}

inline Texts Render(const XRowBuffer& row) {
  Texts cells;
  for (XDataUnit* u = row.GetRowBuffer(); u != nullptr; u = u->Next) cells.push_back(Render(*u));
  return cells;
}

// Each line as its cells joined by '|'.
inline Texts Render(XRowGrider* grid) {
  Texts lines;
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    std::u16string text;
    for (int32_t c = 0; c < grid->GetColCounter(); ++c) {
      XDataUnit unit;
      grid->GetValue(line, c, &unit);
      text += (c > 0 ? u"|" : u"") + Render(unit);
    }
    lines.push_back(text);
  }
  return lines;
}

inline std::vector<uint16_t> Types(const XRowGrider& grid) {
  return std::vector<uint16_t>(grid.GetType(), grid.GetType() + grid.GetColCounter());
}

// Reads the fields GetRowGrider marks.
struct ProbeGrider : XRowGrider {
  int32_t kind() const { return SourceKind; }
  uintptr_t source() const { return Source; }
};

// An answer's buffer, and a row, a grid and a message area to take values into.
class ExtractTest : public ::testing::Test {
 protected:
  int32_t Row(const Query& query, const XCHAR* types, void* node = nullptr) {
    row_.ClearBuffer();
    return buffer_.GetRowBuffer(node, query.get(), &row_, types, error_);
  }
  int32_t Grid(const Query& query, const XCHAR* types, void* node = nullptr) {
    return buffer_.GetRowGrider(node, query.get(), &grid_, types, error_);
  }

  XHttpBuffer buffer_;
  XRowBuffer row_;
  ProbeGrider grid_;
  XCHAR error_[64] = u"untouched";
};

}  // namespace extract_test

#endif  // TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_

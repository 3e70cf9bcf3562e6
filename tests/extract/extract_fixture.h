// Query records built byte by byte, documents loaded into response buffers, and rows and grids
// rendered as text to compare with.
#ifndef TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_
#define TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_

#include <cstring>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace extract_test {

using Bytes = std::vector<uint8_t>;

// One embedded record: its head (kind, length, a word, data type), then its value bytes.
struct Record {
  uint16_t kind;
  uint16_t type;
  Bytes value;
};

inline Bytes Raw(const void* p, size_t n) {
  return Bytes(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
}
// A name (path or item): an inline text with its NUL.
inline Record Name(const std::u16string& text, uint16_t kind = 0) {
  return {kind, XDT_STRING, Raw(text.c_str(), 2 * (text.size() + 1))};
}
// A record of kind 0x1000 carrying an integer for the row.
inline Record Carried(int32_t value) {
  return {XVAR_INLINE, XDT_LONG, Raw(&value, 4)};
}
// A record that is no text.
inline Record Numbered(int32_t value) {
  return {0, XDT_LONG, Raw(&value, 4)};
}

inline void Put16(Bytes* out, uint16_t value) {
  out->insert(out->end(), {uint8_t(value), uint8_t(value >> 8)});
}

// A query record placed at an odd address, as callers' packed records may be.
class Query {
 public:
  Query(const std::vector<Record>& records, bool list, bool skip = false) {
    Bytes body;
    for (const Record& r : records) {
      Put16(&body, r.kind);
      Put16(&body, uint16_t(8 + r.value.size()));
      Put16(&body, 0);
      Put16(&body, r.type);
      body.insert(body.end(), r.value.begin(), r.value.end());
    }
    const size_t items = records.size() - 1 - (skip ? 1 : 0);
    bytes_.assign(21, 0);  // one byte of padding, then the 20-byte head
    bytes_[1 + 2] = uint8_t(20 + body.size());
    bytes_[1 + 3] = uint8_t((20 + body.size()) >> 8);
    bytes_[1 + 16] = skip;
    bytes_[1 + 17] = list;
    bytes_[1 + 18] = uint8_t(list ? items : 0);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
  }
  const XVariable* get() const { return reinterpret_cast<const XVariable*>(bytes_.data() + 1); }
  // The raw bytes, the padding byte first, for tests that damage them.
  Bytes& bytes() { return bytes_; }

 private:
  Bytes bytes_;
};

// Loads `text` into a fresh buffer by its content type.
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
  const char16_t letters[] = u"?ISFT";
  return std::u16string(1, unit.Type <= 4 ? letters[unit.Type] : u'?') + u":" + text;
}

inline std::vector<std::u16string> Render(const XRowBuffer& row) {
  std::vector<std::u16string> cells;
  for (XDataUnit* u = row.GetRowBuffer(); u != nullptr; u = u->Next) cells.push_back(Render(*u));
  return cells;
}

// Each line as its cells joined by '|'.
inline std::vector<std::u16string> Render(XRowGrider* grid) {
  std::vector<std::u16string> lines;
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
  const uint16_t* types = grid.GetType();
  return types == nullptr ? std::vector<uint16_t>()
                          : std::vector<uint16_t>(types, types + grid.GetColCounter());
}

// Reads the fields GetRowGrider marks.
class ProbeGrider : public XRowGrider {
 public:
  int32_t kind() const { return SourceKind; }
  uintptr_t source() const { return Source; }
};

}  // namespace extract_test

#endif  // TABROW_TESTS_EXTRACT_EXTRACT_FIXTURE_H_

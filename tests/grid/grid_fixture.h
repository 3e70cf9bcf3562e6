// Helpers shared by the grid tests: byte builders for line data and stored records, and a way to
// fill a grid with lines through its stored form.
#ifndef TABROW_TESTS_GRID_GRID_FIXTURE_H_
#define TABROW_TESTS_GRID_GRID_FIXTURE_H_

#include <cstring>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace gridtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Le16(uint16_t v) {
  return {uint8_t(v), uint8_t(v >> 8)};
}
inline Bytes Le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
inline Bytes Raw(const void* p, size_t n) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  return Bytes(b, b + n);
}
inline Bytes Long(int32_t v) {
  return Raw(&v, 4);
}
inline Bytes Dbl(double v) {
  return Raw(&v, 8);
}
inline Bytes Time(const DATETIME& t) {
  return Raw(&t, 8);
}
// UTF-16LE characters and a NUL.
inline Bytes Text(const std::u16string& s) {
  return Raw(s.c_str(), 2 * (s.size() + 1));
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Line data: the end offset table, then the cells (an empty vector is a null cell).
inline Bytes LineData(const std::vector<Bytes>& cells) {
  Bytes table, body;
  for (const Bytes& c : cells) {
    body.insert(body.end(), c.begin(), c.end());
    Bytes e = Le16(uint16_t(body.size()));
    table.insert(table.end(), e.begin(), e.end());
  }
  return Cat({table, body});
}

struct Line {
  uint32_t marker = 0;
  uint32_t proper = 0;
  uint32_t binder = 0;
  Bytes data;
};

// A stored line item: identifier, kind, byte count, header, data.
inline Bytes LineItem(const Line& line) {
  return Cat({Le32(GDI_LINE), Le32(XMF_DATA), Le32(uint32_t(16 + line.data.size())),
              Le32(line.marker), Le32(line.proper), Le32(uint32_t(line.data.size())),
              Le32(line.binder), line.data});
}

inline Bytes Header(uint32_t id, uint32_t kind) {
  return Cat({Le32(id), Le32(kind)});
}
inline Bytes Item(uint32_t id, const Bytes& value) {
  return Cat({Header(id, XMF_DATA), Le32(uint32_t(value.size())), value});
}

inline Bytes ArchiveBytes(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  const uint8_t* data = archive->GetData();
  return data == nullptr ? Bytes() : Bytes(data, data + length);
}

// A grid record with types and sizes only, holding the given lines.
inline Bytes GridRecord(const std::vector<uint16_t>& types, const std::vector<uint16_t>& sizes,
                        const std::vector<Line>& lines) {
  Bytes t, s;
  for (uint16_t v : types) t = Cat({t, Le16(v)});
  for (uint16_t v : sizes) s = Cat({s, Le16(v)});
  Bytes out = Cat({Header(GDI_GRID, XMF_OPEN), Item(GDI_COLCOUNTER, Le32(uint32_t(types.size())))});
  if (!types.empty()) out = Cat({out, Item(GDI_TYPES, t), Item(GDI_SIZES, s)});
  for (const Line& l : lines) out = Cat({out, LineItem(l)});
  return Cat({out, Header(GDI_GRID, XMF_CLOSE)});
}

// Reads `bytes` into `grid` through its stored form; the result of Serialize. The archive form
// reads line items straight from memory, the serializer form item by item: both must agree.
enum class Through { kArchive, kSerializer };
inline int32_t Load(XRowGrider* grid, const Bytes& bytes, int32_t nested = 0,
                    Through through = Through::kArchive) {
  XMemoArchive archive;
  if (!bytes.empty()) archive.Append(bytes.data(), uint32_t(bytes.size()));
  if (through == Through::kArchive) return grid->Serialize(&archive, 0, nested);
  XMF_Serialize serializer(&archive);
  return grid->Serialize(&serializer, 0, nested);
}

inline Bytes Store(XRowGrider* grid) {
  XMemoArchive archive;
  grid->Serialize(&archive, 1, 0);
  return ArchiveBytes(&archive);
}

// The data bytes of a line handle.
inline Bytes DataOf(const void* line) {
  const RowLine* row = static_cast<const RowLine*>(line);
  return row->DataSize == 0 ? Bytes() : Bytes(row->Data, row->Data + row->DataSize);
}

inline XDataUnit Unit() {
  XDataUnit u;
  SetUnitNull(&u);
  return u;
}

}  // namespace gridtest

#endif  // TABROW_TESTS_GRID_GRID_FIXTURE_H_

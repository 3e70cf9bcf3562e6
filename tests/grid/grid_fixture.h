// Byte builders for line data and stored grid records, and loading a grid from bytes.
#ifndef TABROW_TESTS_GRID_GRID_FIXTURE_H_
#define TABROW_TESTS_GRID_GRID_FIXTURE_H_

#include <string>
#include <vector>

#include "byte_stream.h"
#include "tabrow/tabrow.h"

namespace gridtest {

using test_util::Bytes;
using test_util::Contents;

inline Bytes Raw(const void* p, size_t n) {
  return Bytes(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
}
inline Bytes Le16(uint16_t v) {
  return Raw(&v, 2);
}
inline Bytes Le32(uint32_t v) {
  return Raw(&v, 4);
}
inline Bytes Long(int32_t v) {
  return Raw(&v, 4);
}
inline Bytes Dbl(double v) {
  return Raw(&v, 8);
}
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
    body = Cat({body, c});
    table = Cat({table, Le16(uint16_t(body.size()))});
  }
  return Cat({table, body});
}

struct Line {
  uint32_t marker, proper, binder;
  Bytes data;
};

inline Bytes Header(uint32_t id, uint32_t kind) {
  return Cat({Le32(id), Le32(kind)});
}
inline Bytes Item(uint32_t id, const Bytes& value) {
  return Cat({Header(id, XMF_DATA), Le32(uint32_t(value.size())), value});
}
inline Bytes LineItem(const Line& l) {
  return Item(GDI_LINE, Cat({Le32(l.marker), Le32(l.proper), Le32(uint32_t(l.data.size())),
                             Le32(l.binder), l.data}));
}

// A grid record with types and sizes only (no arrays for no columns), holding the lines.
inline Bytes GridRecord(const std::vector<uint16_t>& types, const std::vector<uint16_t>& sizes,
                        const std::vector<Line>& lines) {
  Bytes t, s,
      out = Cat({Header(GDI_GRID, XMF_OPEN), Item(GDI_COLCOUNTER, Le32(uint32_t(types.size())))});
  for (size_t i = 0; i < types.size(); ++i)
    t = Cat({t, Le16(types[i])}), s = Cat({s, Le16(sizes[i])});
  if (!types.empty()) out = Cat({out, Item(GDI_TYPES, t), Item(GDI_SIZES, s)});
  for (const Line& l : lines) out = Cat({out, LineItem(l)});
  return Cat({out, Header(GDI_GRID, XMF_CLOSE)});
}

// A memory archive that does not lend its memory, so grids read and write it item by item.
class PlainArchive final : public IArchive {
 public:
  int32_t GetPosition(uint32_t* position) override { return memory_.GetPosition(position); }
  void Release() override {}
  int32_t SeekToBegin() override { return memory_.SeekToBegin(); }
  int32_t Seek(uint32_t position) override { return memory_.Seek(position); }
  int32_t GetLength(uint32_t* length) override { return memory_.GetLength(length); }
  int32_t SetLength(uint32_t length) override { return memory_.SetLength(length); }
  const uint8_t* GetData() override { return nullptr; }
  int32_t Skip(uint32_t count) override { return memory_.Skip(count); }
  int32_t Read(void* buffer, uint32_t count) override { return memory_.Read(buffer, count); }
  int32_t Reserve(uint32_t capacity) override { return memory_.Reserve(capacity); }
  int32_t Append(const void* buffer, uint32_t count) override {
    return memory_.Append(buffer, count);
  }
  int32_t CopyFrom(IArchive* source) override { return memory_.CopyFrom(source); }
  Bytes Content() { return Contents(&memory_); }

 private:
  XMemoArchive memory_;
};

// A memory archive gives the reader runs of line items straight from its memory; an archive
// that does not lend its memory is read item by item.
enum class Through { kArchive, kSerializer };
inline int32_t Load(XRowGrider* grid, const Bytes& bytes, int32_t nested = 0,
                    Through through = Through::kArchive) {
  if (through == Through::kArchive) {
    XMemoArchive archive;
    archive.Append(bytes.data(), uint32_t(bytes.size()));
    return grid->Serialize(&archive, 0, nested);
  }
  PlainArchive archive;
  archive.Append(bytes.data(), uint32_t(bytes.size()));
  XMF_Serialize serializer(&archive);
  return grid->Serialize(&serializer, 0, nested);
}

inline Bytes Store(XRowGrider* grid) {
  XMemoArchive archive;
  grid->Serialize(&archive, 1, 0);
  return Contents(&archive);
}

inline Bytes DataOf(const void* line) {
  const RowLine* row = static_cast<const RowLine*>(line);
  return Raw(row->Data, row->DataSize);
}

inline XDataUnit Unit() {
  XDataUnit u;
  SetUnitNull(&u);
  return u;
}

// The integer in column 0 of each line of a grid, in order.
inline std::vector<int32_t> FirstLongs(XRowGrider* grid) {
  std::vector<int32_t> numbers;
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    XDataUnit unit = Unit();
    grid->GetValue(line, 0, &unit);
    numbers.push_back(unit.Value.Long);
  }
  return numbers;
}

}  // namespace gridtest

#endif  // TABROW_TESTS_GRID_GRID_FIXTURE_H_

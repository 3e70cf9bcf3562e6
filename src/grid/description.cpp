// The column description: the four parallel arrays and the operations that fill them.
#include <cstdlib>
#include <cstring>

#include "grid/line_layout.h"
#include "tabrow/grider.h"
#include "tabrow/itemdesc.h"

namespace {

// Descriptors of the alternative text type describe ordinary text columns.
uint16_t ColumnType(uint16_t type) {
  return type == XDT_ALTSTRING ? XDT_STRING : type;
}

bool CountAllowed(int32_t count) {
  return count >= 0 && count <= tabrow::kMaxColumns;
}

// Fresh column arrays with room for `room` columns; codes and kapes only on request.
struct ColumnArrays {
  uint16_t* types = nullptr;
  uint16_t* sizes = nullptr;
  uint32_t* codes = nullptr;
  uint32_t* kapes = nullptr;

  bool Alloc(int32_t room, bool with_codes, bool with_kapes) {
    size_t n = static_cast<size_t>(room);
    types = static_cast<uint16_t*>(std::calloc(n, sizeof(uint16_t)));
    sizes = static_cast<uint16_t*>(std::calloc(n, sizeof(uint16_t)));
    if (with_codes) codes = static_cast<uint32_t*>(std::calloc(n, sizeof(uint32_t)));
    if (with_kapes) kapes = static_cast<uint32_t*>(std::calloc(n, sizeof(uint32_t)));
    if (types != nullptr && sizes != nullptr && (codes != nullptr || !with_codes) &&
        (kapes != nullptr || !with_kapes)) {
      return true;
    }
    Free();
    return false;
  }

  void Free() {
    std::free(types);
    std::free(sizes);
    std::free(codes);
    std::free(kapes);
    *this = ColumnArrays();
  }
};

}  // namespace

// Each Set... form goes through here: the grid is cleared, and for a non-zero count the arrays
// are made. False leaves the grid empty.
bool XRowGrider::DescribeColumns(int32_t count, bool with_codes, bool with_kapes) {
  ClearBuffer();
  if (!CountAllowed(count)) return false;
  if (count == 0) return true;
  ColumnArrays arrays;
  if (!arrays.Alloc(count, with_codes, with_kapes)) return false;
  Types = arrays.types;
  Sizes = arrays.sizes;
  Codes = arrays.codes;
  Kapes = arrays.kapes;
  ColCounter = count;
  return true;
}

int32_t XRowGrider::SetItemDesc(const XDataUnit* units, int32_t count) {
  if (count > 0 && units == nullptr) {
    ClearBuffer();
    return 0;
  }
  if (!DescribeColumns(count, true, false)) return 0;
  for (int32_t i = 0; i < count; ++i) {
    Types[i] = units[i].Type;
    Sizes[i] = units[i].Size;
    Codes[i] = units[i].Code;
  }
  return 1;
}

int32_t XRowGrider::SetItemDesc(const uint16_t* types, const uint16_t* sizes, int32_t count) {
  if (count > 0 && (types == nullptr || sizes == nullptr)) {
    ClearBuffer();
    return 0;
  }
  if (!DescribeColumns(count, false, false)) return 0;
  if (count == 0) return 1;
  std::memcpy(Types, types, sizeof(uint16_t) * static_cast<size_t>(count));
  std::memcpy(Sizes, sizes, sizeof(uint16_t) * static_cast<size_t>(count));
  return 1;
}

int32_t XRowGrider::SetDataDesc(const XItemDataDesc* chain) {
  int32_t count = 0;
  for (const XItemDataDesc* d = chain; d != nullptr && count <= tabrow::kMaxColumns; d = d->Next) {
    ++count;
  }
  if (!DescribeColumns(count, false, false)) return 0;
  int32_t i = 0;
  for (const XItemDataDesc* d = chain; i < count; d = d->Next, ++i) {
    Types[i] = ColumnType(d->Type);
    Sizes[i] = d->Size;
  }
  return 1;
}

int32_t XRowGrider::SetDataDesc(const XItemDataDesc* const* descs, const uint32_t* kapes,
                                int32_t count) {
  bool complete = count <= 0 || (descs != nullptr && kapes != nullptr);
  for (int32_t i = 0; complete && i < count && i < tabrow::kMaxColumns; ++i) {
    complete = descs[i] != nullptr;
  }
  if (!complete) {
    ClearBuffer();
    return 0;
  }
  if (!DescribeColumns(count, true, true)) return 0;
  for (int32_t i = 0; i < count; ++i) {
    Types[i] = ColumnType(descs[i]->Type);
    Sizes[i] = descs[i]->Size;
    Codes[i] = descs[i]->Code;
    Kapes[i] = kapes[i];
  }
  return 1;
}

int32_t XRowGrider::AddItemDesc(const XItemDataDesc* desc, uint32_t kape) {
  if (desc == nullptr || Reference != 0) return 0;
  if (Types == nullptr) {
    if (ColCounter != 0) return 0;  // counted columns without arrays: not ours to grow
    ColumnArrays arrays;
    if (!arrays.Alloc(tabrow::kMaxColumns, true, true)) return 0;
    Types = arrays.types;
    Sizes = arrays.sizes;
    Codes = arrays.codes;
    Kapes = arrays.kapes;
    ColCapacity = tabrow::kMaxColumns;
  }
  if (ColCounter >= ColCapacity) return 0;
  Types[ColCounter] = ColumnType(desc->Type);
  Sizes[ColCounter] = desc->Size;
  Codes[ColCounter] = desc->Code;
  Kapes[ColCounter] = kape;
  ++ColCounter;
  return 1;
}

int32_t XRowGrider::SetDescKape(const uint32_t* kapes, int32_t count) {
  if (Reference != 0 || count < ColCounter) return 0;
  if (ColCounter == 0) return 1;
  if (Kapes == nullptr) {
    Kapes = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(ColCounter), sizeof(uint32_t)));
    if (Kapes == nullptr) return 0;
  }
  for (int32_t i = 0; i < ColCounter; ++i) {
    Kapes[i] = kapes != nullptr ? kapes[i] : static_cast<uint32_t>(i);
  }
  return 1;
}

int32_t XRowGrider::GetRowMaxSize() const {
  int32_t total = 24;
  for (int32_t i = 0; i < ColCounter; ++i) {
    int32_t size = Sizes != nullptr ? Sizes[i] : 0;
    total += 2 + size;
    if (Types != nullptr && Types[i] == XDT_STRING) total += size;
  }
  return total;
}

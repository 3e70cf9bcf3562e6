// The explicit deep copy of a grid.
#include <cstdlib>
#include <cstring>

#include "grid/line_layout.h"
#include "tabrow/grider.h"

namespace {

// A copy of `count` elements of `size` bytes, or null for a null array or no elements. False
// when memory runs out.
bool CopyArray(const void* source, int32_t count, size_t size, void** target) {
  *target = nullptr;
  if (source == nullptr || count == 0) return true;
  size_t bytes = size * static_cast<size_t>(count);
  *target = std::malloc(bytes);
  if (*target == nullptr) return false;
  std::memcpy(*target, source, bytes);
  return true;
}

// A new line with the source line's header words and a copy of its data; null when memory
// runs out.
RowLine* CopyLine(const RowLine* source) {
  RowLine* line = tabrow::AllocLine(source->DataSize);
  if (line == nullptr) return nullptr;
  line->Marker = source->Marker;
  line->Proper = source->Proper;
  line->Binder = source->Binder;
  if (source->DataSize > 0) {
    std::memcpy(line->Data, source->Data, source->DataSize);
  }
  return line;
}

}  // namespace

int32_t XRowGrider::CloneGrider(XRowGrider* source) {
  if (source == nullptr || source == this) return 0;
  ClearBuffer();
  SourceKind = source->SourceKind;
  Source = source->Source;
  void* types = nullptr;
  void* sizes = nullptr;
  void* codes = nullptr;
  void* kapes = nullptr;
  int32_t n = source->ColCounter;
  bool copied = CopyArray(source->Types, n, sizeof(uint16_t), &types) &&
                CopyArray(source->Sizes, n, sizeof(uint16_t), &sizes) &&
                CopyArray(source->Codes, n, sizeof(uint32_t), &codes) &&
                CopyArray(source->Kapes, n, sizeof(uint32_t), &kapes);
  Types = static_cast<uint16_t*>(types);
  Sizes = static_cast<uint16_t*>(sizes);
  Codes = static_cast<uint32_t*>(codes);
  Kapes = static_cast<uint32_t*>(kapes);
  ColCounter = n;
  for (RowLine* line = static_cast<RowLine*>(source->MoveNextLine(0)); copied && line != nullptr;
       line = static_cast<RowLine*>(source->MoveNextLine(1))) {
    RowLine* copy = CopyLine(line);
    if (copy == nullptr) {
      copied = false;
    } else {
      AppendLine(copy);
    }
  }
  source->Current = nullptr;
  if (copied) return 1;
  ClearBuffer();
  return 0;
}

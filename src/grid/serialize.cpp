// The stored form of a grid: its record in a tagged stream, and the reduced record of line
// headers that StoreBacker writes.
#include <cstdlib>

#include "grid/line_io.h"
#include "tabrow/grider.h"

namespace {

// Reads a column array item of `columns` entries into *array, made zero-filled when it does not
// exist yet. The item's length must match exactly.
template <typename T>
bool ReadColumnArray(XMF_Serialize* serializer, int32_t columns, T** array) {
  uint32_t capacity = static_cast<uint32_t>(columns) * sizeof(T);
  uint32_t size = 0;
  if (columns == 0) {
    uint8_t none[1];
    return serializer->ReadProper(none, 0, &size) && size == 0;
  }
  if (*array == nullptr)
    *array = static_cast<T*>(std::calloc(static_cast<size_t>(columns), sizeof(T)));
  if (*array == nullptr) return false;
  return serializer->ReadProper(*array, capacity, &size) && size == capacity;
}

// Lines built or loaded one after another sit one after another in their slabs, records and data
// apart: asking for the memory this far past both, by address, keeps a long walk over the list
// from waiting on each line in turn. Lines laid out otherwise only lose the hint.
constexpr uintptr_t kWalkAhead = 4096;

void PrefetchAhead(const RowLine* line) {
  __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(line) + kWalkAhead));
  __builtin_prefetch(
      reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(line->Data) + kWalkAhead));
}

}  // namespace

int32_t XRowGrider::Serialize(IArchive* archive, int32_t direction, int32_t nested) {
  if (archive == nullptr) return 0;
  XMF_Serialize serializer(archive);
  return Serialize(&serializer, direction, nested);
}

// An archive that lends its memory (a nested grid inside a row's record too) gives the reader
// its runs of line items straight from that memory.
int32_t XRowGrider::Serialize(XMF_Serialize* serializer, int32_t direction, int32_t nested) {
  if (serializer == nullptr) return 0;
  if (direction == 0) return SerializeIn(serializer, nested);
  return SerializeOut(serializer, nested);
}

int32_t XRowGrider::SerializeOut(XMF_Serialize* serializer, int32_t nested) {
  if (nested == 0 && !serializer->WriteHeader(GDI_GRID, XMF_OPEN)) return 0;
  int32_t n = ColCounter;
  bool written = serializer->Write_Proper(GDI_COLCOUNTER, &n, sizeof n);
  if (n > 0) {
    uint32_t narrow = 2 * static_cast<uint32_t>(n);
    uint32_t wide = 4 * static_cast<uint32_t>(n);
    if (written && Types != nullptr) written = serializer->Write_Proper(GDI_TYPES, Types, narrow);
    if (written && Sizes != nullptr) written = serializer->Write_Proper(GDI_SIZES, Sizes, narrow);
    if (written && Codes != nullptr) written = serializer->Write_Proper(GDI_CODES, Codes, wide);
    if (written && Kapes != nullptr) written = serializer->Write_Proper(GDI_KAPES, Kapes, wide);
  }
  tabrow::LineWriter writer(serializer);
  for (const RowLine* line = Head; written && line != nullptr; line = line->Next) {
    PrefetchAhead(line);
    written = writer.Add(line, line->DataSize);
  }
  if (!written || !writer.Flush()) return 0;
  return serializer->WriteHeader(GDI_GRID, XMF_CLOSE);
}

int32_t XRowGrider::SerializeIn(XMF_Serialize* serializer, int32_t nested) {
  ClearBuffer();
  IArchive* memory = serializer->GetArchive();
  uint32_t identifier = 0;
  uint32_t kind = 0;
  if (nested == 0) {
    if (!serializer->ReadHeader(&identifier, &kind)) return 0;
    if (identifier != GDI_GRID || kind != XMF_OPEN) return 0;
  }
  for (;;) {
    if (memory != nullptr) {
      tabrow::LineRun run = tabrow::ReadLineRun(memory);
      AppendRun(run.head, run.tail);
    }
    if (!serializer->ReadHeader(&identifier, &kind)) return 0;
    if (kind == XMF_OPEN) {
      if (!serializer->SkipMarker()) return 0;
      continue;
    }
    if (kind != XMF_DATA) return kind == XMF_CLOSE ? 1 : 0;
    bool read = false;
    switch (identifier) {
      case GDI_COLCOUNTER:
        read = ReadColumnCounter(serializer);
        break;
      case GDI_TYPES:
        read = ReadColumnArray(serializer, ColCounter, &Types);
        break;
      case GDI_SIZES:
        read = ReadColumnArray(serializer, ColCounter, &Sizes);
        break;
      case GDI_CODES:
        read = ReadColumnArray(serializer, ColCounter, &Codes);
        break;
      case GDI_KAPES:
        read = ReadColumnArray(serializer, ColCounter, &Kapes);
        break;
      case GDI_LINE:
        read = ReadLine(serializer);
        break;
      default:
        read = serializer->SkipProper();
        break;
    }
    if (!read) return 0;
  }
}

// The column count must lie in 0..256 and may change only while no column array exists, so the
// arrays always hold ColCounter entries.
int32_t XRowGrider::ReadColumnCounter(XMF_Serialize* serializer) {
  int32_t count = 0;
  uint32_t size = 0;
  if (!serializer->ReadProper(&count, sizeof count, &size) || size != sizeof count) return 0;
  if (count < 0 || count > tabrow::kMaxColumns) return 0;
  bool arrays = Types != nullptr || Sizes != nullptr || Codes != nullptr || Kapes != nullptr;
  if (arrays && count != ColCounter) return 0;
  ColCounter = count;
  return 1;
}

// A line item after its header: byte count, line header, data.
int32_t XRowGrider::ReadLine(XMF_Serialize* serializer) {
  uint8_t head[4 + tabrow::kLineHeaderBytes];
  if (!serializer->Read(head, sizeof head)) return 0;
  uint32_t data_size = 0;
  if (!tabrow::StoredDataSize(tabrow::Load32(head), tabrow::Load32(head + 12), &data_size)) {
    return 0;
  }
  RowLine* line = tabrow::NewStoredLine(head + 4, data_size);
  if (line == nullptr) return 0;
  if (data_size > 0 && !serializer->Read(line->Data, data_size)) {
    tabrow::FreeLine(line);
    return 0;
  }
  AppendLine(line);
  return 1;
}

// Links lines already linked from head to tail at the end of the list.
void XRowGrider::AppendRun(RowLine* head, RowLine* tail) {
  if (head == nullptr) return;
  AppendLine(head);
  Tail = tail;
}

int32_t XRowGrider::StoreBacker(IArchive* archive) {
  if (archive == nullptr) return 0;
  XMF_Serialize serializer(archive);
  if (!serializer.WriteHeader(GDI_GRID, XMF_OPEN)) return 0;
  int32_t none = 0;
  bool written = serializer.Write_Proper(GDI_COLCOUNTER, &none, sizeof none);
  tabrow::LineWriter writer(&serializer);
  for (const RowLine* line = Head; written && line != nullptr; line = line->Next) {
    if (line->Proper == 0) written = writer.Add(line, 0);
  }
  written = written && writer.Flush();
  if (!written) return 0;
  return serializer.WriteHeader(GDI_GRID, XMF_CLOSE);
}

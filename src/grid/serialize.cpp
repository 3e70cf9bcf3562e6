// The stored form of a grid: its record in a tagged stream, and the reduced record of line
// headers that StoreBacker writes.
#include <cstdlib>

#include "grid/line_layout.h"
#include "tabrow/grider.h"

namespace {

bool WriteLine(XMF_Serialize* serializer, const RowLine* line) {
  uint8_t prefix[tabrow::kLinePrefixBytes];
  tabrow::PutLinePrefix(prefix, line->Marker, line->Proper, line->DataSize, line->Binder);
  if (!serializer->Write(prefix, sizeof prefix)) return false;
  return line->DataSize == 0 || serializer->Write(line->Data, line->DataSize);
}

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

}  // namespace

int32_t XRowGrider::Serialize(IArchive* archive, int32_t direction, int32_t nested) {
  if (archive == nullptr) return 0;
  XMF_Serialize serializer(archive);
  return Serialize(&serializer, direction, nested);
}

int32_t XRowGrider::Serialize(XMF_Serialize* serializer, int32_t direction, int32_t nested) {
  if (serializer == nullptr) return 0;
  return direction != 0 ? SerializeOut(serializer, nested) : SerializeIn(serializer, nested);
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
  for (const RowLine* line = Head; written && line != nullptr; line = line->Next) {
    written = WriteLine(serializer, line);
  }
  if (!written) return 0;
  return serializer->WriteHeader(GDI_GRID, XMF_CLOSE);
}

int32_t XRowGrider::SerializeIn(XMF_Serialize* serializer, int32_t nested) {
  ClearBuffer();
  uint32_t identifier = 0;
  uint32_t kind = 0;
  if (nested == 0) {
    if (!serializer->ReadHeader(&identifier, &kind)) return 0;
    if (identifier != GDI_GRID || kind != XMF_OPEN) return 0;
  }
  for (;;) {
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

// A line item after its header: byte count, line header, data. A count of 16 is a header
// without data whatever its DataSize says; any other count must be 16 + DataSize.
int32_t XRowGrider::ReadLine(XMF_Serialize* serializer) {
  uint8_t head[4 + tabrow::kLineHeaderBytes];
  if (!serializer->Read(head, sizeof head)) return 0;
  uint32_t count = tabrow::Load32(head);
  uint32_t data_size = tabrow::Load32(head + 12);
  if (count < tabrow::kLineHeaderBytes) return 0;
  if (count == tabrow::kLineHeaderBytes) {
    data_size = 0;
  } else if (count - tabrow::kLineHeaderBytes != data_size || data_size > tabrow::kMaxDataSize) {
    return 0;
  }
  RowLine* line = tabrow::AllocLine();
  if (line == nullptr) return 0;
  line->Marker = tabrow::Load32(head + 4);
  line->Proper = tabrow::Load32(head + 8);
  line->Binder = tabrow::Load32(head + 16);
  if (data_size > 0) {
    line->Data = static_cast<uint8_t*>(std::malloc(data_size));
    if (line->Data == nullptr || !serializer->Read(line->Data, data_size)) {
      tabrow::FreeLine(line);
      return 0;
    }
    line->DataSize = data_size;
  }
  AppendLine(line);
  return 1;
}

int32_t XRowGrider::StoreBacker(IArchive* archive) {
  if (archive == nullptr) return 0;
  XMF_Serialize serializer(archive);
  if (!serializer.WriteHeader(GDI_GRID, XMF_OPEN)) return 0;
  int32_t none = 0;
  bool written = serializer.Write_Proper(GDI_COLCOUNTER, &none, sizeof none);
  for (const RowLine* line = Head; written && line != nullptr; line = line->Next) {
    if (line->Proper != 0) continue;
    uint8_t prefix[tabrow::kLinePrefixBytes];
    tabrow::PutLinePrefix(prefix, line->Marker, line->Proper, 0, line->Binder);
    written = serializer.Write(prefix, sizeof prefix);
  }
  if (!written) return 0;
  return serializer.WriteHeader(GDI_GRID, XMF_CLOSE);
}

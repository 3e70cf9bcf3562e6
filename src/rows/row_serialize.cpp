// The stored form of a row: an open record (0x10000001), the header words as items 1 to 3 when
// non-zero, one unit item (0x10001) per unit with a grid unit's grid record right after it, and
// the close header. A unit item is its header and then, written raw, the byte count L, Code,
// Extra, Type, Size, Null, the binder's low 32 bits and L - 20 bytes of value.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "rows/stream_bytes.h"
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"
#include "values/unit_alloc.h"

namespace {

constexpr uint32_t kRowRecord = 0x10000001u;
constexpr uint32_t kUnitItem = 0x10001u;
constexpr uint32_t kFieldBytes = 20;      // Code to Binder
constexpr size_t kUnitHead = 8 + 4 + 20;  // header, L, fields
constexpr uint32_t kMaxPlainValue = 8;    // what Value holds
constexpr uint32_t kMaxCount = 0xFFFFFFFFu;

const uint32_t kWordItems[] = {1, 2, 3};

// The header, L and the fields of a unit item, packed into `out`; returns the end.
uint8_t* PackUnitHead(uint8_t* out, const XDataUnit* unit, uint32_t value_bytes) {
  out = tabrow::PutWord(out, kUnitItem);
  out = tabrow::PutWord(out, XMF_DATA);
  out = tabrow::PutWord(out, kFieldBytes + value_bytes);
  out = tabrow::PutWord(out, unit->Code);
  out = tabrow::PutWord(out, static_cast<uint32_t>(unit->Extra));
  out = tabrow::PutHalf(out, unit->Type);
  out = tabrow::PutHalf(out, unit->Size);
  out = tabrow::PutWord(out, static_cast<uint32_t>(unit->Null));
  return tabrow::PutWord(out, static_cast<uint32_t>(unit->Binder));
}

// Bytes of a plain value stored after the fields: 4 for an integer, 8 for a double or date-time.
uint32_t PlainValueBytes(const XDataUnit* unit) {
  if ((unit->Null & 1) != 0) return 0;
  if (unit->Type == XDT_LONG) return 4;
  if (unit->Type == XDT_DOUBLE || unit->Type == XDT_DATETIME) return 8;
  return 0;
}

bool WriteTextUnit(XMF_Serialize* out, const XDataUnit* unit) {
  size_t length = tabrow::TextLength(unit->Value.Text);
  if (length >= (kMaxCount - kFieldBytes) / sizeof(XCHAR)) return false;
  uint32_t bytes = static_cast<uint32_t>((length + 1) * sizeof(XCHAR));
  uint8_t head[kUnitHead];
  PackUnitHead(head, unit, bytes);
  return out->Write(head, sizeof head) && out->Write(unit->Value.Text, bytes);
}

bool WriteArchiveUnit(XMF_Serialize* out, const XDataUnit* unit) {
  uint32_t length = 0;
  unit->Value.Archive->GetLength(&length);
  if (length > kMaxCount - kFieldBytes) return false;
  uint8_t head[kUnitHead];
  PackUnitHead(head, unit, length);
  return out->Write(head, sizeof head) && (length == 0 || out->WriteDoc(unit->Value.Archive));
}

bool WriteUnit(XMF_Serialize* out, const XDataUnit* unit) {
  bool has_value = (unit->Null & 1) == 0 && unit->Value.Pointer != nullptr;
  if (unit->Type == XDT_STRING && has_value) return WriteTextUnit(out, unit);
  if (unit->Type == XDT_ARCHIVE && has_value) return WriteArchiveUnit(out, unit);
  uint8_t block[kUnitHead + kMaxPlainValue];
  uint32_t value_bytes = PlainValueBytes(unit);
  std::memcpy(PackUnitHead(block, unit, value_bytes), &unit->Value, value_bytes);
  if (!out->Write(block, kUnitHead + value_bytes)) return false;
  if (!IsGriderType(unit->Type) || unit->Value.Grider == nullptr) return true;
  return unit->Value.Grider->Serialize(out, 1, 0) != 0;
}

// Types whose Value is a pointer: a stored unit of one of them never gets a pointer from the
// stream; without its stored content it reads back null. Only bit 0 of the stored null word
// changes, so a loaded row stores the word it read.
bool IsPointerType(uint32_t type) {
  return type == XDT_STRING || type == XDT_USER || type == XDT_ARCHIVE || type == XDT_OBJECT ||
         IsGriderType(type);
}

// L - 20 bytes of text, read into a zeroed block at least one unit longer, so the text always
// ends in a NUL whatever the stream holds.
bool ReadTextValue(XMF_Serialize* in, XDataUnit* unit, uint32_t bytes) {
  auto* text = static_cast<XCHAR*>(std::calloc((bytes + 1) / sizeof(XCHAR) + 1, sizeof(XCHAR)));
  if (text == nullptr) return false;
  unit->Value.Text = text;
  unit->Owned = text;
  return in->Read(text, bytes);
}

bool ReadArchiveValue(XMF_Serialize* in, XDataUnit* unit, uint32_t bytes) {
  XMemoArchive* archive = XMemoArchive::Malloc();
  if (archive == nullptr) return false;
  unit->Value.Archive = archive;
  unit->Owned = archive;
  return in->ReadDoc(archive, bytes);
}

bool ReadPlainValue(XMF_Serialize* in, XDataUnit* unit, uint32_t bytes) {
  if (bytes > kMaxPlainValue) return false;
  if (!IsPointerType(unit->Type)) return in->Read(&unit->Value, bytes);
  uint8_t ignored[kMaxPlainValue];
  unit->Null |= 1;
  return in->Read(ignored, bytes);
}

bool ReadUnit(XMF_Serialize* in, IArchive* archive, XDataUnit* unit) {
  uint8_t head[4 + kFieldBytes];  // L, then the fields
  if (!in->Read(head, sizeof head)) return false;
  uint32_t length = 0;
  uint32_t binder = 0;
  std::memcpy(&length, head, 4);
  std::memcpy(&unit->Code, head + 4, 4);
  std::memcpy(&unit->Extra, head + 8, 4);
  std::memcpy(&unit->Type, head + 12, 2);
  std::memcpy(&unit->Size, head + 14, 2);
  std::memcpy(&unit->Null, head + 16, 4);
  std::memcpy(&binder, head + 20, 4);
  unit->Binder = binder;
  if (length <= kFieldBytes) {
    if (IsPointerType(unit->Type)) unit->Null |= 1;
    return true;
  }
  uint32_t bytes = length - kFieldBytes;
  if (unit->Type == XDT_STRING) {
    // The count comes from the stream: trust it with an allocation only when the bytes are there.
    if (bytes > tabrow::RemainingBytes(archive)) return false;
    return ReadTextValue(in, unit, bytes);
  }
  if (unit->Type == XDT_ARCHIVE) return ReadArchiveValue(in, unit, bytes);
  return ReadPlainValue(in, unit, bytes);
}

}  // namespace

int32_t XRowBuffer::Serialize(IArchive* archive, int32_t store) {
  if (archive == nullptr) return 0;
  return store != 0 ? StoreRow(archive) : LoadRow(archive);
}

int32_t XRowBuffer::StoreRow(IArchive* archive) {
  XMF_Serialize out(archive);
  if (!out.WriteHeader(kRowRecord, XMF_OPEN)) return 0;
  const int32_t words[] = {RowWord1, RowWord2, RowWord3};
  for (int i = 0; i < 3; ++i) {
    if (words[i] != 0 && !out.Write_Proper(kWordItems[i], &words[i], sizeof words[i])) return 0;
  }
  for (const XDataUnit* unit = head_; unit != nullptr; unit = unit->Next) {
    if (!WriteUnit(&out, unit)) return 0;
  }
  return out.WriteHeader(kRowRecord, XMF_CLOSE);
}

int32_t XRowBuffer::LoadRow(IArchive* archive) {
  ClearBuffer();
  XMF_Serialize in(archive);
  uint32_t identifier = 0;
  uint32_t kind = 0;
  if (!in.ReadHeader(&identifier, &kind) || identifier != kRowRecord || kind != XMF_OPEN) {
    return 0;
  }
  int32_t* words[] = {&RowWord1, &RowWord2, &RowWord3};
  for (;;) {
    if (!in.ReadHeader(&identifier, &kind)) return 0;
    if (kind == XMF_CLOSE) return 1;
    if (kind == XMF_OPEN) {
      if (identifier != GDI_GRID || !LoadGrider(&in)) return 0;
    } else if (kind != XMF_DATA) {
      return 0;
    } else if (identifier >= 1 && identifier <= 3) {
      if (!in.ReadProper(words[identifier - 1], sizeof(int32_t), nullptr)) return 0;
    } else if (identifier == kUnitItem) {
      XDataUnit* unit = tabrow::MallocDataUnit();
      if (unit == nullptr) return 0;
      if (!ReadUnit(&in, archive, unit)) {
        tabrow::ReleaseDataUnit(unit);
        return 0;
      }
      Append(unit);
    } else if (!in.SkipProper()) {
      return 0;
    }
  }
}

int32_t XRowBuffer::LoadGrider(XMF_Serialize* in) {
  XDataUnit* unit = tail_;
  if (unit == nullptr || !IsGriderType(unit->Type) || unit->Value.Grider != nullptr) return 0;
  XRowGrider* grider = XRowGrider::Malloc();
  if (grider == nullptr) return 0;
  if (grider->Serialize(in, 0, 1) == 0) {
    XRowGrider::Release(grider);
    return 0;
  }
  unit->Value.Grider = grider;
  unit->Owned = grider;
  unit->Null &= ~1;
  return 1;
}

int32_t XRowBuffer::StoreBacker(IArchive* archive) {
  if (archive == nullptr) return 0;
  XMF_Serialize out(archive);
  if (!out.WriteHeader(kRowRecord, XMF_OPEN)) return 0;
  for (const XDataUnit* unit = head_; unit != nullptr; unit = unit->Next) {
    if (!IsGriderType(unit->Type) || unit->Value.Grider == nullptr) continue;
    uint8_t head[kUnitHead];
    PackUnitHead(head, unit, 0);
    if (!out.Write(head, sizeof head) || unit->Value.Grider->StoreBacker(archive) == 0) return 0;
  }
  return out.WriteHeader(kRowRecord, XMF_CLOSE);
}

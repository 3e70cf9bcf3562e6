// The tagged serializer. Every number is a 32-bit little-endian word (the host is little-endian,
// so a memcpy of the word is its stored form). Readers look at the bytes left before they read
// or allocate anything, so a damaged count can neither run past the end nor ask for a huge
// block; a reader that fails puts the read position back where it found it. Writers that fail
// cut the archive back to its old length, so no half item is left behind.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "tabrow/archive.h"

namespace {

// IArchive::Append and Read move at most INT32_MAX bytes a call; bigger blocks go in pieces.
constexpr uint32_t kPiece = 1u << 30;
// Documents that cannot lend their block are copied through a buffer of this size.
constexpr uint32_t kChunk = 16 * 1024;

uint32_t Remaining(IArchive* archive) {
  uint32_t position = 0;
  uint32_t length = 0;
  archive->GetPosition(&position);
  archive->GetLength(&length);
  return length > position ? length - position : 0;
}

uint32_t Position(IArchive* archive) {
  uint32_t position = 0;
  archive->GetPosition(&position);
  return position;
}

uint32_t Length(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  return length;
}

// Reads exactly `count` bytes, or nothing when fewer remain.
bool ReadExact(IArchive* archive, void* data, uint32_t count) {
  if (count > Remaining(archive)) return false;
  uint8_t* out = static_cast<uint8_t*>(data);
  while (count > 0) {
    const uint32_t want = count < kPiece ? count : kPiece;
    if (archive->Read(out, want) != static_cast<int32_t>(want)) return false;
    out += want;
    count -= want;
  }
  return true;
}

bool ReadWord(IArchive* archive, uint32_t* word) {
  uint8_t bytes[4];
  if (!ReadExact(archive, bytes, sizeof bytes)) return false;
  std::memcpy(word, bytes, sizeof bytes);
  return true;
}

bool AppendAll(IArchive* archive, const void* data, uint32_t count) {
  const uint8_t* in = static_cast<const uint8_t*>(data);
  while (count > 0) {
    const uint32_t piece = count < kPiece ? count : kPiece;
    if (archive->Append(in, piece) != static_cast<int32_t>(piece)) return false;
    in += piece;
    count -= piece;
  }
  return true;
}

// Copies `count` bytes from `source`'s read position to the end of `target`.
bool CopyBytes(IArchive* source, IArchive* target, uint32_t count) {
  uint8_t chunk[kChunk];
  while (count > 0) {
    const uint32_t want = count < kChunk ? count : kChunk;
    if (source->Read(chunk, want) != static_cast<int32_t>(want)) return false;
    if (!AppendAll(target, chunk, want)) return false;
    count -= want;
  }
  return true;
}

// The prefix of a data item: identifier, kind and byte count.
void PutItemPrefix(uint8_t (&prefix)[12], uint32_t identifier, uint32_t size) {
  std::memcpy(prefix, &identifier, 4);
  std::memcpy(prefix + 4, &XMF_DATA, 4);
  std::memcpy(prefix + 8, &size, 4);
}

// Reads a data item's byte count; false, with the position unchanged, when the count or the
// bytes it announces run past the end.
bool ReadItemCount(IArchive* archive, uint32_t* count) {
  const uint32_t start = Position(archive);
  if (ReadWord(archive, count) && *count <= Remaining(archive)) return true;
  archive->Seek(start);
  return false;
}

// Passes over a data item's count and bytes; false (having moved) on a short stream.
bool SkipItemBody(IArchive* archive) {
  uint32_t size = 0;
  return ReadWord(archive, &size) && archive->Skip(size) != 0;
}

}  // namespace

XMF_Serialize::XMF_Serialize(IArchive* archive) : archive_(archive) {}

int32_t XMF_Serialize::WriteHeader(uint32_t identifier, uint32_t kind) {
  if (archive_ == nullptr) return 0;
  uint8_t header[8];
  std::memcpy(header, &identifier, 4);
  std::memcpy(header + 4, &kind, 4);
  return archive_->Append(header, sizeof header) == static_cast<int32_t>(sizeof header);
}

int32_t XMF_Serialize::ReadHeader(uint32_t* identifier, uint32_t* kind) {
  if (archive_ == nullptr || identifier == nullptr || kind == nullptr) return 0;
  uint8_t header[8];
  if (!ReadExact(archive_, header, sizeof header)) return 0;
  std::memcpy(identifier, header, 4);
  std::memcpy(kind, header + 4, 4);
  return 1;
}

int32_t XMF_Serialize::Write_Proper(uint32_t identifier, const void* data, uint32_t size) {
  if (archive_ == nullptr || (data == nullptr && size > 0)) return 0;
  const uint32_t old_length = Length(archive_);
  uint8_t prefix[12];
  PutItemPrefix(prefix, identifier, size);
  if (AppendAll(archive_, prefix, sizeof prefix) && AppendAll(archive_, data, size)) return 1;
  archive_->SetLength(old_length);
  return 0;
}

int32_t XMF_Serialize::Write_Proper(uint32_t identifier, const XCHAR* text) {
  static const XCHAR kEmpty = 0;
  if (text == nullptr) text = &kEmpty;
  const uint64_t size = (static_cast<uint64_t>(tabrow::TextLength(text)) + 1) * sizeof(XCHAR);
  if (size > UINT32_MAX) return 0;
  // The text sits in memory as UTF-16LE followed by its NUL: exactly the item's bytes.
  return Write_Proper(identifier, text, static_cast<uint32_t>(size));
}

int32_t XMF_Serialize::ReadProper(void* buffer, uint32_t capacity, uint32_t* size) {
  if (archive_ == nullptr) return 0;
  const uint32_t start = Position(archive_);
  uint32_t count = 0;
  if (!ReadItemCount(archive_, &count)) return 0;
  if (buffer == nullptr) capacity = 0;
  if (count > capacity) {
    archive_->Skip(count);
    if (size != nullptr) *size = count;
    return 0;
  }
  if (!ReadExact(archive_, buffer, count)) {
    archive_->Seek(start);
    return 0;
  }
  if (size != nullptr) *size = count;
  return 1;
}

int32_t XMF_Serialize::ReadStrBuffer(XCHAR* buffer, uint32_t capacity, uint32_t* length) {
  if (archive_ == nullptr) return 0;
  const uint32_t start = Position(archive_);
  uint32_t count = 0;
  if (!ReadItemCount(archive_, &count)) return 0;
  if (count % 2 != 0) {
    archive_->Skip(count);
    return 0;
  }
  const uint32_t units = count / 2;
  // The stored units normally end with the NUL; a text stored without one needs a unit more.
  // Peek at the last unit so that a text too long for the buffer leaves it untouched.
  bool has_nul = false;
  if (units > 0) {
    const uint32_t body = Position(archive_);
    uint8_t last[2];
    archive_->Seek(body + count - 2);
    has_nul = ReadExact(archive_, last, 2) && last[0] == 0 && last[1] == 0;
    archive_->Seek(body);
  }
  const uint32_t needed = units + (has_nul ? 0 : 1);
  if (buffer == nullptr) capacity = 0;
  if (needed > capacity) {
    archive_->Skip(count);
    if (length != nullptr) *length = needed;
    return 0;
  }
  if (!ReadExact(archive_, buffer, count)) {
    archive_->Seek(start);
    return 0;
  }
  if (!has_nul) tabrow::StoreUnit(buffer + units, 0);
  if (length != nullptr) *length = needed;
  return 1;
}

int32_t XMF_Serialize::AllocStrBuffer(XCHAR** text) {
  if (text == nullptr) return 0;
  *text = nullptr;
  if (archive_ == nullptr) return 0;
  const uint32_t start = Position(archive_);
  uint32_t count = 0;
  if (!ReadItemCount(archive_, &count)) return 0;
  if (count % 2 != 0) {
    archive_->Skip(count);
    return 0;
  }
  // One unit more than stored, so that the text ends with a NUL even if the item lacks one.
  const size_t units = count / 2;
  XCHAR* copy = static_cast<XCHAR*>(std::malloc((units + 1) * sizeof(XCHAR)));
  if (copy == nullptr || !ReadExact(archive_, copy, count)) {
    std::free(copy);
    archive_->Seek(start);
    return 0;
  }
  copy[units] = 0;
  *text = copy;
  return 1;
}

int32_t XMF_Serialize::SkipProper() {
  if (archive_ == nullptr) return 0;
  const uint32_t start = Position(archive_);
  if (SkipItemBody(archive_)) return 1;
  archive_->Seek(start);
  return 0;
}

int32_t XMF_Serialize::SkipMarker() {
  if (archive_ == nullptr) return 0;
  const uint32_t start = Position(archive_);
  // Every header is 8 bytes of a stream shorter than 4 GiB, so the depth cannot wrap.
  uint32_t depth = 1;
  while (depth > 0) {
    uint32_t identifier = 0;
    uint32_t kind = 0;
    bool ok = ReadHeader(&identifier, &kind) != 0;
    if (ok) {
      if (kind == XMF_OPEN) {
        ++depth;
      } else if (kind == XMF_CLOSE) {
        --depth;
      } else {
        ok = kind == XMF_DATA && SkipItemBody(archive_);
      }
    }
    if (!ok) {
      archive_->Seek(start);
      return 0;
    }
  }
  return 1;
}

int32_t XMF_Serialize::Write(const void* data, uint32_t count) {
  if (archive_ == nullptr || (data == nullptr && count > 0)) return 0;
  const uint32_t old_length = Length(archive_);
  if (AppendAll(archive_, data, count)) return 1;
  archive_->SetLength(old_length);
  return 0;
}

int32_t XMF_Serialize::Read(void* data, uint32_t count) {
  if (archive_ == nullptr || (data == nullptr && count > 0)) return 0;
  const uint32_t start = Position(archive_);
  if (ReadExact(archive_, data, count)) return 1;
  archive_->Seek(start);
  return 0;
}

int32_t XMF_Serialize::WriteDoc(IArchive* document) {
  if (archive_ == nullptr || document == nullptr) return 0;
  document->SeekToBegin();
  const uint32_t size = Length(document);
  const uint32_t old_length = Length(archive_);
  // An archive written into itself goes through a buffer: growing it may move its block.
  const uint8_t* bytes = document == archive_ ? nullptr : document->GetData();
  const bool ok =
      bytes != nullptr ? AppendAll(archive_, bytes, size) : CopyBytes(document, archive_, size);
  document->SeekToBegin();
  if (ok) return 1;
  archive_->SetLength(old_length);
  return 0;
}

int32_t XMF_Serialize::ReadDoc(IArchive* document, uint32_t count) {
  if (archive_ == nullptr || document == nullptr || count > Remaining(archive_)) return 0;
  const uint32_t start = Position(archive_);
  const uint32_t old_length = Length(document);
  // An archive read into itself goes through a buffer: growing it may move its block.
  const uint8_t* bytes = document == archive_ ? nullptr : archive_->GetData();
  bool ok;
  if (bytes != nullptr) {
    ok = AppendAll(document, bytes + start, count) && archive_->Skip(count) != 0;
  } else {
    ok = CopyBytes(archive_, document, count);
  }
  if (ok) return 1;
  document->SetLength(old_length);
  archive_->Seek(start);
  return 0;
}

void XMem_Free(void* memory) {
  std::free(memory);
}

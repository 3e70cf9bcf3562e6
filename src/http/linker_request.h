// One request of XHttpLinker on the internet calls: opened when made, closed when destroyed, so
// that every way out of a GetResponse form closes it.
#ifndef TABROW_HTTP_LINKER_REQUEST_H_
#define TABROW_HTTP_LINKER_REQUEST_H_

#include "platform/internet.h"
#include "tabrow/archive.h"

namespace tabrow {

// Flags of the connection and of every request; requests of a secure linker add
// INTERNET_FLAG_SECURE.
constexpr uint32_t kLinkerFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
// Units of a content-type output, its NUL included.
constexpr int32_t kContentTypeUnits = 1024;
// Units of the SOAPAction header buffer and the longest action that fits in it.
constexpr int32_t kSoapHeaderUnits = 480;
constexpr size_t kLongestSoapAction = kSoapHeaderUnits - 17;

class LinkerRequest {
 public:
  // Opens `verb` on `path` (null reads as empty) over `connection`; IsOpen tells whether it
  // worked.
  LinkerRequest(HINTERNET connection, const XCHAR* verb, const XCHAR* path, int32_t secure);
  ~LinkerRequest();
  LinkerRequest(const LinkerRequest&) = delete;
  LinkerRequest& operator=(const LinkerRequest&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }
  HINTERNET handle() const { return handle_; }

  // Header lines whose failure does not stop the request.
  void AddContentType(int32_t staple);
  void AddContentLength(uint32_t length);
  void AddSoapAction(const XCHAR* action);  // at most kLongestSoapAction units
  // "Accept:*/*" added, or replacing the accept types' header (the GET form); false on failure.
  bool AddAccept();
  bool ReplaceAccept();

  // Sends the request with `length` bytes of `body` (null when 0); false on failure.
  bool Send(const void* body, uint32_t length);
  // Reads the whole answer into `answer` in 4096-byte chunks, rewinds it and hands back the
  // content type into `content_type` when not null. A failing read stops it with false, after
  // the bytes that did come were appended.
  bool ReadInto(IArchive* answer, XCHAR* content_type);

 private:
  void AddLine(const XCHAR* line);
  void HandBackContentType(XCHAR* out);

  HINTERNET handle_;
};

// A copy of a request archive's contents, with a 0 byte after them, freed when destroyed.
class BodyCopy {
 public:
  BodyCopy() = default;
  ~BodyCopy();
  BodyCopy(const BodyCopy&) = delete;
  BodyCopy& operator=(const BodyCopy&) = delete;

  // Rewinds `source` and copies its first `length` bytes; false when memory runs out or fewer
  // bytes could be read.
  bool Take(IArchive* source, uint32_t length);
  const void* data() const { return data_; }

 private:
  char* data_ = nullptr;
};

}  // namespace tabrow

#endif  // TABROW_HTTP_LINKER_REQUEST_H_

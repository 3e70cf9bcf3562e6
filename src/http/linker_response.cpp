// The five GetResponse forms of XHttpLinker.
#include <cstring>

#include "http/linker_request.h"
#include "platform/text.h"
#include "tabrow/httplinker.h"

using tabrow::BodyCopy;
using tabrow::LinkerRequest;

namespace {

constexpr uint32_t kLongestBody = 0x7FFFFFFFu;

// The byte count of a body text up to its NUL (0 for null); false when it is too long for a
// Content-Length written as a 32-bit integer.
bool TextBodyLength(const char* body, uint32_t* length) {
  size_t bytes = body != nullptr ? std::strlen(body) : 0;
  *length = static_cast<uint32_t>(bytes);
  return bytes <= kLongestBody;
}

// A request archive's length; false when it is too long.
bool ArchiveBodyLength(IArchive* request, uint32_t* length) {
  *length = 0;
  request->GetLength(length);
  return *length <= kLongestBody;
}

}  // namespace

int32_t XHttpLinker::GetResponse(const XCHAR* path, IArchive* answer, XCHAR* content_type) {
  if (answer == nullptr) return 0;
  LinkerRequest request(connection_, u"GET", path, secure_);
  if (!request.IsOpen() || !request.ReplaceAccept() || !request.Send(nullptr, 0)) return 0;
  return request.ReadInto(answer, content_type) ? 1 : 0;
}

int32_t XHttpLinker::GetResponse(const XCHAR* path, int32_t staple, const char* body, char* buffer,
                                 uint32_t size) {
  uint32_t length = 0;
  if (buffer == nullptr || size == 0 || !TextBodyLength(body, &length)) return 0;
  LinkerRequest request(connection_, body != nullptr ? u"POST" : u"GET", path, secure_);
  if (!request.IsOpen()) return 0;
  if (body != nullptr) {
    request.AddContentType(staple);
    request.AddContentLength(length);
  }
  if (!request.AddAccept() || !request.Send(body, length)) return 0;
  // One read fills the buffer or takes the whole answer; closing the request then drops the rest.
  uint32_t read = 0;
  int32_t ok = tabrow::InternetReadFile(request.handle(), buffer, size - 1, &read);
  buffer[read] = '\0';
  return ok != 0 ? 1 : 0;
}

int32_t XHttpLinker::GetResponse(const XCHAR* path, int32_t staple, const char* body,
                                 IArchive* answer, XCHAR* content_type) {
  uint32_t length = 0;
  if (answer == nullptr || !TextBodyLength(body, &length)) return 0;
  LinkerRequest request(connection_, body != nullptr ? u"POST" : u"GET", path, secure_);
  if (!request.IsOpen()) return 0;
  if (body != nullptr) {
    request.AddContentType(staple);
    request.AddContentLength(length);
  }
  if (!request.AddAccept() || !request.Send(body, length)) return 0;
  return request.ReadInto(answer, content_type) ? 1 : 0;
}

int32_t XHttpLinker::GetResponse(const XCHAR* path, int32_t staple, IArchive* request_archive,
                                 IArchive* answer, XCHAR* content_type) {
  uint32_t length = 0;
  if (request_archive == nullptr || answer == nullptr ||
      !ArchiveBodyLength(request_archive, &length)) {
    return 0;
  }
  BodyCopy body;  // outlives the request, which may use it until it is closed
  LinkerRequest request(connection_, length > 0 ? u"POST" : u"GET", path, secure_);
  if (!request.IsOpen()) return 0;
  if (length > 0) {
    request.AddContentType(staple);
    request.AddContentLength(length);
  }
  if (!request.AddAccept()) return 0;
  if (length > 0 && !body.Take(request_archive, length)) return 0;
  if (!request.Send(body.data(), length)) return 0;
  return request.ReadInto(answer, content_type) ? 1 : 0;
}

int32_t XHttpLinker::GetResponse(const XCHAR* path, const XCHAR* action, int32_t staple,
                                 IArchive* request_archive, IArchive* answer, XCHAR* content_type) {
  uint32_t length = 0;
  if (request_archive == nullptr || answer == nullptr ||
      tabrow::TextLength(action) > tabrow::kLongestSoapAction ||
      !ArchiveBodyLength(request_archive, &length) || length == 0) {
    return 0;
  }
  BodyCopy body;  // outlives the request, which may use it until it is closed
  LinkerRequest request(connection_, u"POST", path, secure_);
  if (!request.IsOpen()) return 0;
  request.AddContentLength(length);
  request.AddContentType(staple);
  request.AddSoapAction(action);
  if (!request.AddAccept() || !body.Take(request_archive, length)) return 0;
  if (!request.Send(body.data(), length)) return 0;
  return request.ReadInto(answer, content_type) ? 1 : 0;
}

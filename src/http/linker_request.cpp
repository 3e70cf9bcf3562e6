#include "http/linker_request.h"

#include <cstdlib>

#include "platform/format.h"
#include "platform/text.h"
#include "tabrow/httplinker.h"

namespace tabrow {
namespace {

constexpr uint32_t kChunkBytes = 4096;
constexpr int32_t kLengthHeaderUnits = 320;
const XCHAR kAcceptLine[] = u"Accept:*/*\r\n";
const XCHAR* const kAcceptTypes[] = {u"*/*", nullptr};

void LowerAscii(XCHAR* text) {
  for (XCHAR c; (c = LoadUnit(text)) != 0; ++text) {
    if (c >= u'A' && c <= u'Z') StoreUnit(text, static_cast<XCHAR>(c - u'A' + u'a'));
  }
}

}  // namespace

LinkerRequest::LinkerRequest(HINTERNET connection, const XCHAR* verb, const XCHAR* path,
                             int32_t secure) {
  uint32_t flags = kLinkerFlags | (secure != 0 ? INTERNET_FLAG_SECURE : 0);
  handle_ = HttpOpenRequestW(connection, verb, path != nullptr ? path : u"", u"HTTP/1.1", nullptr,
                             kAcceptTypes, flags, 0);
}

LinkerRequest::~LinkerRequest() {
  if (handle_ != nullptr) InternetCloseHandle(handle_);
}

void LinkerRequest::AddLine(const XCHAR* line) {
  HttpAddRequestHeadersW(handle_, line, kTextToNul, HTTP_ADDREQ_FLAG_ADD);
}

void LinkerRequest::AddContentType(int32_t staple) {
  AddLine(XHttpLinker::GetPostHeader(staple));
}

void LinkerRequest::AddContentLength(uint32_t length) {
  XCHAR line[kLengthHeaderUnits];
  FormatText(line, "Content-Length:%ld\r\n", {static_cast<int32_t>(length)});
  AddLine(line);
}

void LinkerRequest::AddSoapAction(const XCHAR* action) {
  XCHAR line[kSoapHeaderUnits];
  FormatText(line, "SOAPAction: \"%s\"\r\n", {action != nullptr ? action : u""});
  AddLine(line);
}

bool LinkerRequest::AddAccept() {
  return HttpAddRequestHeadersW(handle_, kAcceptLine, kTextToNul, HTTP_ADDREQ_FLAG_ADD) != 0;
}

bool LinkerRequest::ReplaceAccept() {
  uint32_t units = static_cast<uint32_t>(TextLength(kAcceptLine));
  return HttpAddRequestHeadersW(handle_, kAcceptLine, units, HTTP_ADDREQ_FLAG_REPLACE) != 0;
}

bool LinkerRequest::Send(const void* body, uint32_t length) {
  return HttpSendRequestW(handle_, nullptr, 0, length > 0 ? body : nullptr, length) != 0;
}

bool LinkerRequest::ReadInto(IArchive* answer, XCHAR* content_type) {
  uint8_t chunk[kChunkBytes];
  for (;;) {
    // A failing read still reports the bytes that came before the failure: keep them too.
    uint32_t read = 0;
    int32_t ok = InternetReadFile(handle_, chunk, kChunkBytes, &read);
    if (read > 0) answer->Append(chunk, read);
    if (ok == 0) return false;
    if (read == 0) break;
  }
  answer->SeekToBegin();
  if (content_type != nullptr) HandBackContentType(content_type);
  return true;
}

// A missing or over-long header leaves the text empty.
void LinkerRequest::HandBackContentType(XCHAR* out) {
  XCHAR text[kContentTypeUnits] = {};
  uint32_t bytes = sizeof text;
  HttpQueryInfoW(handle_, HTTP_QUERY_CONTENT_TYPE, text, &bytes, nullptr);
  TextCopyN(out, text, kContentTypeUnits);
  LowerAscii(out);
}

BodyCopy::~BodyCopy() {
  std::free(data_);
}

bool BodyCopy::Take(IArchive* source, uint32_t length) {
  data_ = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
  if (data_ == nullptr) return false;
  source->SeekToBegin();
  if (source->Read(data_, length) != static_cast<int32_t>(length)) return false;
  data_[length] = 0;
  return true;
}

}  // namespace tabrow

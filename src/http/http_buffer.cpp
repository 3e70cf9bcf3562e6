#include "tabrow/httpbuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "http/doc_text.h"
#include "platform/text.h"
#include "tabrow/jsondoc.h"
#include "tabrow/xmldoc.h"

namespace {

bool Contains(const std::string& text, const char* marker) {
  return text.find(marker) != std::string::npos;
}

int32_t IsUtf8Charset(const std::string& contentType) {
  return !Contains(contentType, "charset") || Contains(contentType, "utf-8");
}

XCHAR* CopyText(const XCHAR* text) {
  size_t size = (tabrow::TextLength(text) + 1) * sizeof(XCHAR);
  XCHAR* copy = static_cast<XCHAR*>(std::malloc(size));
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

// The document of a kind held by a buffer: stored fresh by SetMarkerDoc, freeing any earlier.
template <typename Document>
Document* Replace(Document** field) {
  delete *field;
  *field = new (std::nothrow) Document;
  return *field;
}

}  // namespace

XHttpBuffer::XHttpBuffer() : plain_(nullptr), xml_(nullptr), json_(nullptr) {}

XHttpBuffer::XHttpBuffer(const XHttpBuffer& other) : XHttpBuffer() {
  *this = other;
}

XHttpBuffer& XHttpBuffer::operator=(const XHttpBuffer& other) {
  if (&other == this) return *this;
  ClearBuffer();
  if (other.plain_ != nullptr) plain_ = CopyText(other.plain_);
  if (other.xml_ != nullptr && Replace(&xml_) != nullptr) xml_->CopyFrom(*other.xml_);
  if (other.json_ != nullptr && Replace(&json_) != nullptr) json_->CopyFrom(*other.json_);
  return *this;
}

XHttpBuffer::~XHttpBuffer() {
  ClearBuffer();
}

XHttpBuffer* XHttpBuffer::Malloc() {
  return new (std::nothrow) XHttpBuffer;
}

void XHttpBuffer::Release() {
  delete this;
}

void XHttpBuffer::Release(XHttpBuffer* buffer) {
  if (buffer != nullptr) buffer->Release();
}

int32_t XHttpBuffer::GetType() {
  return XHTTPBUFFER_TYPE;
}

void XHttpBuffer::ClearBuffer() {
  std::free(plain_);
  plain_ = nullptr;
  delete xml_;
  xml_ = nullptr;
  delete json_;
  json_ = nullptr;
}

int32_t XHttpBuffer::GetPlainDoc(const XCHAR** text) const {
  if (xml_ != nullptr || json_ != nullptr) return 0;
  if (text != nullptr) *text = plain_;
  return 1;
}

int32_t XHttpBuffer::SetMarkerDoc(const char* contentType, IArchive* archive) {
  const std::string type = contentType != nullptr ? contentType : "";
  const int32_t utf8 = IsUtf8Charset(type);
  if (Contains(type, "/xml")) {
    return Replace(&xml_) != nullptr ? xml_->OpenArchive(archive) : 0;
  }
  if (Contains(type, "/plain")) {
    std::free(plain_);
    plain_ = MallocTextDoc(archive, utf8);
    return 1;
  }
  if (Contains(type, "/json")) {
    return Replace(&json_) != nullptr ? json_->LoadArchive(utf8, archive) : 0;
  }
  return 1;
}

int32_t XHttpBuffer::SetMarkerDoc(const XCHAR* contentType, IArchive* archive) {
  std::string type = tabrow::TextToBytes(contentType, tabrow::TextLength(contentType), 1);
  return SetMarkerDoc(type.c_str(), archive);
}

int32_t XHttpBuffer::SetMarkerDoc(const char* contentType, char* block, uint32_t length) {
  const std::string type = contentType != nullptr ? contentType : "";
  const int32_t utf8 = IsUtf8Charset(type);
  if (block == nullptr) length = 0;
  if (Contains(type, "/xml")) {
    return Replace(&xml_) != nullptr ? xml_->OpenBuffer(block, length, utf8) : 0;
  }
  if (Contains(type, "/plain")) {
    std::free(plain_);
    plain_ = tabrow::NewUtf16Text(block, length, utf8);
    return 1;
  }
  if (Contains(type, "/json")) {
    return Replace(&json_) != nullptr ? json_->LoadText(utf8, block, length) : 0;
  }
  return 1;
}

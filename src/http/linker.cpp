// XHttpLinker's life: construction, copies sharing the handles, connecting and closing. The
// handles are counted by the internet layer, so each linker holding them closes them once and
// the last close ends the connection.
#include "http/linker_request.h"
#include "http/url_split.h"
#include "platform/internet.h"
#include "platform/text.h"
#include "tabrow/httplinker.h"

using tabrow::InternetCloseHandle;

XHttpLinker::XHttpLinker() : secure_(0), internet_(nullptr), connection_(nullptr) {}

XHttpLinker::XHttpLinker(const XHttpLinker& other)
    : secure_(0), internet_(nullptr), connection_(nullptr) {
  Share(other);
}

XHttpLinker& XHttpLinker::operator=(const XHttpLinker& other) {
  if (this != &other) {
    CloseLinker();
    Share(other);
  }
  return *this;
}

XHttpLinker::~XHttpLinker() {
  CloseLinker();
}

void XHttpLinker::Share(const XHttpLinker& other) {
  secure_ = other.secure_;
  internet_ = tabrow::InternetAddRefHandle(other.internet_);
  connection_ = tabrow::InternetAddRefHandle(other.connection_);
}

void XHttpLinker::CloseLinker() {
  if (internet_ != nullptr) {
    InternetCloseHandle(internet_);
    internet_ = nullptr;
  }
  if (connection_ != nullptr) {
    InternetCloseHandle(connection_);
    connection_ = nullptr;
  }
}

const XCHAR* XHttpLinker::Connect(const XCHAR* url) {
  if (url == nullptr) return nullptr;
  tabrow::UrlParts parts;
  bool fits = tabrow::SplitUrl(url, secure_, &parts);
  secure_ = parts.secure;
  if (!fits) return nullptr;
  return Connect(parts.host, parts.port, parts.secure) != 0 ? parts.path : nullptr;
}

int32_t XHttpLinker::Connect(const XCHAR* host, int32_t port, int32_t secure) {
  CloseLinker();
  secure_ = secure;
  size_t length = tabrow::TextLength(host);
  if (length == 0 || length >= static_cast<size_t>(tabrow::kHostUnits)) return 0;
  internet_ = tabrow::InternetOpenW(u"KPW_Browser", tabrow::INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                    nullptr, 0);
  if (internet_ == nullptr) return 0;
  connection_ =
      tabrow::InternetConnectW(internet_, host, static_cast<uint16_t>(port), nullptr, nullptr,
                               tabrow::INTERNET_SERVICE_HTTP, tabrow::kLinkerFlags, 0);
  if (connection_ == nullptr) {
    InternetCloseHandle(internet_);
    internet_ = nullptr;
    return 0;
  }
  return 1;
}

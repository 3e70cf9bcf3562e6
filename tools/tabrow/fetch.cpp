#include "fetch.h"

#include "progress_archive.h"
#include "tabrow/httpcall.h"
#include "text.h"

namespace tabrow::cli {

bool Fetch(const FetchRequest& request, XHttpBuffer* buffer, uint64_t* bytes, std::string* error) {
  const std::u16string url = ToUtf16(request.url);
  const std::u16string type = ToUtf16(request.content_type);
  ProgressArchive answer(request.show_progress);
  XCHAR message[64] = {0};
  int32_t result;
  if (request.soap) {
    result = SoapGetBuffer(buffer, url.c_str(), ToUtf16(request.soap_action).c_str(), request.body,
                           request.staple, &answer, message);
  } else {
    result = HttpGetBuffer(buffer, url.c_str(), type.empty() ? nullptr : type.c_str(), request.body,
                           request.staple, &answer, message);
  }
  answer.Finish();
  if (bytes != nullptr) *bytes = answer.received();
  if (result != 1) {
    *error = ToUtf8(message);
    return false;
  }
  return true;
}

std::string HeldDocument(const XHttpBuffer& buffer) {
  if (buffer.GetXmlDoc() != nullptr) return "xml";
  if (buffer.GetJsonDoc() != nullptr) return "json";
  const XCHAR* text = nullptr;
  buffer.GetPlainDoc(&text);
  return text != nullptr ? "text" : "nothing";
}

}  // namespace tabrow::cli

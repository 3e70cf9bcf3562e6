#include "fetch.h"

#include "progress_archive.h"
#include "tabrow/httplinker.h"
#include "text.h"

namespace tabrow::cli {
namespace {

// Sends the request on a connected linker; the answer and its content type go to `answer`
// and `content_type` (which must hold 1024 units).
int32_t Send(XHttpLinker* linker, const XCHAR* path, const FetchRequest& request, IArchive* answer,
             XCHAR* content_type) {
  if (!request.post) return linker->GetResponse(path, answer, content_type);
  XMemoArchive body;
  if (body.Append(request.body.data(), static_cast<uint32_t>(request.body.size())) < 0) return 0;
  if (request.soap) {
    const std::u16string action = ToUtf16(request.soap_action);
    return linker->GetResponse(path, action.c_str(), request.staple, &body, answer, content_type);
  }
  return linker->GetResponse(path, request.staple, &body, answer, content_type);
}

}  // namespace

bool Fetch(const FetchRequest& request, XHttpBuffer* buffer, FetchResult* result,
           std::string* error) {
  const std::u16string url = ToUtf16(request.url);
  XHttpLinker linker;
  const XCHAR* path = linker.Connect(url.c_str());
  if (path == nullptr) {
    *error = "'" + request.url + "' names no host";
    return false;
  }
  ProgressArchive answer(request.show_progress);
  XCHAR answer_type[1024] = {0};
  if (Send(&linker, path, request, &answer, answer_type) == 0) {
    *error = (request.soap   ? "SOAP call to "
              : request.post ? "POST to "
                             : "GET ") +
             request.url + " failed: the server could not be reached or its answer broke off";
    return false;
  }
  answer.Finish();
  const std::u16string type =
      request.content_type.empty() ? answer_type : LowerAscii(ToUtf16(request.content_type));
  result->content_type = ToUtf8(type);
  result->bytes = answer.received();
  answer.SeekToBegin();
  if (buffer->SetMarkerDoc(type.c_str(), &answer) == 0) {
    *error = "the answer (" + result->content_type + ") is not a readable document";
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

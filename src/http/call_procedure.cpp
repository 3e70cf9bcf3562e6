// The one-call HTTP and SOAP exchanges: connect, send, collect the answer, store it by its
// content type, and report each failure with its message.
#include "platform/text.h"
#include "tabrow/httpcall.h"
#include "tabrow/httplinker.h"

namespace {

// Content types are held in 320 units: at most 319 characters and a NUL.
constexpr int32_t kTypeRoom = 320;
// The linker hands the answer's content type back in a buffer of this many units.
constexpr int32_t kReceivedRoom = 1024;

// The messages and results of one exchange's failures.
struct Failures {
  const XCHAR* connect;
  const XCHAR* send;
  int32_t sendResult;
  const XCHAR* receive;
};

Failures HttpFailures(bool post) {
  return {u"HttpCallProc 连接失败！",
          post ? u"HttpCallProc 调用失败！" : u"HttpCallProc 获取资源失败！",
          post ? XHTTP_CALL_FAILED : 0, u"HttpCallProc 接收数据有误！"};
}

const Failures kSoapFailures = {u"SoapCallProc 连接失败！", u"SoapCallProc 调用失败！",
                                XHTTP_CALL_FAILED, u"SoapCallProc 接收数据有误！"};

int32_t Fail(XCHAR* error, const XCHAR* message, int32_t result) {
  if (error != nullptr) tabrow::TextCopy(error, message);
  return result;
}

// Copies a content type into `type` (kTypeRoom units), cut to 319 characters, in lower case.
void KeepType(XCHAR* type, const XCHAR* source) {
  tabrow::TextCopyN(type, source, kTypeRoom);
  for (XCHAR* p = type; *p != 0; ++p) {
    if (*p >= u'A' && *p <= u'Z') *p = static_cast<XCHAR>(*p - u'A' + u'a');
  }
}

// One exchange: `send` makes the request on the connected linker with the path, the answer
// archive (the caller's `answer`, or a memory archive of its own when that is null) and the
// content-type output (null when the caller's type stands), and returns the linker's result.
template <typename Send>
int32_t Exchange(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                 const Failures& failures, IArchive* answer, XCHAR* error, Send send) {
  XCHAR type[kTypeRoom] = u"";
  if (contentType != nullptr) KeepType(type, contentType);
  XHttpLinker linker;
  const XCHAR* path = url != nullptr ? linker.Connect(url) : nullptr;
  if (path == nullptr) return Fail(error, failures.connect, 0);
  XMemoArchive own;
  if (answer == nullptr) answer = &own;
  XCHAR received[kReceivedRoom] = u"";
  const bool typeGiven = type[0] != 0;
  if (send(linker, path, answer, typeGiven ? nullptr : received) == 0) {
    return Fail(error, failures.send, failures.sendResult);
  }
  if (!typeGiven) KeepType(type, received);
  if (buffer == nullptr || buffer->SetMarkerDoc(type, answer) == 0) {
    return Fail(error, failures.receive, 0);
  }
  return 1;
}

}  // namespace

int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                      const char* body, int32_t staple, XCHAR* error) {
  return Exchange(buffer, url, contentType, HttpFailures(body != nullptr), nullptr, error,
                  [&](XHttpLinker& linker, const XCHAR* path, IArchive* into, XCHAR* type) {
                    return body != nullptr ? linker.GetResponse(path, staple, body, into, type)
                                           : linker.GetResponse(path, into, type);
                  });
}

int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                      IArchive* request, int32_t staple, XCHAR* error) {
  return HttpGetBuffer(buffer, url, contentType, request, staple, nullptr, error);
}

int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                      IArchive* request, int32_t staple, IArchive* answer, XCHAR* error) {
  return Exchange(buffer, url, contentType, HttpFailures(request != nullptr), answer, error,
                  [&](XHttpLinker& linker, const XCHAR* path, IArchive* into, XCHAR* type) {
                    return request != nullptr
                               ? linker.GetResponse(path, staple, request, into, type)
                               : linker.GetResponse(path, into, type);
                  });
}

int32_t SoapGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* action, IArchive* request,
                      int32_t staple, XCHAR* error) {
  return SoapGetBuffer(buffer, url, action, request, staple, nullptr, error);
}

int32_t SoapGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* action, IArchive* request,
                      int32_t staple, IArchive* answer, XCHAR* error) {
  return Exchange(buffer, url, nullptr, kSoapFailures, answer, error,
                  [&](XHttpLinker& linker, const XCHAR* path, IArchive* into, XCHAR* type) {
                    return request != nullptr
                               ? linker.GetResponse(path, action, staple, request, into, type)
                               : 0;
                  });
}

// Tabrow: whole HTTP exchanges in one call, answered into a response buffer.
//
// Each call connects a fresh linker to the URL, sends one request, collects the whole answer in
// memory and stores it in the caller's response buffer by its content type (see
// tabrow/httpbuffer.h); the buffer is not cleared first, so pass an empty one. An HTTP error
// status is no failure: the error page is stored like any answer. On failure a fixed message is
// copied into `error` (when not null; it must hold 32 units), and only then:
//   "HttpCallProc 连接失败！"      the URL names no usable host                       result 0
//   "HttpCallProc 获取资源失败！"  a GET failed (no body given)                       result 0
//   "HttpCallProc 调用失败！"      a request with a body failed                       0x80000001
//   "HttpCallProc 接收数据有误！"  the answer is not readable as its document kind    result 0
// and for SoapGetBuffer the same with "SoapCallProc". Success is 1.
//
// The post staple selects the body's content-type header (see tabrow/httplinker.h).
#ifndef TABROW_HTTPCALL_H_
#define TABROW_HTTPCALL_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/httpbuffer.h"

// The result of a request with a body that failed.
constexpr int32_t XHTTP_CALL_FAILED = static_cast<int32_t>(0x80000001u);

// Appends `text` (up to its NUL; null appends nothing) to `archive` as 8-bit bytes: UTF-8 for the
// staples 1, 3, 5 and 7, code page 936 for every other. No terminator or byte order mark is
// written. The text is converted 2048 units at a time, each piece appended on its own (a
// surrogate pair split between two pieces goes whole into the second). Returns 1, or 0 when the
// archive is null or refuses an append (pieces appended before stay).
TABROW_API int32_t HttpSetupDoc(IArchive* archive, const XCHAR* text, int32_t staple);

// GET `url`, or POST `body` (8-bit, up to its NUL) when it is not null. `contentType`, when
// given and not empty, decides how the answer is stored instead of the answer's own; either is
// used in lower case and cut to 319 characters.
TABROW_API int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                                 const char* body, int32_t staple, XCHAR* error);
// As above with the body in `request`: a non-null request archive POSTs its content (and, when
// it is empty, sends a GET whose failure still counts as that of a request with a body); null
// GETs.
TABROW_API int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                                 IArchive* request, int32_t staple, XCHAR* error);
// SOAP: POST the content of `request` with the SOAP action (null: empty). An empty or null
// request fails without sending anything. The answer is stored by its own content type.
TABROW_API int32_t SoapGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* action,
                                 IArchive* request, int32_t staple, XCHAR* error);

// The two above with the answer collected in the caller's `answer` archive (null: one of the
// call's own), for a caller that watches it arrive. Pass it empty; the answer stays in it.
TABROW_API int32_t HttpGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* contentType,
                                 IArchive* request, int32_t staple, IArchive* answer, XCHAR* error);
TABROW_API int32_t SoapGetBuffer(XHttpBuffer* buffer, const XCHAR* url, const XCHAR* action,
                                 IArchive* request, int32_t staple, IArchive* answer, XCHAR* error);

#endif  // TABROW_HTTPCALL_H_

// Tabrow: XHttpLinker, the HTTP and HTTPS client.
//
// A linker holds one connection to one server and sends single synchronous requests on it: a
// GET, a form or text POST whose body is an 8-bit text or an archive's contents, or a SOAP
// POST. Each request reads the whole answer into a caller's buffer or an IArchive and can hand
// back the answer's content type. The HTTP status is never examined: whatever body the server
// returns is read and reported as success.
//
// Every request carries "User-Agent: KPW_Browser", "Accept:*/*" and, when it has a body, the
// post staple's content-type line and "Content-Length:<bytes>". A post staple names the body's
// content type:
//   1 text/xml; charset=utf-8           2 text/xml; charset=gb2312
//   3 text/html; charset=utf-8          4 text/html; charset=gb2312
//   5 text/plain; charset=utf-8         6 text/plain; charset=gb2312
//   7 application/json; charset=utf-8   8 application/json; charset=gb2312
//   any other value: application/x-www-form-urlencoded
//
// Limits: a host name holds at most 319 units (a longer one is refused); a SOAP action at most
// 463 units (a longer one is refused, nothing is sent); a content-type output buffer must hold
// 1024 units and receives at most 1023 and a NUL; a body is at most 2 GiB - 1 bytes.
//
// Connect does no network work: it records the server, and an unreachable or malformed host
// fails at the first request. Requests on one linker reuse one connection. Connecting a linker
// that is already connected first closes its earlier connection. A copy of a connected linker
// shares its connection; the last of them to close it (CloseLinker or destruction) ends it.
//
// Overloads: a null body or request archive must be typed, (const char*)nullptr or
// (IArchive*)nullptr, to choose between the text and the archive forms.
#ifndef TABROW_HTTPLINKER_H_
#define TABROW_HTTPLINKER_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"

class TABROW_API XHttpLinker {
 public:
  XHttpLinker();
  XHttpLinker(const XHttpLinker& other);
  XHttpLinker& operator=(const XHttpLinker& other);
  virtual ~XHttpLinker();

  // Lets go of the connection; safe on an unconnected linker and more than once.
  void CloseLinker();

  // Splits `url` (leading blanks and control characters skipped; "https://" in any letter case
  // makes it secure, otherwise the secure flag stays as it was; the host follows "://" when
  // there is one; a ':' anywhere after the host start ends the host and starts a decimal port,
  // else the port is 443 when secure and 80 otherwise) and connects. Returns the request path
  // inside `url` (after the first '/' behind the host, or the url's NUL when there is none), or
  // null when the host is empty or too long.
  const XCHAR* Connect(const XCHAR* url);
  // Connects to `host` at `port` (taken modulo 65536; 0 means the scheme's default port) with
  // the secure flag `secure`. Returns 1, or 0 for an empty or too long host.
  int32_t Connect(const XCHAR* host, int32_t port, int32_t secure);

  // The content-type header line (ending in CR LF) sent for a post staple.
  static const XCHAR* GetPostHeader(int32_t staple);
  // The post staple of a content-type text (case-sensitive): by "/xml", "/html", "/json" or
  // "/plain", the utf-8 variant unless "charset" appears without "utf-8"; 0 for anything else
  // and for null.
  static int32_t GetPostStaple(const XCHAR* content_type);

  // Each form requests `path` (relative to the server, as Connect returns it; null reads as
  // empty) and returns 1, or 0 when the exchange failed. `content_type`, when not null, receives
  // the answer's content type in lower case (empty when the answer names none). An answer
  // archive receives the answer appended and rewound; after a failure midway it holds what had
  // come, not rewound.

  // GET into `answer`.
  int32_t GetResponse(const XCHAR* path, IArchive* answer, XCHAR* content_type);
  // POST `body` (up to its NUL), or GET when `body` is null, into `buffer` of `size` bytes
  // (at least 1): the first size - 1 bytes of the answer and a NUL. The rest of a longer answer
  // is not read, which is no failure. After a failure the buffer holds what had come and a NUL.
  int32_t GetResponse(const XCHAR* path, int32_t staple, const char* body, char* buffer,
                      uint32_t size);
  // POST `body` (up to its NUL), or GET when `body` is null, into `answer`.
  int32_t GetResponse(const XCHAR* path, int32_t staple, const char* body, IArchive* answer,
                      XCHAR* content_type);
  // POST the contents of `request`, or GET when it is empty, into `answer`.
  int32_t GetResponse(const XCHAR* path, int32_t staple, IArchive* request, IArchive* answer,
                      XCHAR* content_type);
  // SOAP: POST the contents of `request` with "SOAPAction: \"<action>\"" (null: empty quotes)
  // into `answer`. An empty request archive gives 0 and nothing is sent.
  int32_t GetResponse(const XCHAR* path, const XCHAR* action, int32_t staple, IArchive* request,
                      IArchive* answer, XCHAR* content_type);

 private:
  void Share(const XHttpLinker& other);

  int32_t secure_;
  void* internet_;
  void* connection_;
};

#endif  // TABROW_HTTPLINKER_H_

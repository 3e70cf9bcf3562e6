// The internet calls the HTTP linker is written against, in the shape of the Windows
// internet API, implemented on libcurl. Everything here is synchronous and runs on the caller's
// thread; a handle and the handles made from it are used by one thread at a time.
//
// Handles form a tree: a session (InternetOpenW) holds the agent name and an in-memory cookie
// store; a connection (InternetConnectW) names one server and keeps one connection to it alive
// across its requests; a request (HttpOpenRequestW) is one exchange. A child keeps its parent
// alive, so handles may be closed in any order.
//
// Choices of this layer:
// - A connection does no network work: the first request connects. Port 0 means the scheme's
//   default (80, or 443 for a secure request).
// - HTTP/1.1 only. Redirects are followed (at most 30). Proxies come from the environment
//   (http_proxy, https_proxy, no_proxy). Certificates are verified; SSL_CERT_FILE and
//   SSL_CERT_DIR, when set, replace the default trust file and directory.
// - The request goes out with the verb, the target "/" + object and the added header lines
//   exactly as given, plus Host, User-Agent (the agent name) and, for a body, Content-Length
//   unless one was added. The accept types become one Accept header unless an Accept line is
//   added; no Expect header, and no Content-Type that was not added, is ever sent.
// - Timeouts: 60 seconds to connect; a request that receives no byte for 60 seconds fails.
// - Answers are streamed: at most 64 KiB of an answer waits between two reads.
// - Header lines and the agent go on the wire in code page 936; the server name as UTF-8
//   (an international name in its ASCII form); the target as given, except that characters
//   outside printable ASCII, space and '#' (which would end the target) are percent-encoded
//   UTF-8.
// Every failure gives the call's 0 or null result.
#ifndef TABROW_PLATFORM_INTERNET_H_
#define TABROW_PLATFORM_INTERNET_H_

#include "tabrow/base.h"

namespace tabrow {

typedef void* HINTERNET;

constexpr uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr uint32_t INTERNET_SERVICE_HTTP = 3;
constexpr uint32_t INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000u;
constexpr uint32_t INTERNET_FLAG_KEEP_CONNECTION = 0x00400000u;
constexpr uint32_t INTERNET_FLAG_SECURE = 0x00800000u;
constexpr uint32_t HTTP_ADDREQ_FLAG_ADD = 0x20000000u;
constexpr uint32_t HTTP_ADDREQ_FLAG_REPLACE = 0x80000000u;
constexpr uint32_t HTTP_QUERY_CONTENT_TYPE = 1;
// A header length meaning "up to the NUL".
constexpr uint32_t kTextToNul = 0xFFFFFFFFu;

// A session sending `agent` as its User-Agent. Only the preconfigured access type without proxy
// names and flags 0 is supported.
HINTERNET InternetOpenW(const XCHAR* agent, uint32_t access_type, const XCHAR* proxy,
                        const XCHAR* proxy_bypass, uint32_t flags);

// A connection to `server` (a host name or IP address; an IPv6 address may go without
// brackets) at `port`. Fails only for a missing session, an empty server name, user names or
// a service other than INTERNET_SERVICE_HTTP. The name is checked when a request is opened.
HINTERNET InternetConnectW(HINTERNET session, const XCHAR* server, uint16_t port, const XCHAR* user,
                           const XCHAR* password, uint32_t service, uint32_t flags,
                           uintptr_t context);

// A request on `connection`: `verb` (null: "GET"), `object` the target without its leading
// "/" (null: empty), `version` "HTTP/1.1" or null, `accept_types` a null-ended list or null.
// Flags: INTERNET_FLAG_SECURE asks for HTTPS; without INTERNET_FLAG_KEEP_CONNECTION the
// connection is closed after this request. Fails (null) for a server name holding a blank, a
// control character or one of / ? # @ \ %.
HINTERNET HttpOpenRequestW(HINTERNET connection, const XCHAR* verb, const XCHAR* object,
                           const XCHAR* version, const XCHAR* referrer,
                           const XCHAR* const* accept_types, uint32_t flags, uintptr_t context);

// Adds "Name:value" lines separated by CR LF (`length` units, or kTextToNul). With
// HTTP_ADDREQ_FLAG_REPLACE earlier lines of the same name are dropped (and the line is added
// unless its value is empty), which fails for a name not yet present unless HTTP_ADDREQ_FLAG_ADD
// is also given; HTTP_ADDREQ_FLAG_ADD alone appends. Returns 1, or 0 for a line without a name.
int32_t HttpAddRequestHeadersW(HINTERNET request, const XCHAR* headers, uint32_t length,
                               uint32_t modifiers);

// Adds `headers` as HTTP_ADDREQ_FLAG_ADD does, sends the request with the `body_length` bytes
// at `body` (which must stay valid until the request is closed) and waits for the answer's
// headers. Returns 1, or 0 when the exchange failed. A request is sent once.
int32_t HttpSendRequestW(HINTERNET request, const XCHAR* headers, uint32_t headers_length,
                         const void* body, uint32_t body_length);

// Reads up to `count` answer bytes, waiting until `count` have arrived or the answer ends.
// Returns 1 with *read the count (0 at the end), or 0 when the exchange failed before `count`
// bytes came; *read then holds the bytes that did arrive in this call.
int32_t InternetReadFile(HINTERNET request, void* buffer, uint32_t count, uint32_t* read);

// HTTP_QUERY_CONTENT_TYPE: stores the answer's Content-Type value as a NUL-terminated UTF-16
// text in `buffer` (*length bytes) and its size in bytes without the NUL in *length. Returns 0
// when there is no such header or when it does not fit (*length then receives the size needed).
// `index` must be null.
int32_t HttpQueryInfoW(HINTERNET request, uint32_t info_level, void* buffer, uint32_t* length,
                       uint32_t* index);

// Drops one holder of a handle; the last one frees it. Returns 1, or 0 for null.
int32_t InternetCloseHandle(HINTERNET handle);

// Adds a holder to `handle`, which each holder then closes once; returns `handle`.
HINTERNET InternetAddRefHandle(HINTERNET handle);

}  // namespace tabrow

#endif  // TABROW_PLATFORM_INTERNET_H_

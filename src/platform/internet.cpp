// The internet calls on libcurl. A session owns a curl share (cookies, DNS and TLS sessions);
// a connection owns a curl multi handle, whose connection cache keeps its server's connection
// alive between requests; a request owns one easy handle in that multi handle. Sending and
// reading drive the multi handle until what the caller waits for has arrived. The body callback
// keeps at most a window of unread answer bytes and pauses the transfer beyond it, so an answer
// is never buffered whole.
#include "platform/internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace tabrow {
namespace {

constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 60;
constexpr long kMaxRedirects = 30;
constexpr int kPollMilliseconds = 1000;
constexpr size_t kAnswerWindow = 64 * 1024;

enum class Kind { kSession, kConnection, kRequest };

struct Handle {
  explicit Handle(Kind k) : kind(k) {}
  virtual ~Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  const Kind kind;
  int32_t holders = 1;
};

void Drop(Handle* handle) {
  if (--handle->holders == 0) delete handle;
}

// curl_global_init is counted, so every session pairs it with a cleanup.
struct Session final : Handle {
  Session() : Handle(Kind::kSession) {}
  ~Session() override {
    curl_share_cleanup(share);
    curl_global_cleanup();
  }

  std::string agent;
  CURLSH* share = nullptr;
};

struct Connection final : Handle {
  explicit Connection(Session* owner) : Handle(Kind::kConnection), session(owner) {
    ++session->holders;
  }
  ~Connection() override {
    curl_multi_cleanup(multi);
    Drop(session);
  }

  Session* const session;
  std::string host;  // UTF-8
  uint16_t port = 0;
  CURLM* multi = nullptr;
};

struct Request final : Handle {
  explicit Request(Connection* owner) : Handle(Kind::kRequest), connection(owner) {
    ++connection->holders;
  }
  ~Request() override {
    if (in_multi) curl_multi_remove_handle(connection->multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(header_list);
    Drop(connection);
  }

  Connection* const connection;
  CURL* easy = nullptr;
  std::string url;
  std::string verb;
  long http_version = CURL_HTTP_VERSION_1_1;
  std::string referrer;
  bool keep_connection = true;
  std::string accept_types;  // the Accept value from the accept types; empty when none
  std::vector<std::string> lines;
  curl_slist* header_list = nullptr;

  bool sent = false;
  bool in_multi = false;
  bool done = false;
  CURLcode result = CURLE_OK;
  bool headers_done = false;
  bool location_seen = false;
  bool has_content_type = false;
  std::string content_type;

  std::vector<char> pending;  // answer bytes received but not yet read
  size_t pending_read = 0;
  bool paused = false;

  size_t Unread() const { return pending.size() - pending_read; }
};

template <typename T>
T* As(HINTERNET handle, Kind kind) {
  Handle* h = static_cast<Handle*>(handle);
  return h != nullptr && h->kind == kind ? static_cast<T*>(h) : nullptr;
}

std::string Utf8(const XCHAR* text) {
  return EncodeText(CodePage::kUtf8, text, TextLength(text));
}

bool SameNameNoCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The name of a "Name:value" line, blanks around it removed; empty when there is no colon.
std::string LineName(const std::string& line) {
  size_t colon = line.find(':');
  if (colon == std::string::npos) return std::string();
  size_t begin = line.find_first_not_of(" \t");
  size_t end = line.find_last_not_of(" \t", colon - 1);
  if (begin >= colon || end == std::string::npos) return std::string();
  return line.substr(begin, end - begin + 1);
}

bool LineHasValue(const std::string& line) {
  return line.find_first_not_of(" \t", line.find(':') + 1) != std::string::npos;
}

// --- URL of a request ---

bool HostIsSafe(const std::string& host) {
  for (unsigned char c : host) {
    if (c <= 0x20 || c == 0x7F || std::strchr("/?#@\\%", c) != nullptr) return false;
  }
  return !host.empty();
}

// "/" + object, with blanks, '#' and bytes outside printable ASCII percent-encoded.
std::string EncodeTarget(const XCHAR* object) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string target = "/";
  for (unsigned char c : Utf8(object)) {
    if (c > 0x20 && c < 0x7F && c != '#') {
      target += static_cast<char>(c);
    } else {
      target += '%';
      target += kHex[c >> 4];
      target += kHex[c & 15];
    }
  }
  return target;
}

bool BuildUrl(const Connection& connection, bool secure, const XCHAR* object, std::string* url) {
  if (!HostIsSafe(connection.host)) return false;
  bool ipv6 = connection.host.find(':') != std::string::npos && connection.host[0] != '[';
  *url = secure ? "https://" : "http://";
  *url += ipv6 ? "[" + connection.host + "]" : connection.host;
  if (connection.port != 0) *url += ":" + std::to_string(connection.port);
  *url += EncodeTarget(object);
  return true;
}

// --- transfer callbacks ---

void TakeHeaderLine(Request* request, const char* data, size_t bytes) {
  std::string line(data, bytes);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.compare(0, 5, "HTTP/") == 0) {
    // A new answer starts (after an interim answer or a redirect): forget the earlier one.
    request->has_content_type = false;
    request->content_type.clear();
    request->location_seen = false;
  } else if (line.empty()) {
    long code = 0;
    curl_easy_getinfo(request->easy, CURLINFO_RESPONSE_CODE, &code);
    bool redirect = code / 100 == 3 && request->location_seen;
    if (code >= 200 && !redirect) request->headers_done = true;
  } else {
    std::string name = LineName(line);
    if (SameNameNoCase(name, "Location")) request->location_seen = true;
    if (SameNameNoCase(name, "Content-Type")) {
      size_t begin = line.find_first_not_of(" \t", line.find(':') + 1);
      request->content_type = begin == std::string::npos ? std::string() : line.substr(begin);
      request->has_content_type = true;
    }
  }
}

void KeepBody(Request* request, const char* data, size_t bytes) {
  if (request->pending_read > 0) {
    auto read_end = request->pending.begin() + static_cast<ptrdiff_t>(request->pending_read);
    request->pending.erase(request->pending.begin(), read_end);
    request->pending_read = 0;
  }
  request->pending.insert(request->pending.end(), data, data + bytes);
}

// Callbacks run inside curl: nothing may be thrown through it, and a result other than the byte
// count fails the transfer.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  size_t bytes = size * count;
  try {
    TakeHeaderLine(static_cast<Request*>(user), data, bytes);
    return bytes;
  } catch (...) {
    return 0;
  }
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  Request* request = static_cast<Request*>(user);
  size_t bytes = size * count;
  if (request->Unread() > 0 && request->Unread() + bytes > kAnswerWindow) {
    request->paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  try {
    KeepBody(request, data, bytes);
    return bytes;
  } catch (...) {
    return 0;
  }
}

// --- driving the transfer ---

void CollectFinished(CURLM* multi) {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    char* owner = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
    Request* request = reinterpret_cast<Request*>(owner);
    request->done = true;
    request->result = message->data.result;
  }
}

void Fail(Request* request) {
  request->done = true;
  request->result = CURLE_FAILED_INIT;
}

bool HeadersReady(const Request& r) {
  return r.headers_done || r.done || r.Unread() > 0;
}
bool BodyReady(const Request& r) {
  return r.done || r.Unread() > 0;
}

// Runs the connection's transfers until `ready` holds for `request` (or it has failed).
void Drive(Request* request, bool (*ready)(const Request&)) {
  CURLM* multi = request->connection->multi;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) return Fail(request);
    CollectFinished(multi);
    if (ready(*request)) return;
    if (curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr) != CURLM_OK) {
      return Fail(request);
    }
  }
}

// --- setting up a transfer ---

bool AppendHeader(Request* request, const std::string& line) {
  curl_slist* list = curl_slist_append(request->header_list, line.c_str());
  if (list == nullptr) return false;
  request->header_list = list;
  return true;
}

bool HasLine(const Request& request, const char* name) {
  for (const std::string& line : request.lines) {
    if (SameNameNoCase(LineName(line), name)) return true;
  }
  return false;
}

// The header lines for curl: "Name:" removes a header of curl's own, and "Name;" is how curl
// is told to send a header with an empty value.
bool BuildHeaderList(Request* request) {
  if (!HasLine(*request, "Accept")) {
    std::string accept =
        request->accept_types.empty() ? "Accept:" : "Accept: " + request->accept_types;
    if (!AppendHeader(request, accept)) return false;
  }
  for (const std::string& line : request->lines) {
    std::string sent = line;
    if (!LineHasValue(line)) sent = LineName(line) + ";";
    if (!AppendHeader(request, sent)) return false;
  }
  if (!HasLine(*request, "Content-Type") && !AppendHeader(request, "Content-Type:")) return false;
  if (!HasLine(*request, "Expect") && !AppendHeader(request, "Expect:")) return false;
  return true;
}

void SetTrustStore(CURL* easy) {
  if (const char* file = std::getenv("SSL_CERT_FILE")) curl_easy_setopt(easy, CURLOPT_CAINFO, file);
  if (const char* dir = std::getenv("SSL_CERT_DIR")) curl_easy_setopt(easy, CURLOPT_CAPATH, dir);
}

void SetVerb(Request* request, const void* body, uint32_t body_length) {
  CURL* easy = request->easy;
  const std::string& verb = request->verb;
  if (body_length > 0 || verb == "POST") {
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_length));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body_length > 0 ? body : "");
    if (verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
  } else if (verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    if (verb != "GET") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
  }
}

bool Configure(Request* request, const void* body, uint32_t body_length) {
  request->easy = curl_easy_init();
  if (request->easy == nullptr || !BuildHeaderList(request)) return false;
  CURL* easy = request->easy;
  Session* session = request->connection->session;
  bool ok = curl_easy_setopt(easy, CURLOPT_URL, request->url.c_str()) == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_SHARE, session->share) == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "") == CURLE_OK;
  if (!ok) return false;
  curl_easy_setopt(easy, CURLOPT_PRIVATE, request);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, request->http_version);
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, request->keep_connection ? 0L : 1L);
  if (!session->agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, session->agent.c_str());
  if (!request->referrer.empty())
    curl_easy_setopt(easy, CURLOPT_REFERER, request->referrer.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, request->header_list);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, request);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, request);
  SetTrustStore(easy);
  SetVerb(request, body, body_length);
  return true;
}

// --- header lines ---

// Splits at CR and LF into non-empty lines; false when a line has no name.
bool SplitLines(const std::string& text, std::vector<std::string>* lines) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      std::string line = text.substr(start, end - start);
      if (LineName(line).empty()) return false;
      lines->push_back(line);
    }
    start = end + 1;
  }
  return true;
}

bool AddLine(Request* request, const std::string& line, uint32_t modifiers) {
  std::string name = LineName(line);
  bool is_accept = SameNameNoCase(name, "Accept");
  if ((modifiers & HTTP_ADDREQ_FLAG_REPLACE) != 0) {
    bool present = HasLine(*request, name.c_str()) || (is_accept && !request->accept_types.empty());
    if (!present && (modifiers & HTTP_ADDREQ_FLAG_ADD) == 0) return false;
    std::vector<std::string>& lines = request->lines;
    for (size_t i = lines.size(); i-- > 0;) {
      if (SameNameNoCase(LineName(lines[i]), name.c_str())) lines.erase(lines.begin() + i);
    }
    if (is_accept) request->accept_types.clear();
    if (LineHasValue(line)) lines.push_back(line);
    return true;
  }
  if (is_accept) request->accept_types.clear();
  request->lines.push_back(line);
  return true;
}

// Runs `body`, turning an exception (memory running out) into the call's failure result.
template <typename R, typename F>
R Guarded(R failure, F&& body) {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

struct DropHandle {
  void operator()(Handle* handle) const { Drop(handle); }
};
template <typename T>
using Owned = std::unique_ptr<T, DropHandle>;

Session* OpenSession(const XCHAR* agent) {
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
  Session* made = new (std::nothrow) Session;
  if (made == nullptr) {
    curl_global_cleanup();
    return nullptr;
  }
  Owned<Session> session(made);
  session->agent = EncodeText(CodePage::kAnsi, agent, TextLength(agent));
  session->share = curl_share_init();
  bool ok = session->share != nullptr &&
            curl_share_setopt(session->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == 0 &&
            curl_share_setopt(session->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == 0 &&
            curl_share_setopt(session->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == 0;
  return ok ? session.release() : nullptr;
}

Connection* OpenConnection(Session* session, const XCHAR* server, uint16_t port) {
  Owned<Connection> connection(new Connection(session));
  connection->host = Utf8(server);
  connection->port = port;
  connection->multi = curl_multi_init();
  return connection->multi != nullptr ? connection.release() : nullptr;
}

Request* OpenRequest(Connection* connection, const XCHAR* verb, const XCHAR* object,
                     const XCHAR* version, const XCHAR* referrer, const XCHAR* const* accept_types,
                     uint32_t flags) {
  std::string wire_version = Utf8(version);
  if (!wire_version.empty() && wire_version != "HTTP/1.1" && wire_version != "HTTP/1.0") {
    return nullptr;
  }
  std::string url;
  if (!BuildUrl(*connection, (flags & INTERNET_FLAG_SECURE) != 0, object, &url)) return nullptr;
  Owned<Request> request(new Request(connection));
  request->url = url;
  request->verb = TextLength(verb) == 0 ? "GET" : Utf8(verb);
  if (wire_version == "HTTP/1.0") request->http_version = CURL_HTTP_VERSION_1_0;
  request->referrer = Utf8(referrer);
  request->keep_connection = (flags & INTERNET_FLAG_KEEP_CONNECTION) != 0;
  for (const XCHAR* const* type = accept_types; type != nullptr && *type != nullptr; ++type) {
    if (!request->accept_types.empty()) request->accept_types += ", ";
    request->accept_types += EncodeText(CodePage::kAnsi, *type, TextLength(*type));
  }
  return request.release();
}

int32_t AddHeaders(Request* request, const XCHAR* headers, uint32_t length, uint32_t modifiers) {
  size_t units = length == kTextToNul ? TextLength(headers) : length;
  std::vector<std::string> lines;
  if (!SplitLines(EncodeText(CodePage::kAnsi, headers, units), &lines) || lines.empty()) return 0;
  for (const std::string& line : lines) {
    if (!AddLine(request, line, modifiers)) return 0;
  }
  return 1;
}

int32_t Send(Request* request, const void* body, uint32_t body_length) {
  request->sent = true;
  if (!Configure(request, body, body_length)) return 0;
  if (curl_multi_add_handle(request->connection->multi, request->easy) != CURLM_OK) return 0;
  request->in_multi = true;
  Drive(request, HeadersReady);
  bool failed = request->done && request->result != CURLE_OK && request->Unread() == 0;
  return failed ? 0 : 1;
}

uint32_t Read(Request* request, uint8_t* out, uint32_t count) {
  uint32_t got = 0;
  while (got < count) {
    if (request->Unread() > 0) {
      size_t n = std::min<size_t>(count - got, request->Unread());
      std::memcpy(out + got, request->pending.data() + request->pending_read, n);
      got += static_cast<uint32_t>(n);
      request->pending_read += n;
    } else if (request->paused) {
      request->paused = false;
      if (curl_easy_pause(request->easy, CURLPAUSE_CONT) != CURLE_OK) Fail(request);
    } else if (request->done) {
      break;
    } else {
      Drive(request, BodyReady);
    }
  }
  return got;
}

int32_t QueryContentType(const Request& request, void* buffer, uint32_t* length) {
  if (!request.has_content_type) return 0;
  const std::string& value = request.content_type;
  std::u16string text = DecodeText(CodePage::kAnsi, value.data(), value.size());
  size_t bytes = text.size() * sizeof(XCHAR);
  if (buffer == nullptr || *length < bytes + sizeof(XCHAR)) {
    *length = static_cast<uint32_t>(bytes + sizeof(XCHAR));
    return 0;
  }
  const XCHAR nul = 0;
  std::memcpy(buffer, text.data(), bytes);
  std::memcpy(static_cast<uint8_t*>(buffer) + bytes, &nul, sizeof nul);
  *length = static_cast<uint32_t>(bytes);
  return 1;
}

}  // namespace

HINTERNET InternetOpenW(const XCHAR* agent, uint32_t access_type, const XCHAR* proxy,
                        const XCHAR* proxy_bypass, uint32_t flags) {
  if (access_type != INTERNET_OPEN_TYPE_PRECONFIG || TextLength(proxy) != 0 ||
      TextLength(proxy_bypass) != 0 || flags != 0) {
    return nullptr;
  }
  return Guarded<HINTERNET>(nullptr, [&] { return OpenSession(agent); });
}

HINTERNET InternetConnectW(HINTERNET session, const XCHAR* server, uint16_t port, const XCHAR* user,
                           const XCHAR* password, uint32_t service, uint32_t /*flags*/,
                           uintptr_t /*context*/) {
  Session* owner = As<Session>(session, Kind::kSession);
  if (owner == nullptr || TextLength(server) == 0 || TextLength(user) != 0 ||
      TextLength(password) != 0 || service != INTERNET_SERVICE_HTTP) {
    return nullptr;
  }
  return Guarded<HINTERNET>(nullptr, [&] { return OpenConnection(owner, server, port); });
}

HINTERNET HttpOpenRequestW(HINTERNET connection, const XCHAR* verb, const XCHAR* object,
                           const XCHAR* version, const XCHAR* referrer,
                           const XCHAR* const* accept_types, uint32_t flags,
                           uintptr_t /*context*/) {
  Connection* owner = As<Connection>(connection, Kind::kConnection);
  if (owner == nullptr) return nullptr;
  return Guarded<HINTERNET>(nullptr, [&] {
    return OpenRequest(owner, verb, object, version, referrer, accept_types, flags);
  });
}

int32_t HttpAddRequestHeadersW(HINTERNET request, const XCHAR* headers, uint32_t length,
                               uint32_t modifiers) {
  Request* target = As<Request>(request, Kind::kRequest);
  if (target == nullptr || target->sent || headers == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return AddHeaders(target, headers, length, modifiers); });
}

int32_t HttpSendRequestW(HINTERNET request, const XCHAR* headers, uint32_t headers_length,
                         const void* body, uint32_t body_length) {
  Request* target = As<Request>(request, Kind::kRequest);
  if (target == nullptr || target->sent || (body == nullptr && body_length > 0)) return 0;
  if (headers != nullptr && headers_length != 0 &&
      HttpAddRequestHeadersW(request, headers, headers_length, HTTP_ADDREQ_FLAG_ADD) == 0) {
    return 0;
  }
  return Guarded<int32_t>(0, [&] { return Send(target, body, body_length); });
}

int32_t InternetReadFile(HINTERNET request, void* buffer, uint32_t count, uint32_t* read) {
  Request* source = As<Request>(request, Kind::kRequest);
  if (read != nullptr) *read = 0;
  if (source == nullptr || !source->in_multi || read == nullptr ||
      (buffer == nullptr && count > 0)) {
    return 0;
  }
  *read = Guarded<uint32_t>(0, [&] { return Read(source, static_cast<uint8_t*>(buffer), count); });
  return *read < count && source->result != CURLE_OK ? 0 : 1;
}

int32_t HttpQueryInfoW(HINTERNET request, uint32_t info_level, void* buffer, uint32_t* length,
                       uint32_t* index) {
  Request* source = As<Request>(request, Kind::kRequest);
  if (source == nullptr || info_level != HTTP_QUERY_CONTENT_TYPE || length == nullptr ||
      index != nullptr) {
    return 0;
  }
  return Guarded<int32_t>(0, [&] { return QueryContentType(*source, buffer, length); });
}

int32_t InternetCloseHandle(HINTERNET handle) {
  if (handle == nullptr) return 0;
  Drop(static_cast<Handle*>(handle));
  return 1;
}

HINTERNET InternetAddRefHandle(HINTERNET handle) {
  if (handle != nullptr) ++static_cast<Handle*>(handle)->holders;
  return handle;
}

}  // namespace tabrow

#include "http/url_split.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace tabrow {
namespace {

constexpr size_t kPortBytes = 20;

XCHAR Lower(XCHAR c) {
  return c >= u'A' && c <= u'Z' ? static_cast<XCHAR>(c - u'A' + u'a') : c;
}

// Compares ASCII `prefix` with the start of `text`; the text's NUL never matches.
bool StartsWith(const XCHAR* text, const char* prefix, bool ignore_case) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    XCHAR c = LoadUnit(text);
    if (ignore_case) c = Lower(c);
    if (c != static_cast<XCHAR>(*prefix)) return false;
  }
  return true;
}

// The first occurrence of `needle` at or after `text`, or null.
const XCHAR* Find(const XCHAR* text, const char* needle) {
  for (; LoadUnit(text) != 0; ++text) {
    if (StartsWith(text, needle, false)) return text;
  }
  return nullptr;
}

// The first `c` at or after `text`, or the text's NUL.
const XCHAR* FindOrEnd(const XCHAR* text, XCHAR c) {
  while (LoadUnit(text) != 0 && LoadUnit(text) != c) ++text;
  return text;
}

int32_t ReadPort(const XCHAR* text) {
  // Each unit gives at least one byte, so the first kPortBytes units cover the first bytes.
  size_t units = 0;
  while (units < kPortBytes && LoadUnit(text + units) != 0) ++units;
  try {
    std::string bytes = EncodeText(CodePage::kAnsi, text, units);
    bytes.resize(std::min(bytes.size(), kPortBytes));
    int32_t port = 0;
    return ReadLong(bytes.c_str(), &port) ? port : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

bool SplitUrl(const XCHAR* url, int32_t secure, UrlParts* parts) {
  const XCHAR* start = url;
  while (LoadUnit(start) != 0 && LoadUnit(start) < 33) ++start;
  parts->secure = StartsWith(start, "https://", true) ? 1 : secure;

  const XCHAR* scheme_end = Find(start, "://");
  const XCHAR* host = scheme_end != nullptr ? scheme_end + 3 : start;
  const XCHAR* colon = FindOrEnd(host, u':');
  const XCHAR* host_end;
  const XCHAR* slash;
  if (LoadUnit(colon) == u':') {
    host_end = colon;
    parts->port = ReadPort(colon + 1);
    slash = FindOrEnd(colon, u'/');
  } else {
    slash = FindOrEnd(host, u'/');
    host_end = slash;
    parts->port = parts->secure != 0 ? 443 : 80;
  }
  parts->path = LoadUnit(slash) == u'/' ? slash + 1 : slash;

  size_t host_units = static_cast<size_t>(host_end - host);
  bool fits = host_units < static_cast<size_t>(kHostUnits);
  size_t copied = fits ? host_units : 0;
  std::memcpy(parts->host, host, copied * sizeof(XCHAR));
  parts->host[copied] = 0;
  return fits;
}

}  // namespace tabrow

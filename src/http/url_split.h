// Splitting a linker URL into host, port, secure flag and request path.
#ifndef TABROW_HTTP_URL_SPLIT_H_
#define TABROW_HTTP_URL_SPLIT_H_

#include "tabrow/base.h"

namespace tabrow {

// Units of the host buffer, its NUL included.
constexpr int32_t kHostUnits = 320;

struct UrlParts {
  XCHAR host[kHostUnits];  // NUL-terminated, possibly empty
  int32_t port;
  int32_t secure;
  const XCHAR* path;  // inside the url: after the first '/' behind the host, or its NUL
};

// Splits `url`: blanks and control characters before it are skipped; "https://" in any letter
// case sets `secure`, which otherwise keeps the value passed; the host starts after the first
// "://" (or at the start); the first ':' after the host start ends the host and is followed by
// a port read like C's atol from the first 20 bytes of the rest in code page 936 (0 when there
// is no number); without a ':' the host ends at the first '/' and the port is 443 or 80.
// Returns false when the host does not fit `host`; every other field is set regardless.
bool SplitUrl(const XCHAR* url, int32_t secure, UrlParts* parts);

}  // namespace tabrow

#endif  // TABROW_HTTP_URL_SPLIT_H_

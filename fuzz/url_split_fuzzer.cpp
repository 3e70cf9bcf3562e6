// Splits fuzzed URLs, placed at an even or an odd address, and checks what the parts must be: the
// path lies inside the URL after a '/' (or is its end), the host is NUL-terminated within its
// buffer and stops before any ':' (and before any '/' when there is no port), and the port is the
// scheme's default when no ':' follows the host.
//
// Input: a flag byte (bit 0: odd address, bit 1: secure on entry), then the URL in UTF-16.
#include <cstring>

#include "fuzz_check.h"
#include "http/url_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  uint8_t flags = in.Byte();
  std::u16string url = in.Text();
  size_t shift = flags & 1;
  std::vector<uint8_t> storage(shift + 2 * (url.size() + 1));
  std::memcpy(storage.data() + shift, url.c_str(), 2 * (url.size() + 1));
  const auto* text = reinterpret_cast<const XCHAR*>(storage.data() + shift);
  int32_t secure_in = (flags >> 1) & 1;

  tabrow::UrlParts parts;
  bool fits = tabrow::SplitUrl(text, secure_in, &parts);
  size_t host_length = fuzz::Length(parts.host);
  fuzz::Require(host_length < tabrow::kHostUnits, "the host ends inside its buffer");
  fuzz::Require(fits || host_length == 0, "a host that does not fit is left empty");
  fuzz::Require(parts.secure == 1 || parts.secure == secure_in, "secure is set or kept");

  size_t path = static_cast<size_t>(reinterpret_cast<const uint8_t*>(parts.path) -
                                    reinterpret_cast<const uint8_t*>(text)) /
                2;
  fuzz::Require(parts.path >= text && path <= url.size(), "the path lies inside the URL");
  fuzz::Require(path == url.size() || (path > 0 && fuzz::UnitAt(text, path - 1) == u'/'),
                "the path follows a slash or is the URL's end");
  bool has_slash = false;
  for (size_t i = 0; i < host_length; ++i) {
    fuzz::Require(parts.host[i] != u':', "the host stops before a colon");
    has_slash = has_slash || parts.host[i] == u'/';
  }
  // A port is written when a ':' follows the host: any ':' but the one of the first "://".
  size_t scheme = url.find(u"://");
  bool port_given = false;
  for (size_t i = 0; i < url.size(); ++i)
    port_given = port_given || (url[i] == u':' && i != scheme);
  if (!port_given) {
    fuzz::Require(!has_slash, "without a port the host stops before a slash");
    fuzz::Require(parts.port == (parts.secure != 0 ? 443 : 80), "the default port fits the scheme");
  }
  return 0;
}

// The post staple table, both ways: staple to content-type header line, content type to staple.
#include "platform/text.h"
#include "tabrow/httplinker.h"

namespace {

const XCHAR* const kStapleHeaders[] = {
    u"Content-Type:application/x-www-form-urlencoded\r\n",
    u"Content-type:text/xml; charset=utf-8\r\n",
    u"Content-type:text/xml; charset=gb2312\r\n",
    u"Content-type:text/html; charset=utf-8\r\n",
    u"Content-type:text/html; charset=gb2312\r\n",
    u"Content-type:text/plain; charset=utf-8\r\n",
    u"Content-type:text/plain; charset=gb2312\r\n",
    u"Content-type:application/json; charset=utf-8\r\n",
    u"Content-type:application/json; charset=gb2312\r\n",
};

constexpr int32_t kLastStaple = 8;

// A content-type family marker and the staple of its utf-8 variant; the gb2312 variant is the
// next staple.
struct Family {
  const char* marker;
  int32_t utf8_staple;
};

const Family kFamilies[] = {{"/xml", 1}, {"/html", 3}, {"/json", 7}, {"/plain", 5}};

// Case-sensitive search for ASCII `needle` in `text`.
bool Contains(const XCHAR* text, const char* needle) {
  for (; tabrow::LoadUnit(text) != 0; ++text) {
    const XCHAR* t = text;
    const char* n = needle;
    while (*n != '\0' && tabrow::LoadUnit(t) == static_cast<XCHAR>(*n)) ++t, ++n;
    if (*n == '\0') return true;
  }
  return false;
}

}  // namespace

const XCHAR* XHttpLinker::GetPostHeader(int32_t staple) {
  return kStapleHeaders[staple >= 1 && staple <= kLastStaple ? staple : 0];
}

int32_t XHttpLinker::GetPostStaple(const XCHAR* content_type) {
  if (content_type == nullptr) return 0;
  for (const Family& family : kFamilies) {
    if (!Contains(content_type, family.marker)) continue;
    bool other_charset = Contains(content_type, "charset") && !Contains(content_type, "utf-8");
    return family.utf8_staple + (other_charset ? 1 : 0);
  }
  return 0;
}

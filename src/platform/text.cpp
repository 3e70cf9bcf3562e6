#include "platform/text.h"

namespace tabrow {

namespace {

const XCHAR kEmpty[1] = {0};

inline const XCHAR* OrEmpty(const XCHAR* text) {
  return text != nullptr ? text : kEmpty;
}

inline XCHAR FoldAscii(XCHAR c) {
  return (c >= u'A' && c <= u'Z') ? XCHAR(c + (u'a' - u'A')) : c;
}

template <typename Fold>
int32_t Compare(const XCHAR* a, const XCHAR* b, Fold fold) {
  a = OrEmpty(a);
  b = OrEmpty(b);
  for (;; ++a, ++b) {
    XCHAR x = fold(LoadUnit(a));
    XCHAR y = fold(LoadUnit(b));
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

}  // namespace

size_t TextLength(const XCHAR* text) {
  if (text == nullptr) return 0;
  size_t length = 0;
  while (LoadUnit(text + length) != 0) ++length;
  return length;
}

XCHAR* TextCopy(XCHAR* target, const XCHAR* source) {
  source = OrEmpty(source);
  for (size_t i = 0;; ++i) {
    XCHAR c = LoadUnit(source + i);
    StoreUnit(target + i, c);
    if (c == 0) return target;
  }
}

XCHAR* TextCopyN(XCHAR* target, const XCHAR* source, int32_t count) {
  if (count <= 0) return target;
  source = OrEmpty(source);
  int32_t i = 0;
  for (; i < count - 1; ++i) {
    XCHAR c = LoadUnit(source + i);
    if (c == 0) break;
    StoreUnit(target + i, c);
  }
  StoreUnit(target + i, 0);
  return target;
}

int32_t TextCompare(const XCHAR* a, const XCHAR* b) {
  return Compare(a, b, [](XCHAR c) { return c; });
}

int32_t TextCompareNoCase(const XCHAR* a, const XCHAR* b) {
  return Compare(a, b, FoldAscii);
}

}  // namespace tabrow

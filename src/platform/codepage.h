// Conversions between UTF-16 and the two 8-bit code pages the system uses: UTF-8 and the
// "ANSI" code page 936 (GBK). Decoding replaces invalid bytes with U+FFFD and goes on (UTF-8:
// one U+FFFD per maximal invalid subpart; overlong forms and encoded surrogates are invalid;
// 936: one per byte that cannot start a character). Encoding writes U+FFFD (UTF-8) or one '?'
// (936) for a lone surrogate or a character 936 lacks, and goes on. The streaming classes
// carry a sequence split across two chunks into the next chunk. Code page 936 goes through
// iconv, one converter per object; where the C library has no 936 module, only ASCII converts.
#ifndef TABROW_PLATFORM_CODEPAGE_H_
#define TABROW_PLATFORM_CODEPAGE_H_

#include <memory>
#include <string>

#include "platform/text.h"
#include "tabrow/base.h"

namespace tabrow {

enum class CodePage { kUtf8, kAnsi };

// Bytes to UTF-16, chunk by chunk.
class TextDecoder {
 public:
  explicit TextDecoder(CodePage page);
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  // Appends the UTF-16 of `bytes` to `out`, holding back an incomplete sequence at the end.
  void Feed(const char* bytes, size_t count, std::u16string* out);
  // Appends U+FFFD for a sequence left incomplete and resets.
  void Finish(std::u16string* out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// UTF-16 to bytes, chunk by chunk.
class TextEncoder {
 public:
  explicit TextEncoder(CodePage page);
  ~TextEncoder();
  TextEncoder(const TextEncoder&) = delete;
  TextEncoder& operator=(const TextEncoder&) = delete;

  // Appends the bytes of `units` to `out`, holding back a high surrogate at the end.
  void Feed(const XCHAR* units, size_t count, std::string* out);
  // Encodes a held-back lone surrogate as a replacement and resets.
  void Finish(std::string* out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Whole-text forms.
std::u16string DecodeText(CodePage page, const char* bytes, size_t count);
std::string EncodeText(CodePage page, const XCHAR* units, size_t count);

inline bool IsHighSurrogate(uint32_t unit) {
  return unit - 0xD800u < 0x400u;
}
inline bool IsLowSurrogate(uint32_t unit) {
  return unit - 0xDC00u < 0x400u;
}

// The character at units[0] of a UTF-16 text with `count` > 0 units: a surrogate pair gives its
// code point and *used 2; a lone surrogate gives U+FFFD and *used 1.
inline char32_t ReadUtf16(const XCHAR* units, size_t count, size_t* used) {
  uint32_t first = LoadUnit(units);
  *used = 1;
  if (first - 0xD800u >= 0x800u) return first;
  if (IsHighSurrogate(first) && count > 1) {
    uint32_t second = LoadUnit(units + 1);
    if (IsLowSurrogate(second)) {
      *used = 2;
      return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    }
  }
  return 0xFFFD;
}

// Returned by ReadUtf8 for a sequence that is valid so far but runs past the end of the bytes.
constexpr char32_t kIncompleteUtf8 = 0xFFFFFFFF;

// The character at bytes[0] of UTF-8 with `count` > 0 bytes, and in *used the bytes it takes.
// An invalid sequence gives U+FFFD and takes its maximal valid prefix (at least one byte), so
// that a NUL or any other byte that cannot continue it is read again as the next character.
// Overlong forms, surrogates and code points above U+10FFFF are invalid.
inline char32_t ReadUtf8(const char* bytes, size_t count, size_t* used) {
  uint32_t lead = static_cast<unsigned char>(bytes[0]);
  *used = 1;
  if (lead < 0x80) return lead;
  size_t needed;
  char32_t c;
  uint32_t low = 0x80, high = 0xBF;  // the range of the next byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    needed = 1;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    needed = 2;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    needed = 3;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0xFFFD;
  }
  for (size_t i = 1; i <= needed; ++i) {
    *used = i;
    if (i == count) return kIncompleteUtf8;
    uint32_t next = static_cast<unsigned char>(bytes[i]);
    if (next < low || next > high) return 0xFFFD;
    c = (c << 6) | (next & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  *used = needed + 1;
  return c;
}

// Writes `c` (at most U+10FFFF, not a surrogate) as one or two UTF-16 units; returns the count.
inline int32_t WriteUtf16(char32_t c, XCHAR* out) {
  if (c < 0x10000) {
    out[0] = XCHAR(c);
    return 1;
  }
  out[0] = XCHAR(0xD800 + ((c - 0x10000) >> 10));
  out[1] = XCHAR(0xDC00 + (c & 0x3FF));
  return 2;
}

// Decodes the NUL-terminated UTF-8 `text` into `buffer` as DecodeText would, writing at most
// capacity - 1 units and a NUL (nothing when capacity <= 0); a surrogate pair that does not fit
// whole is left out. Stops reading once the buffer is full. Returns the units written.
inline int32_t DecodeUtf8Into(const char* text, XCHAR* buffer, int32_t capacity) {
  if (capacity <= 0) return 0;
  const int32_t room = capacity - 1;
  int32_t written = 0;
  while (written < room && *text != 0) {
    if (static_cast<unsigned char>(*text) < 0x80) {
      StoreUnit(buffer + written++, XCHAR(*text++));
      continue;
    }
    // A NUL cannot continue a sequence, so the read stops at the terminator.
    size_t taken;
    char32_t c = ReadUtf8(text, 4, &taken);
    XCHAR units[2];
    int32_t count = WriteUtf16(c, units);
    if (count > room - written) break;
    for (int32_t i = 0; i < count; ++i) StoreUnit(buffer + written++, units[i]);
    text += taken;
  }
  StoreUnit(buffer + written, 0);
  return written;
}

// Writes the UTF-8 form of `c` (a code point that is not a surrogate) into `out`, which has room
// for 4 bytes; returns the number of bytes.
inline int32_t WriteUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = char(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = char(0xC0 | (c >> 6));
    out[1] = char(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = char(0xE0 | (c >> 12));
    out[1] = char(0x80 | ((c >> 6) & 0x3F));
    out[2] = char(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | (c >> 18));
  out[1] = char(0x80 | ((c >> 12) & 0x3F));
  out[2] = char(0x80 | ((c >> 6) & 0x3F));
  out[3] = char(0x80 | (c & 0x3F));
  return 4;
}

}  // namespace tabrow

#endif  // TABROW_PLATFORM_CODEPAGE_H_

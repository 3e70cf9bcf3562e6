// Conversions between UTF-16 and the two 8-bit code pages the system uses: UTF-8 and the
// "ANSI" code page 936 (GBK). Decoding replaces invalid bytes with U+FFFD and goes on; encoding
// writes U+FFFD (UTF-8) or '?' (936) for what cannot be encoded and goes on. The streaming
// classes carry a sequence split across two chunks into the next chunk.
#ifndef TABROW_PLATFORM_CODEPAGE_H_
#define TABROW_PLATFORM_CODEPAGE_H_

#include <memory>
#include <string>

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

}  // namespace tabrow

#endif  // TABROW_PLATFORM_CODEPAGE_H_

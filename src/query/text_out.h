// Appending to a caller's UTF-16 output buffer, which may sit at any address. The caller vouches
// for its size; nothing is checked.
#ifndef TABROW_QUERY_TEXT_OUT_H_
#define TABROW_QUERY_TEXT_OUT_H_

#include <initializer_list>

#include "platform/format.h"
#include "platform/text.h"

namespace tabrow {

class TextOut {
 public:
  explicit TextOut(XCHAR* out) : out_(out) {}

  void Put(XCHAR c) { StoreUnit(out_ + length_++, c); }
  void Repeat(XCHAR c, uint32_t count) {
    for (; count > 0; --count) Put(c);
  }
  // 7-bit text.
  void PutAscii(const char* text) {
    for (; *text != 0; ++text) Put(static_cast<XCHAR>(*text));
  }
  // A text up to its NUL; null writes nothing.
  void PutText(const XCHAR* text) {
    if (text == nullptr) return;
    for (XCHAR c = LoadUnit(text); c != 0; c = LoadUnit(++text)) Put(c);
  }
  void PutText(const XCHAR* text, size_t count) {
    for (size_t i = 0; i < count; ++i) Put(LoadUnit(text + i));
  }
  // One formatted piece (numbers; at most kFormatLimit - 1 units).
  void PutFormat(const char* format, std::initializer_list<FormatArg> args) {
    XCHAR piece[kFormatLimit];
    FormatText(piece, format, args);
    PutText(piece);
  }

  size_t length() const { return length_; }
  XCHAR Get(size_t index) const { return LoadUnit(out_ + index); }
  void Set(size_t index, XCHAR c) { StoreUnit(out_ + index, c); }
  // Forgets everything from `length` on.
  void Truncate(size_t length) { length_ = length; }
  // Writes the NUL after the text (not counted).
  void Terminate() { StoreUnit(out_ + length_, 0); }

 private:
  XCHAR* out_;
  size_t length_ = 0;
};

}  // namespace tabrow

#endif  // TABROW_QUERY_TEXT_OUT_H_

// UTF-8 for the terminal and files, UTF-16 for the library, and how wide text shows on a
// terminal.
#ifndef TABROW_TOOLS_TABROW_TEXT_H_
#define TABROW_TOOLS_TABROW_TEXT_H_

#include <string>

#include "tabrow/base.h"

namespace tabrow::cli {

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. A null text gives "".
std::string ToUtf8(const XCHAR* text);
std::string ToUtf8(const std::u16string& text);
// UTF-8 to UTF-16; each byte that does not start a valid sequence becomes U+FFFD.
std::u16string ToUtf16(const std::string& text);

// Terminal columns a character takes: 2 for East Asian wide and fullwidth characters (CJK
// ideographs, kana, hangul, fullwidth forms, most emoji), 0 for combining marks and
// zero-width characters, 1 for every other printable one.
int DisplayWidth(char32_t c);
// The sum over the characters of a UTF-8 text.
int DisplayWidth(const std::string& utf8);

// The text with every CR LF turned into LF.
std::string UnixLines(const std::string& text);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_TEXT_H_

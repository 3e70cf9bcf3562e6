// Answers in 8-bit text (UTF-8, or code page 936) turned into UTF-16, and back for comparing
// names with a document's texts.
#ifndef TABROW_HTTP_DOC_TEXT_H_
#define TABROW_HTTP_DOC_TEXT_H_

#include <string>

#include "tabrow/archive.h"
#include "tabrow/base.h"

namespace tabrow {

// Rewinds `archive` and reads up to `length` bytes into `buffer`; returns the bytes read.
uint32_t ReadFromStart(IArchive* archive, char* buffer, uint32_t length);

// `length` bytes of text, from UTF-8 when `utf8` is non-zero, else from code page 936, as a new
// NUL-terminated UTF-16 text (malloc'd: XMem_Free gives it back). A NUL byte converts like any
// other. Null when memory runs out.
XCHAR* NewUtf16Text(const char* text, size_t length, int32_t utf8);

// Sets buffer[0] to 0, then converts a NUL-terminated text (null leaves the buffer empty) into
// the buffer, cut to capacity - 1 units and a NUL. Writes nothing when capacity <= 0.
void TextToBuffer(const char* text, int32_t utf8, XCHAR* buffer, int32_t capacity);

// `count` units of UTF-16 as 8-bit text in UTF-8 or code page 936.
std::string TextToBytes(const XCHAR* units, size_t count, int32_t utf8);

}  // namespace tabrow

#endif  // TABROW_HTTP_DOC_TEXT_H_

#include "http/doc_text.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"
#include "tabrow/jsondoc.h"

namespace tabrow {

namespace {

CodePage PageOf(int32_t utf8) {
  return utf8 != 0 ? CodePage::kUtf8 : CodePage::kAnsi;
}

bool IsAscii(const XCHAR* units, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (LoadUnit(units + i) >= 0x80) return false;
  }
  return true;
}

}  // namespace

uint32_t ReadFromStart(IArchive* archive, char* buffer, uint32_t length) {
  archive->SeekToBegin();
  uint32_t done = 0;
  while (done < length) {
    int32_t read = archive->Read(buffer + done, length - done);
    if (read <= 0) break;
    done += static_cast<uint32_t>(read);
  }
  return done;
}

XCHAR* NewUtf16Text(const char* text, size_t length, int32_t utf8) {
  std::u16string units = DecodeText(PageOf(utf8), text, length);
  XCHAR* copy = static_cast<XCHAR*>(std::malloc((units.size() + 1) * sizeof(XCHAR)));
  if (copy != nullptr) std::memcpy(copy, units.c_str(), (units.size() + 1) * sizeof(XCHAR));
  return copy;
}

void TextToBuffer(const char* text, int32_t utf8, XCHAR* buffer, int32_t capacity) {
  if (capacity <= 0) return;
  StoreUnit(buffer, 0);
  if (text == nullptr) return;
  // Every unit takes at least one byte, so 4 x capacity bytes give more units than fit.
  size_t length = strnlen(text, 4 * static_cast<size_t>(capacity));
  std::u16string units = DecodeText(PageOf(utf8), text, length);
  TextCopyN(buffer, units.c_str(), capacity);
}

std::string TextToBytes(const XCHAR* units, size_t count, int32_t utf8) {
  // Both code pages keep ASCII as it is.
  if (IsAscii(units, count)) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(LoadUnit(units + i));
    return bytes;
  }
  return EncodeText(PageOf(utf8), units, count);
}

}  // namespace tabrow

XCHAR* MallocTextDoc(IArchive* archive, int32_t utf8) {
  if (archive == nullptr) return nullptr;
  uint32_t length = 0;
  archive->GetLength(&length);
  if (length == 0) return nullptr;
  std::vector<char> bytes(length);
  uint32_t done = tabrow::ReadFromStart(archive, bytes.data(), length);
  return tabrow::NewUtf16Text(bytes.data(), done, utf8);
}

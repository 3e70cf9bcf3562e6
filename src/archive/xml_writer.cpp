// Writers of 8-bit text and of XML character data. A UTF-16 text is encoded and escaped a
// bounded chunk at a time, so writing a huge text never holds a whole copy of it.
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "tabrow/archive.h"

namespace {

// UTF-16 units encoded per step; the encoder carries a surrogate pair split between steps.
constexpr size_t kChunkUnits = 4096;

// Appends `utf8` to `out` with the three markup characters escaped. Their bytes never occur
// inside a multi-byte UTF-8 sequence, so escaping after encoding is safe. A carriage return,
// and a blank that starts the text, become character references: a reader turns a raw carriage
// return into a line feed and drops character data made of blanks only.
void AppendEscaped(const std::string& utf8, bool start, std::string* out) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r' || (start && i == 0 && (c == ' ' || c == '\t' || c == '\n'))) {
      out->append("&#").append(std::to_string(int(c))).push_back(';');
      continue;
    }
    switch (c) {
      case '&':
        out->append("&amp;");
        break;
      case '<':
        out->append("&lt;");
        break;
      case '>':
        out->append("&gt;");
        break;
      default:
        out->push_back(c);
    }
  }
}

bool WriteEscaped(XMF_Serialize* writer, const std::string& utf8, bool start,
                  std::string* escaped) {
  escaped->clear();
  AppendEscaped(utf8, start, escaped);
  return writer->Write(escaped->data(), static_cast<uint32_t>(escaped->size())) != 0;
}

}  // namespace

int32_t HTM_Write(IArchive* archive, const char* text) {
  if (archive == nullptr) return 0;
  if (text == nullptr) return 1;
  const size_t count = std::strlen(text);
  if (count > UINT32_MAX) return 0;
  return HTM_Write(archive, text, static_cast<uint32_t>(count));
}

int32_t HTM_Write(IArchive* archive, const char* text, uint32_t count) {
  if (archive == nullptr || (text == nullptr && count > 0)) return 0;
  return XMF_Serialize(archive).Write(text, count);
}

int32_t XMT_Text(IArchive* archive, const XCHAR* text) {
  if (archive == nullptr) return 0;
  if (text == nullptr) return 1;
  uint32_t old_length = 0;
  archive->GetLength(&old_length);
  XMF_Serialize writer(archive);
  tabrow::TextEncoder encoder(tabrow::CodePage::kUtf8);
  std::string utf8;
  std::string escaped;
  bool ok = true;
  // Walk the text in chunks without measuring it first: a chunk ends at the NUL or after
  // kChunkUnits units. Units are read through memcpy because the text may sit at an odd address.
  for (bool more = true, start = true; ok && more; start = false) {
    XCHAR chunk[kChunkUnits];
    size_t n = 0;
    while (n < kChunkUnits) {
      std::memcpy(&chunk[n], text + n, sizeof(XCHAR));
      if (chunk[n] == 0) break;
      ++n;
    }
    more = n == kChunkUnits;
    text += n;
    utf8.clear();
    encoder.Feed(chunk, n, &utf8);
    if (!more) encoder.Finish(&utf8);
    ok = WriteEscaped(&writer, utf8, start, &escaped);
  }
  if (ok) return 1;
  archive->SetLength(old_length);
  return 0;
}

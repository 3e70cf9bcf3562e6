// A request body from UTF-16 text, in the code page its post staple names.
#include <string>

#include "platform/codepage.h"
#include "platform/text.h"
#include "tabrow/httpcall.h"

namespace {

constexpr size_t kChunkUnits = 2048;

bool IsUtf8Staple(int32_t staple) {
  return staple == 1 || staple == 3 || staple == 5 || staple == 7;
}

bool Append(IArchive* archive, const std::string& bytes) {
  return bytes.empty() || archive->Append(bytes.data(), static_cast<uint32_t>(bytes.size())) >= 0;
}

}  // namespace

int32_t HttpSetupDoc(IArchive* archive, const XCHAR* text, int32_t staple) {
  if (archive == nullptr) return 0;
  const size_t length = tabrow::TextLength(text);
  tabrow::TextEncoder encoder(IsUtf8Staple(staple) ? tabrow::CodePage::kUtf8
                                                   : tabrow::CodePage::kAnsi);
  std::string bytes;
  for (size_t done = 0; done < length; done += kChunkUnits) {
    bytes.clear();
    encoder.Feed(text + done, length - done < kChunkUnits ? length - done : kChunkUnits, &bytes);
    if (!Append(archive, bytes)) return 0;
  }
  bytes.clear();
  encoder.Finish(&bytes);
  return Append(archive, bytes) ? 1 : 0;
}

// BSTR texts: a 32-bit byte count, the characters, and a NUL, in one heap block; the BSTR points
// just past the count.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "tabrow/variant.h"

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
// The largest character count whose byte count fits the 32-bit prefix.
constexpr size_t kMaxLength = (UINT32_MAX - sizeof(XCHAR)) / sizeof(XCHAR);

unsigned char* BlockOf(BSTR text) {
  return reinterpret_cast<unsigned char*>(text) - kPrefix;
}

}  // namespace

BSTR SysAllocString(const XCHAR* text) {
  if (text == nullptr) return nullptr;
  const size_t length = tabrow::TextLength(text);
  if (length > kMaxLength) return nullptr;
  const size_t bytes = length * sizeof(XCHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(XCHAR)));
  if (block == nullptr) return nullptr;
  const auto count = static_cast<uint32_t>(bytes);
  std::memcpy(block, &count, kPrefix);
  std::memcpy(block + kPrefix, text, bytes);
  std::memset(block + kPrefix + bytes, 0, sizeof(XCHAR));
  return reinterpret_cast<BSTR>(block + kPrefix);
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(BlockOf(text));
}

uint32_t SysStringLen(BSTR text) {
  if (text == nullptr) return 0;
  uint32_t count;
  std::memcpy(&count, BlockOf(text), kPrefix);
  return count / sizeof(XCHAR);
}

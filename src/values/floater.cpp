// Doubles as text: eight decimals with the trailing zeros trimmed, and reading them back.
#include "platform/format.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "tabrow/datetime.h"

double ParseFloater(const XCHAR* text) {
  double value = 0.0;
  if (text == nullptr || !tabrow::ReadDouble(text, &value)) return 0.0;
  return value;
}

int32_t FormatFloater(double value, XCHAR* out) {
  if (out == nullptr) return 0;
  char digits[330];
  int32_t length = tabrow::FormatFixed8(value, digits);
  // Every finite value has a point; "nan", "inf" and "-inf" have none and stay whole.
  if (length >= 10 && digits[length - 9] == '.') {
    while (digits[length - 1] == '0') --length;
    if (digits[length - 1] == '.') ++length;  // keep one zero after a bare point
  }
  for (int32_t i = 0; i < length; ++i) tabrow::StoreUnit(out + i, static_cast<XCHAR>(digits[i]));
  tabrow::StoreUnit(out + length, 0);
  return length;
}

// Date-time and number text with fuzzed masks, token formats and texts. The readers must give 1
// or 0 and leave fields in range; the writers must fit the buffers their contracts ask for; the
// default mask and the default format must read back what they write; calendar arithmetic must
// give a calendar date.
//
// Input: a flag byte (bit 0: null mask, bit 1: null format), a mask or format text, a text to
// read (both UTF-16 up to a NUL unit), then a raw DATETIME, a part, a value and a raw double.
#include <cmath>
#include <cstring>

#include "fuzz_check.h"

namespace {

bool Same(const DATETIME& a, const DATETIME& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckWritten(const std::vector<XCHAR>& out, int32_t length) {
  fuzz::Require(length >= 0 && static_cast<size_t>(length) < out.size(), "the text fits");
  fuzz::Require(out[length] == 0 && fuzz::Length(out.data()) == static_cast<size_t>(length),
                "the result is the text's length");
}

// Writing through a mask takes the mask's length plus 18 units (32 for the default mask).
std::u16string WriteMasked(const DATETIME& t, const XCHAR* mask) {
  std::vector<XCHAR> out(mask == nullptr ? 32 : fuzz::Length(mask) + 18);
  int32_t length = TimeToString(t, mask, out.data());
  CheckWritten(out, length);
  return out.data();
}

// Writing through a format takes 3 x its length + 1 units (32 for the default format).
std::u16string WriteFormatted(const DATETIME& t, const XCHAR* format) {
  std::vector<XCHAR> out(format == nullptr ? 32 : 3 * fuzz::Length(format) + 1);
  int32_t length = TimeToStringEx(t, format, out.data());
  CheckWritten(out, length);
  return out.data();
}

void CheckMask(const XCHAR* mask, const XCHAR* text) {
  DATETIME t;
  int32_t read = StringToTime(text, mask, t);
  fuzz::Require(read == 0 || read == 1, "StringToTime gives 1 or 0");
  if (read == 1)
    fuzz::Require(fuzz::IsCalendarDate(t), "a date read through a mask is a calendar date");
  std::u16string written = WriteMasked(t, mask);
  if (mask != nullptr || read == 0) return;
  DATETIME again;
  fuzz::Require(StringToTime(written.c_str(), nullptr, again) == 1 && Same(again, t),
                "the default mask reads back what it writes");
}

void CheckFormat(const XCHAR* format, const XCHAR* text) {
  DATETIME t;
  int32_t read = StringToTimeEx(text, format, t);
  fuzz::Require(read == 0 || read == 1, "StringToTimeEx gives 1 or 0");
  std::u16string written = WriteFormatted(t, format);
  if (format != nullptr || read == 0) return;
  DATETIME again;
  fuzz::Require(StringToTimeEx(written.c_str(), nullptr, again) == 1 && Same(again, t),
                "the default format reads back what it writes");
}

void CheckArithmetic(DATETIME t, int32_t part, int32_t value, const XCHAR* text) {
  int32_t later = CompareTime(t, text);
  fuzz::Require(later >= -1 && later <= 1, "CompareTime with a text gives -1, 0 or 1");
  DATETIME before = t;
  AddDateTime(&t, part, value);
  fuzz::Require(CompareTime(t, before) == -CompareTime(before, t), "CompareTime is antisymmetric");
  fuzz::Require(t.Reserved == before.Reserved, "arithmetic leaves Reserved alone");
  uint32_t unit = static_cast<uint32_t>(part) % 16;
  if (part < 16 && unit >= XDP_DAY && unit <= XDP_SECOND) {
    fuzz::Require(fuzz::IsCalendarDate(t) && t.Year >= 1601 && t.Year <= 30827,
                  "adding through the calendar gives a calendar date");
  }
}

void CheckNumber(double value) {
  std::vector<XCHAR> out(330);
  int32_t length = FormatFloater(value, out.data());
  CheckWritten(out, length);
  if (!std::isfinite(value)) return;
  double back = ParseFloater(out.data());
  fuzz::Require(std::fabs(back - value) <= 5.1e-9 + 1e-12 * std::fabs(value),
                "a number reads back within its eight decimals");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  uint8_t flags = in.Byte();
  std::u16string pattern = in.Text();
  std::u16string text = in.Text();
  DATETIME raw = in.Value<DATETIME>();
  int32_t part = in.Value<int32_t>();
  int32_t value = in.Value<int32_t>();
  double number = in.Value<double>();

  CheckMask((flags & 1) != 0 ? nullptr : pattern.c_str(), text.c_str());
  CheckFormat((flags & 2) != 0 ? nullptr : pattern.c_str(), text.c_str());
  WriteMasked(raw, pattern.c_str());
  WriteFormatted(raw, pattern.c_str());
  CheckArithmetic(raw, part, value, text.c_str());
  CheckNumber(ParseFloater(text.c_str()));
  CheckNumber(number);
  return 0;
}

// Helpers shared by the fuzz targets: property checks that stop the run, archive contents, and
// UTF-16 texts cut from the fuzzer's bytes.
#ifndef TABROW_FUZZ_FUZZ_CHECK_H_
#define TABROW_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace fuzz {

// Stops the run with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

inline bool OneOf(int32_t value, std::initializer_list<int32_t> allowed) {
  for (int32_t a : allowed) {
    if (value == a) return true;
  }
  return false;
}

inline std::vector<uint8_t> Contents(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  const uint8_t* data = archive->GetData();
  return data == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(data, data + length);
}

// Reads the fuzzer's bytes front to back: whole values, then texts of UTF-16 units.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t left() const { return size_; }

  // The next byte, or 0 once the input is used up.
  uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }

  // The next sizeof(T) bytes as a T (zero-filled past the end).
  template <typename T>
  T Value() {
    T value{};
    size_t count = size_ < sizeof value ? size_ : sizeof value;
    std::memcpy(&value, data_, count);
    data_ += count;
    size_ -= count;
    return value;
  }

  // UTF-16 units up to the next NUL unit (consumed) or the end of the input.
  std::u16string Text() {
    std::u16string text;
    while (size_ >= 2) {
      char16_t unit;
      std::memcpy(&unit, data_, 2);
      data_ += 2;
      size_ -= 2;
      if (unit == 0) break;
      text += unit;
    }
    if (size_ == 1) Byte();
    return text;
  }

  // The rest of the input as raw bytes.
  std::vector<uint8_t> Rest() {
    std::vector<uint8_t> rest(data_, data_ + size_);
    data_ += size_;
    size_ = 0;
    return rest;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

// True for a real date and time of day: month 1 to 12, a day the month has, hour, minute and
// second in range.
inline bool IsCalendarDate(const DATETIME& t) {
  static const int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.Month < 1 || t.Month > 12) return false;
  bool leap = t.Year % 4 == 0 && (t.Year % 100 != 0 || t.Year % 400 == 0);
  int32_t days = kDays[t.Month - 1] + (t.Month == 2 && leap ? 1 : 0);
  return t.Day >= 1 && t.Day <= days && t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 &&
         t.Minute < 60 && t.Second >= 0 && t.Second < 60;
}

// The unit at `index` of a text that may sit at an odd address (grid cells lend such texts).
inline XCHAR UnitAt(const XCHAR* text, size_t index) {
  XCHAR unit;
  std::memcpy(&unit, reinterpret_cast<const uint8_t*>(text) + 2 * index, sizeof unit);
  return unit;
}

// Characters before the NUL.
inline size_t Length(const XCHAR* text) {
  size_t length = 0;
  while (UnitAt(text, length) != 0) ++length;
  return length;
}

// A copy of a text that may sit at an odd address.
inline std::u16string Copy(const XCHAR* text) {
  std::u16string copy(Length(text), u' ');
  std::memcpy(&copy[0], text, 2 * copy.size());
  return copy;
}

}  // namespace fuzz

#endif  // TABROW_FUZZ_FUZZ_CHECK_H_

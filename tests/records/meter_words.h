// Stored forms of meter fields, word by word, for the meter tests.
#ifndef TABROW_TESTS_RECORDS_METER_WORDS_H_
#define TABROW_TESTS_RECORDS_METER_WORDS_H_

#include <cstring>
#include <string>
#include <vector>

#include "tabrow/tabrow.h"

namespace meter_test {

using Words = std::vector<uint16_t>;

inline Words Fixed(uint16_t type, const void* value, size_t size) {
  Words words = {6, type, 0, 0, 0, 0};
  std::memcpy(&words[2], value, size);
  return words;
}
inline Words Int(int32_t v) {
  return Fixed(XDT_LONG, &v, sizeof v);
}
inline Words Dbl(double v) {
  return Fixed(XDT_DOUBLE, &v, sizeof v);
}
inline Words Date(DATETIME v) {
  return Fixed(XDT_DATETIME, &v, sizeof v);
}
inline Words Null() {
  return {2, 0};
}
inline Words Txt(const std::u16string& text) {
  Words words = {static_cast<uint16_t>(text.size() + 3), XDT_STRING};
  words.insert(words.end(), text.begin(), text.end());
  words.push_back(0);
  return words;
}

// The words after a meter's header.
inline Words Fields(const uint16_t* meter) {
  return Words(meter + 2, meter + meter[0]);
}

}  // namespace meter_test

#endif  // TABROW_TESTS_RECORDS_METER_WORDS_H_

// Copying a keyer.
#include <cstring>

#include "records/meter_walk.h"
#include "tabrow/datameter.h"

void CloneDataKeyer(uint16_t* target, const uint16_t* source) {
  if (target == nullptr) return;
  if (source == nullptr) {
    InitDataMeter(target);
    return;
  }
  uint32_t words = tabrow::LoadWord(source, 0);
  if (words < tabrow::kMeterHeaderWords) words = tabrow::kMeterHeaderWords;
  std::memmove(target, source, words * sizeof(uint16_t));
}

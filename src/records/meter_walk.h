// Walking the fields of a data meter. Internal to the meter's sources.
//
// Words are read and written with memcpy, so payloads (32-bit integers, doubles, dates) may sit
// at any even offset and the helpers never rely on the array's alignment.
#ifndef TABROW_RECORDS_METER_WALK_H_
#define TABROW_RECORDS_METER_WALK_H_

#include <cstring>

#include "tabrow/base.h"

namespace tabrow {

constexpr uint32_t kMeterHeaderWords = 2;
constexpr uint32_t kFieldHeaderWords = 2;
constexpr uint32_t kFixedFieldWords = 6;  // integer, double and date-time fields
constexpr uint32_t kMaxMeterWords = 0xFFFF;

inline uint16_t LoadWord(const uint16_t* meter, uint32_t offset) {
  uint16_t word;
  std::memcpy(&word, meter + offset, sizeof word);
  return word;
}

inline void StoreWord(uint16_t* meter, uint32_t offset, uint16_t word) {
  std::memcpy(meter + offset, &word, sizeof word);
}

// Where a field lies: its word offset in the meter, its length and its type.
struct MeterField {
  uint32_t offset;
  uint32_t length;
  uint16_t type;
};

// The field header at `offset`, when a whole field of length 2 or more lies there within word 0.
bool FieldAt(const uint16_t* meter, uint32_t offset, MeterField* field);
// The offset at which field `index` begins, walking over the fields before it; false when a
// field on the way is not a whole field within word 0, or word 0 is below the header.
bool FieldOffset(const uint16_t* meter, uint32_t index, uint32_t* offset);
// Field `index` when 0 <= index < count and it lies whole within word 0.
bool FindField(const uint16_t* meter, int32_t index, MeterField* field);
// True when a field of `length` words fits below the 16-bit limits of word 0 and word 1.
bool CanAppend(const uint16_t* meter, uint32_t length);
// Writes the header of the new field at `offset` and counts it in words 0 and 1.
void CommitField(uint16_t* meter, uint32_t offset, uint32_t length, uint16_t type);
// The number of characters of a text field's payload before its NUL, or before the field's
// end when it holds no NUL.
uint32_t FieldTextLength(const uint16_t* meter, const MeterField& field);

}  // namespace tabrow

#endif  // TABROW_RECORDS_METER_WALK_H_

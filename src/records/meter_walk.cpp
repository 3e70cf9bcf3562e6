// Walking the fields of a data meter by their stored lengths, never past word 0.
#include "records/meter_walk.h"

namespace tabrow {

bool FieldAt(const uint16_t* meter, uint32_t offset, MeterField* field) {
  const uint32_t total = LoadWord(meter, 0);
  if (offset + kFieldHeaderWords > total) return false;
  const uint32_t length = LoadWord(meter, offset);
  if (length < kFieldHeaderWords || offset + length > total) return false;
  field->offset = offset;
  field->length = length;
  field->type = LoadWord(meter, offset + 1);
  return true;
}

bool FieldOffset(const uint16_t* meter, uint32_t index, uint32_t* offset) {
  if (LoadWord(meter, 0) < kMeterHeaderWords) return false;
  uint32_t at = kMeterHeaderWords;
  for (uint32_t i = 0; i < index; ++i) {
    MeterField field;
    if (!FieldAt(meter, at, &field)) return false;
    at += field.length;
  }
  *offset = at;
  return true;
}

bool FindField(const uint16_t* meter, int32_t index, MeterField* field) {
  if (meter == nullptr || index < 0 || index >= LoadWord(meter, 1)) return false;
  uint32_t offset;
  return FieldOffset(meter, static_cast<uint32_t>(index), &offset) && FieldAt(meter, offset, field);
}

bool CanAppend(const uint16_t* meter, uint32_t length) {
  return LoadWord(meter, 1) < kMaxMeterWords && length <= kMaxMeterWords &&
         LoadWord(meter, 0) + length <= kMaxMeterWords;
}

void CommitField(uint16_t* meter, uint32_t offset, uint32_t length, uint16_t type) {
  StoreWord(meter, offset, static_cast<uint16_t>(length));
  StoreWord(meter, offset + 1, type);
  StoreWord(meter, 0, static_cast<uint16_t>(LoadWord(meter, 0) + length));
  StoreWord(meter, 1, static_cast<uint16_t>(LoadWord(meter, 1) + 1));
}

uint32_t FieldTextLength(const uint16_t* meter, const MeterField& field) {
  const uint32_t start = field.offset + kFieldHeaderWords;
  const uint32_t end = field.offset + field.length;
  uint32_t at = start;
  while (at < end && LoadWord(meter, at) != 0) ++at;
  return at - start;
}

}  // namespace tabrow

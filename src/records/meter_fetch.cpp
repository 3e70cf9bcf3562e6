// Reading integer and text fields out of a meter.
#include <cstring>

#include "platform/text.h"
#include "records/meter_walk.h"
#include "tabrow/datameter.h"
#include "tabrow/dataunit.h"

namespace {

using tabrow::MeterField;

// Stores the 32 bits of an integer field at `value` (any address).
bool ReadInteger(const uint16_t* meter, const MeterField& field, void* value) {
  if (value == nullptr || field.length < tabrow::kFixedFieldWords) return false;
  std::memcpy(value, meter + field.offset + tabrow::kFieldHeaderWords, sizeof(uint32_t));
  return true;
}

// Copies a text field into `text`: at most capacity - 1 characters and a NUL.
bool ReadText(const uint16_t* meter, const MeterField& field, XCHAR* text, int32_t capacity) {
  if (text == nullptr) return false;
  if (capacity <= 0) return true;
  uint32_t length = tabrow::FieldTextLength(meter, field);
  if (length > static_cast<uint32_t>(capacity - 1)) length = static_cast<uint32_t>(capacity - 1);
  std::memcpy(text, meter + field.offset + tabrow::kFieldHeaderWords, length * sizeof(XCHAR));
  tabrow::StoreUnit(text + length, 0);
  return true;
}

void ClearText(XCHAR* text, int32_t capacity) {
  if (text != nullptr && capacity > 0) tabrow::StoreUnit(text, 0);
}

}  // namespace

int32_t FetchIntMeter(const uint16_t* meter, int32_t index, uint32_t* value) {
  if (value != nullptr) *value = 0;
  MeterField field;
  if (!tabrow::FindField(meter, index, &field) || field.type != XDT_LONG) return 0;
  return ReadInteger(meter, field, value);
}

int32_t FetchStrMeter(const uint16_t* meter, int32_t index, XCHAR* text, int32_t capacity) {
  ClearText(text, capacity);
  MeterField field;
  if (!tabrow::FindField(meter, index, &field) || field.type != XDT_STRING) return 0;
  return ReadText(meter, field, text, capacity);
}

int32_t FetchKeyMeter(const uint16_t* meter, int32_t index, void* value, uint16_t type,
                      uint16_t capacity) {
  MeterField field;
  if (!tabrow::FindField(meter, index, &field) || field.type != type) return 0;
  if (type == XDT_LONG) return ReadInteger(meter, field, value);
  if (type == XDT_STRING) return ReadText(meter, field, static_cast<XCHAR*>(value), capacity);
  return 0;
}

int32_t FetchKeyMeter(const uint16_t* meter, int32_t index, uint32_t* value, XCHAR* text,
                      int32_t capacity) {
  if (value != nullptr) *value = 0;
  ClearText(text, capacity);
  MeterField field;
  if (!tabrow::FindField(meter, index, &field)) return 0;
  if (field.type == XDT_LONG) return ReadInteger(meter, field, value);
  if (field.type == XDT_STRING) return ReadText(meter, field, text, capacity);
  return 0;
}

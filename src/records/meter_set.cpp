// Appending fields to a meter and replacing the payload of existing ones.
#include <cstring>

#include "platform/text.h"
#include "records/meter_walk.h"
#include "tabrow/datameter.h"
#include "tabrow/dataunit.h"

namespace {

using tabrow::kFieldHeaderWords;
using tabrow::kFixedFieldWords;
using tabrow::LoadWord;
using tabrow::MeterField;
using tabrow::StoreWord;

// The payload of an integer, double or date-time field.
using FixedImage = uint8_t[8];

enum class Target { kNone, kAppend, kReplace };

// Where setting field `index` goes: a new field at the end of the fields (field->offset set) or
// an existing field.
Target Locate(const uint16_t* meter, int32_t index, MeterField* field) {
  if (meter == nullptr || index < 0) return Target::kNone;
  const int32_t count = LoadWord(meter, 1);
  if (index > count) return Target::kNone;
  if (index < count)
    return tabrow::FindField(meter, index, field) ? Target::kReplace : Target::kNone;
  uint32_t offset;
  if (!tabrow::FieldOffset(meter, static_cast<uint32_t>(index), &offset)) return Target::kNone;
  field->offset = offset;
  return Target::kAppend;
}

int32_t SetFixed(uint16_t* meter, int32_t index, uint16_t type, const FixedImage& image) {
  MeterField field;
  switch (Locate(meter, index, &field)) {
    case Target::kAppend:
      if (!tabrow::CanAppend(meter, kFixedFieldWords)) return 0;
      std::memcpy(meter + field.offset + kFieldHeaderWords, image, sizeof image);
      tabrow::CommitField(meter, field.offset, kFixedFieldWords, type);
      return 1;
    case Target::kReplace:
      if (field.type != type || field.length < kFixedFieldWords) return 0;
      std::memcpy(meter + field.offset + kFieldHeaderWords, image, sizeof image);
      return 1;
    case Target::kNone:
      break;
  }
  return 0;
}

// Moves every word after the field up so that the field holds `length` words.
bool GrowField(uint16_t* meter, MeterField* field, uint32_t length) {
  const uint32_t total = LoadWord(meter, 0);
  const uint32_t extra = length - field->length;
  if (total + extra > tabrow::kMaxMeterWords) return false;
  const uint32_t end = field->offset + field->length;
  std::memmove(meter + end + extra, meter + end, (total - end) * sizeof(uint16_t));
  StoreWord(meter, field->offset, static_cast<uint16_t>(length));
  StoreWord(meter, 0, static_cast<uint16_t>(total + extra));
  field->length = length;
  return true;
}

int32_t SetText(uint16_t* meter, int32_t index, const XCHAR* text) {
  if (text == nullptr) return 0;
  const size_t characters = tabrow::TextLength(text) + 1;
  if (characters + kFieldHeaderWords > tabrow::kMaxMeterWords) return 0;
  const auto length = static_cast<uint32_t>(characters + kFieldHeaderWords);
  MeterField field;
  const Target target = Locate(meter, index, &field);
  if (target == Target::kNone) return 0;
  if (target == Target::kAppend && !tabrow::CanAppend(meter, length)) return 0;
  if (target == Target::kReplace) {
    if (field.type != XDT_STRING) return 0;
    if (length > field.length && !GrowField(meter, &field, length)) return 0;
  }
  std::memcpy(meter + field.offset + kFieldHeaderWords, text, characters * sizeof(XCHAR));
  if (target == Target::kAppend) tabrow::CommitField(meter, field.offset, length, XDT_STRING);
  return 1;
}

}  // namespace

int32_t SetNullMeter(uint16_t* meter, int32_t index) {
  MeterField field;
  switch (Locate(meter, index, &field)) {
    case Target::kAppend:
      if (!tabrow::CanAppend(meter, kFieldHeaderWords)) return 0;
      tabrow::CommitField(meter, field.offset, kFieldHeaderWords, 0);
      return 1;
    case Target::kReplace:
      StoreWord(meter, field.offset + 1, 0);
      return 1;
    case Target::kNone:
      break;
  }
  return 0;
}

int32_t SetDataMeter(uint16_t* meter, int32_t index, int32_t value) {
  FixedImage image = {};
  std::memcpy(image, &value, sizeof value);
  return SetFixed(meter, index, XDT_LONG, image);
}

int32_t SetDataMeter(uint16_t* meter, int32_t index, double value) {
  FixedImage image;
  std::memcpy(image, &value, sizeof value);
  return SetFixed(meter, index, XDT_DOUBLE, image);
}

int32_t SetDataMeter(uint16_t* meter, int32_t index, const XCHAR* text) {
  return SetText(meter, index, text);
}

int32_t SetDataMeter(uint16_t* meter, int32_t index, const DATETIME& value) {
  FixedImage image;
  std::memcpy(image, &value, sizeof value);
  return SetFixed(meter, index, XDT_DATETIME, image);
}

int32_t SetDataMeter(uint16_t* meter, int32_t index, uint16_t type, const void* value) {
  if (type == 0) return SetNullMeter(meter, index);
  if (value == nullptr) return 0;
  FixedImage image = {};
  switch (type) {
    case XDT_LONG:
      std::memcpy(image, value, sizeof(int32_t));
      break;
    case XDT_STRING:
      return SetText(meter, index, static_cast<const XCHAR*>(value));
    case XDT_DOUBLE:
    case XDT_DATETIME:
      std::memcpy(image, value, sizeof image);
      break;
    default:
      return 0;
  }
  return SetFixed(meter, index, type, image);
}

// Writing a keyer as text: its fields as literals separated by ", ".
#include <cstring>

#include "platform/format.h"
#include "platform/text.h"
#include "records/meter_walk.h"
#include "tabrow/datameter.h"
#include "tabrow/dataunit.h"

namespace {

using tabrow::kFieldHeaderWords;
using tabrow::MeterField;

// Appends characters to a caller's buffer, which may sit at any address.
class TextSink {
 public:
  explicit TextSink(XCHAR* out) : out_(out) {}
  void Put(XCHAR c) { tabrow::StoreUnit(out_ + length_++, c); }
  void Put(const char* ascii) {
    while (*ascii != 0) Put(static_cast<XCHAR>(*ascii++));
  }
  void Put(const XCHAR* text, int32_t count) {
    for (int32_t i = 0; i < count; ++i) Put(tabrow::LoadUnit(text + i));
  }
  int32_t length() const { return length_; }
  // Ends the text `count` characters earlier and NUL-terminates it.
  void Finish(int32_t drop) {
    length_ -= drop;
    tabrow::StoreUnit(out_ + length_, 0);
  }

 private:
  XCHAR* out_;
  int32_t length_ = 0;
};

// Writes one field's literal; false (nothing written) for a type that has none.
bool PutField(const uint16_t* meter, const MeterField& field, TextSink* sink) {
  const uint16_t* payload = meter + field.offset + kFieldHeaderWords;
  if (field.type == 0) {
    sink->Put("NULL");
    return true;
  }
  if (field.type == XDT_STRING) {
    const uint32_t length = tabrow::FieldTextLength(meter, field);
    sink->Put(u'"');
    for (uint32_t i = 0; i < length; ++i) sink->Put(tabrow::LoadWord(payload, i));
    sink->Put(u'"');
    return true;
  }
  if (field.length < tabrow::kFixedFieldWords) return false;
  XCHAR piece[tabrow::kFixed8Room];
  int32_t length;
  if (field.type == XDT_LONG) {
    int32_t value;
    std::memcpy(&value, payload, sizeof value);
    length = tabrow::FormatText(piece, "%ld", {value});
  } else if (field.type == XDT_DOUBLE) {
    double value;
    std::memcpy(&value, payload, sizeof value);
    length = FormatFloater(value, piece);
  } else if (field.type == XDT_DATETIME) {
    DATETIME time;
    std::memcpy(&time, payload, sizeof time);
    sink->Put("T\"");
    length = TimeToString(time, nullptr, piece);
    piece[length++] = u'"';
  } else {
    return false;
  }
  sink->Put(piece, length);
  return true;
}

}  // namespace

int32_t FormatDataKeyer(const uint16_t* meter, XCHAR* out) {
  if (out == nullptr) return 0;
  TextSink sink(out);
  const int32_t count = GetMeterNumber(meter);
  bool separated = false;
  uint32_t offset = tabrow::kMeterHeaderWords;
  for (int32_t i = 0; i < count; ++i) {
    MeterField field;
    if (!tabrow::FieldAt(meter, offset, &field)) break;
    offset += field.length;
    if (!PutField(meter, field, &sink)) continue;
    sink.Put(", ");
    separated = true;
  }
  sink.Finish(separated ? 2 : 0);
  return sink.length();
}

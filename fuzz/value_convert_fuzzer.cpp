// Value conversions fed by the fuzzer: units read from text, from VARIANT records and from
// XVariable records, then written into every buffer type, converted in place and sent through a
// VARIANT and back. Results must be 1 or 0, a declined conversion must leave the buffer alone,
// texts must fit their capacity, and values must survive their round trips.
//
// Input: a mode byte (text, VARIANT or XVariable), a type byte, a size byte, a flag byte, then
// the mode's data: a UTF-16 text; a type word, 8 value bytes and a text; or a record's words.
#include <cstring>
#include <memory>

#include "fuzz_check.h"

namespace {

constexpr uint16_t kUnitTypes[] = {XDT_LONG,    XDT_STRING, XDT_DOUBLE, XDT_DATETIME,
                                   XDT_ARCHIVE, 0,          XDT_USER,   XDT_ALTSTRING};

bool IsBasic(uint16_t type) {
  return type >= XDT_LONG && type <= XDT_DATETIME;
}

// Two units hold the same basic value.
bool SameValue(const XDataUnit& a, const XDataUnit& b) {
  if ((a.Null & 1) != (b.Null & 1) || a.Type != b.Type) return false;
  if ((a.Null & 1) != 0) return true;
  switch (a.Type) {
    case XDT_LONG:
      return a.Value.Long == b.Value.Long;
    case XDT_STRING:
      return std::u16string(a.Value.Text) == b.Value.Text;
    case XDT_DOUBLE:
      return std::memcmp(&a.Value.Double, &b.Value.Double, 8) == 0;
    default:
      return std::memcmp(&a.Value.Time, &b.Value.Time, 8) == 0;
  }
}

// The dates a VARIANT carries whole: calendar dates of the years 1601 to 30827.
bool IsOleRange(const DATETIME& t) {
  return fuzz::IsCalendarDate(t) && t.Year >= 1601 && t.Year <= 30827 && t.Reserved == 0;
}

// Through a VARIANT and back: integers, texts and doubles unchanged, calendar dates too.
void CheckVariantTrip(const XDataUnit& unit) {
  VARIANT variant;
  std::memset(&variant, 0, sizeof variant);
  int32_t out = DataTransfer(&unit, &variant);
  fuzz::Require(out == 0 || out == 1, "unit to VARIANT gives 1 or 0");
  XDataUnit back;
  SetUnitNull(&back);
  int32_t in = DataTransfer(&variant, &back);
  fuzz::Require(in == 1, "a VARIANT made from a unit converts back");
  bool comparable = out == 1 && (unit.Null & 1) == 0 && IsBasic(unit.Type) &&
                    (unit.Type != XDT_DATETIME || IsOleRange(unit.Value.Time)) &&
                    (unit.Type != XDT_STRING || unit.Value.Text != nullptr);
  if (comparable) fuzz::Require(SameValue(unit, back), "a value survives a VARIANT round trip");
  if (variant.vt == VT_BSTR) SysFreeString(variant.bstrVal);
  ClearUnitData(&back);
}

// Writes the unit into a buffer of every type; a declined write leaves the buffer as it was.
void CheckBuffers(const XDataUnit& unit, uint16_t size) {
  const uint16_t types[] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME, XDT_ALTSTRING, 0};
  for (int db = 0; db < 2; ++db) {
    for (uint16_t type : types) {
      size_t natural = type == XDT_STRING || type == XDT_ALTSTRING ? 2u * size : 16;
      size_t bytes = std::max<size_t>(natural, size);
      std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes]);
      std::memset(buffer.get(), 0xA5, bytes);
      int32_t written = db != 0 ? GetUnitDbBuffer(buffer.get(), type, size, &unit)
                                : GetUnitBuffer(buffer.get(), type, size, &unit);
      fuzz::Require(written == 0 || written == 1, "a buffer write gives 1 or 0");
      bool untouched = true;
      for (size_t i = 0; i < bytes; ++i) untouched = untouched && buffer[i] == 0xA5;
      if (written == 0) fuzz::Require(untouched, "a declined write leaves the buffer alone");
    }
  }
}

void CheckTextForm(const XDataUnit& unit, uint16_t capacity) {
  std::vector<XCHAR> buffer(capacity + 1u, u'\xA5A5');
  uint32_t written = DataTransfer(&unit, buffer.data(), capacity);
  if (capacity == 0) {
    fuzz::Require(written == 0 && buffer[0] == u'\xA5A5', "capacity 0 writes nothing");
    return;
  }
  fuzz::Require(
      written < capacity && buffer[written] == 0 && fuzz::Length(buffer.data()) == written,
      "the text form fits its capacity and the result is its length");
}

// Converts a copy of the unit in place to every basic type.
void CheckInPlace(const XDataUnit& unit, uint16_t size) {
  for (uint16_t type = XDT_LONG; type <= XDT_DATETIME + 1; ++type) {
    XDataUnit copy = unit;
    copy.Owned = nullptr;  // the copy borrows
    std::unique_ptr<XCHAR[]> buffer(new XCHAR[size == 0 ? 1 : size]());
    int32_t result = UnitTransfer(&copy, type, size, buffer.get());
    fuzz::Require(result == 0 || result == 1, "UnitTransfer gives 1 or 0");
    CheckTextForm(copy, 64);
  }
}

void CheckUnit(const XDataUnit& unit, uint16_t size) {
  CheckTextForm(unit, size);
  CheckBuffers(unit, size);
  CheckInPlace(unit, size);
  CheckVariantTrip(unit);
}

void FromText(fuzz::Input& in, uint16_t type, uint16_t size, uint8_t flags) {
  std::u16string text = in.Text();
  XDataUnit unit;
  SetUnitNull(&unit);
  unit.Type = type;
  int32_t read = DataTransfer(text.c_str(), &unit, flags & 1);
  fuzz::Require(read == 0 || read == 1, "text to unit gives 1 or 0");
  if (!IsBasic(type)) fuzz::Require(read == 0, "only the basic types read text");
  if (read == 1 && type != XDT_DOUBLE && text.size() < 255) {
    // Integers, texts and dates read back from their own text form (of up to 255 characters).
    XCHAR form[256];
    DataTransfer(&unit, form, 256);
    XDataUnit again;
    SetUnitNull(&again);
    again.Type = type;
    fuzz::Require(DataTransfer(form, &again, 1) == 1 && SameValue(unit, again),
                  "a value reads back from its text form");
    ClearUnitData(&again);
  }
  CheckUnit(unit, size);
  ClearUnitData(&unit);
}

void FromVariant(fuzz::Input& in, uint16_t size, uint8_t flags) {
  VARIANT variant;
  std::memset(&variant, 0, sizeof variant);
  variant.vt = in.Value<uint16_t>() % 32;
  double value = in.Value<double>();
  std::memcpy(&variant.dblVal, &value, 8);
  std::u16string text = in.Text();
  if (variant.vt == VT_BSTR)
    variant.bstrVal = (flags & 1) != 0 ? nullptr : SysAllocString(text.c_str());
  XDataUnit unit;
  SetUnitNull(&unit);
  int32_t read = DataTransfer(&variant, &unit);
  fuzz::Require(read == 0 || read == 1, "VARIANT to unit gives 1 or 0");
  if (variant.vt > VT_UINT) fuzz::Require(read == 0, "an unknown type word is declined");
  if (read == 1 && (unit.Null & 1) == 0) {
    fuzz::Require(IsBasic(unit.Type), "a VARIANT gives a basic unit");
    if (unit.Type == XDT_DATETIME) {
      fuzz::Require(IsOleRange(unit.Value.Time), "an OLE date gives a calendar date");
    }
  }
  CheckUnit(unit, size);
  if (variant.vt == VT_BSTR) SysFreeString(variant.bstrVal);
  ClearUnitData(&unit);
}

// A record of the Length it names (16 bytes at least), an inline text ending inside it, texts and
// blobs pointed to laid out as the record's contract asks.
void FromVariable(fuzz::Input& in, uint16_t type, uint16_t size, uint8_t flags) {
  const uint16_t data_types[] = {XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME,
                                 XDT_USER, XVAR_NULL,  0,          5};
  uint16_t data_type = data_types[type % 8];
  bool inline_text = (flags & 1) != 0;
  uint16_t length = std::max<uint16_t>(18, in.Value<uint16_t>() % 512 & ~1u);
  std::unique_ptr<uint8_t[]> record(new uint8_t[length]);
  std::vector<uint8_t> body = in.Rest();
  for (size_t i = 0; i < length; ++i) record[i] = body.empty() ? 0 : body[i % body.size()];
  uint16_t kind = inline_text ? XVAR_INLINE : 0;
  std::memcpy(&record[0], &kind, 2);
  std::memcpy(&record[2], &length, 2);
  std::memcpy(&record[6], &data_type, 2);
  std::memset(&record[length - 2], 0, 2);
  std::u16string text;
  for (size_t i = 0; i + 1 < body.size() && (body[i] != 0 || body[i + 1] != 0); i += 2) {
    text += static_cast<XCHAR>(body[i] | body[i + 1] << 8);
  }
  uint32_t blob_length = std::max<uint32_t>(4, static_cast<uint32_t>(body.size()));
  std::unique_ptr<uint8_t[]> blob(new uint8_t[blob_length]());
  std::memcpy(blob.get(), &blob_length, 4);
  const void* pointer = data_type == XDT_USER ? static_cast<const void*>(blob.get()) : text.c_str();
  if ((data_type == XDT_STRING && !inline_text) || data_type == XDT_USER) {
    std::memcpy(&record[8], &pointer, sizeof pointer);
  }
  XDataUnit unit;
  SetUnitNull(&unit);
  int32_t read = DataTransfer(reinterpret_cast<const XVariable*>(record.get()), &unit);
  fuzz::Require(read == (data_type == 0 || data_type == 5 ? 0 : 1), "a record converts by type");
  CheckUnit(unit, size);
  ClearUnitData(&unit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  uint8_t mode = in.Byte() % 3;
  uint8_t type_byte = in.Byte();
  uint16_t unit_size = in.Byte();
  uint8_t flags = in.Byte();
  if (mode == 0) {
    FromText(in, kUnitTypes[type_byte % 8], unit_size, flags);
  } else if (mode == 1) {
    FromVariant(in, unit_size, flags);
  } else {
    FromVariable(in, type_byte, unit_size, flags);
  }
  return 0;
}

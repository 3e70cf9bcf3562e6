// Data meters from the fuzzer's bytes, in two ways. Literal mode (first byte even) parses the text
// that follows with AddDataMeter, literal after literal, and checks the header after each; the
// keyer text of the result must read back to the same keyer text. Raw mode (odd) takes the words
// that follow as a caller's meter, however inconsistent, in an array exactly word 0 long. Both
// then fetch every field, format the keyer and change fields in place.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "fuzz_check.h"

namespace {

uint16_t Word(const uint16_t* meter, size_t at) {
  return meter[at];
}

// Room FormatDataKeyer needs for the fields that lie whole within word 0, with the NUL.
size_t KeyerRoom(const uint16_t* meter) {
  size_t room = 1;
  size_t offset = 2;
  for (int32_t i = 0; i < GetMeterNumber(meter); ++i) {
    if (offset + 2 > Word(meter, 0)) break;
    uint16_t length = Word(meter, offset);
    if (length < 2 || offset + length > Word(meter, 0)) break;
    uint16_t type = Word(meter, offset + 1);
    room += type == XDT_STRING ? length + 4u : type == XDT_LONG ? 13 : type == 3 ? 321 : 36;
    offset += length;
  }
  return room;
}

std::u16string Keyer(const uint16_t* meter) {
  std::vector<XCHAR> out(KeyerRoom(meter));
  int32_t length = FormatDataKeyer(meter, out.data());
  fuzz::Require(length >= 0 && static_cast<size_t>(length) < out.size() && out[length] == 0,
                "a keyer's text fits the room its fields need");
  return std::u16string(out.data(), length);
}

// Fetches the first fields, the last one and the ones just out of range (each lookup walks the
// meter from its start, so every field of a long meter would cost too much).
void FetchAll(const uint16_t* meter, size_t capacity) {
  int32_t count = GetMeterNumber(meter);
  for (int32_t i = -1; i <= count; i = i < 16 ? i + 1 : std::max(i + 1, count - 1)) {
    uint32_t value = 0;
    std::vector<XCHAR> text(capacity + 1);
    int32_t fetched = FetchStrMeter(meter, i, text.data(), static_cast<int32_t>(capacity));
    if (capacity > 0) {
      fuzz::Require(fuzz::Length(text.data()) < capacity, "a fetched text fits its capacity");
    }
    fuzz::Require(fetched == 0 || fetched == 1, "FetchStrMeter gives 1 or 0");
    FetchIntMeter(meter, i, &value);
    FetchKeyMeter(meter, i, &value, text.data(), static_cast<int32_t>(capacity));
    FetchKeyMeter(meter, i, text.data(), XDT_STRING, static_cast<uint16_t>(capacity));
    FetchKeyMeter(meter, i, &value, XDT_LONG, 4);
    GetDataMeter(const_cast<uint16_t*>(meter), static_cast<uint32_t>(i));
  }
}

// Replaces fields in place, nulls one, appends and cuts, in a copy with room for the growth;
// word 0 must stay within the array.
void ChangeFields(const uint16_t* meter, size_t words, uint8_t seed) {
  const XCHAR grown[] = u"a longer text";
  size_t room = words + 64;
  std::unique_ptr<uint16_t[]> copy(new uint16_t[room]);
  std::memcpy(copy.get(), meter, words * 2);
  uint16_t* m = copy.get();
  int32_t count = GetMeterNumber(m);
  int32_t index = count > 0 ? seed % count : 0;
  DATETIME when{2024, 3, 5, 14, 7, 9, 0};
  SetDataMeter(m, index, static_cast<int32_t>(seed));
  SetDataMeter(m, index, 0.5 * seed);
  SetDataMeter(m, index, when);
  SetDataMeter(m, index, grown);
  SetNullMeter(m, (index + 1) % (count + 1));
  fuzz::Require(Word(m, 0) <= room, "a change stays within the room given");
  SetMeterNumber(m, count / 2);
  CloneDataKeyer(m, m);
}

// True when every field's literal in the keyer text reads back as the same literal: no text
// holds a quote or a backslash, doubles are small enough for eight decimals to pin them down, and
// date-time fields are two-digit numbers with a year of at most four digits.
bool ReadsBack(const uint16_t* meter) {
  size_t offset = 2;
  for (int32_t i = 0; i < GetMeterNumber(meter); ++i) {
    uint16_t length = Word(meter, offset);
    uint16_t type = Word(meter, offset + 1);
    const uint16_t* payload = meter + offset + 2;
    if (type == XDT_STRING) {
      for (size_t k = 0; k + 2 < length && payload[k] != 0; ++k) {
        if (payload[k] == u'"' || payload[k] == u'\\') return false;
      }
    } else if (type == XDT_DOUBLE) {
      double value;
      std::memcpy(&value, payload, sizeof value);
      if (!(std::fabs(value) < 1e6)) return false;
    } else if (type == XDT_DATETIME) {
      DATETIME time;
      std::memcpy(&time, payload, sizeof time);
      const int8_t parts[] = {time.Month, time.Day, time.Hour, time.Minute, time.Second};
      if (time.Year > 9999) return false;
      for (int8_t part : parts) {
        if (part < 0 || part > 99) return false;
      }
    }
    offset += length;
  }
  return true;
}

void LiteralMode(fuzz::Input& in) {
  std::u16string text = in.Text();
  size_t words = 2 + 6 * text.size() + 2;
  std::vector<uint16_t> meter(words);
  InitDataMeter(meter.data());
  size_t position = 0;
  while (position < text.size()) {
    uint16_t before[2] = {meter[0], meter[1]};
    int32_t consumed = AddDataMeter(meter.data(), text.c_str() + position);
    fuzz::Require(consumed >= 0 && static_cast<size_t>(consumed) <= text.size() - position,
                  "a literal is read from the text given");
    if (consumed == 0) {
      fuzz::Require(meter[0] == before[0] && meter[1] == before[1], "a failed add changes nothing");
      break;
    }
    fuzz::Require(meter[1] == before[1] + 1, "an add counts one field");
    fuzz::Require(meter[before[0] + 1] <= XDT_DATETIME, "an added field has a literal's type");
    fuzz::Require(meter[0] == before[0] + meter[before[0]], "word 0 grows by the new field");
    position += consumed;
    if (position < text.size() && text[position] == u',') ++position;
  }
  fuzz::Require(meter[0] <= words, "literals fit the room they take");
  FetchAll(meter.data(), text.size() % 7);
  std::u16string keyer = Keyer(meter.data());
  ChangeFields(meter.data(), meter[0], static_cast<uint8_t>(text.size()));
  if (!ReadsBack(meter.data())) return;
  std::vector<uint16_t> reread(2 + 6 * keyer.size() + 2);
  InitDataMeter(reread.data());
  for (size_t at = 0; at < keyer.size();) {
    int32_t consumed = AddDataMeter(reread.data(), keyer.c_str() + at);
    fuzz::Require(consumed > 0, "every literal of a keyer reads back");
    at += consumed;
    if (at < keyer.size() && keyer[at] == u',') ++at;
  }
  fuzz::Require(Keyer(reread.data()) == keyer, "a keyer's text reads back to the same text");
}

void RawMode(fuzz::Input& in) {
  std::vector<uint8_t> bytes = in.Rest();
  uint16_t first = bytes.size() < 2 ? 0 : static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  size_t words = first < 2 ? 2 : first;
  std::unique_ptr<uint16_t[]> meter(new uint16_t[words]());
  if (bytes.size() >= 2)
    std::memcpy(meter.get(), bytes.data(), std::min(bytes.size() / 2, words) * 2);
  GetMeterByteSize(meter.get());
  FetchAll(meter.get(), bytes.size() % 9);
  Keyer(meter.get());
  ChangeFields(meter.get(), words, static_cast<uint8_t>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  if (in.Byte() % 2 == 0) {
    LiteralMode(in);
  } else {
    RawMode(in);
  }
  return 0;
}

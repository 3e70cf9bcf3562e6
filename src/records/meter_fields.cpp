// The meter header: emptying, counting, truncating and finding fields.
#include "records/meter_walk.h"
#include "tabrow/datameter.h"

using tabrow::LoadWord;
using tabrow::StoreWord;

void InitDataMeter(uint16_t* meter) {
  if (meter == nullptr) return;
  StoreWord(meter, 0, static_cast<uint16_t>(tabrow::kMeterHeaderWords));
  StoreWord(meter, 1, 0);
}

int32_t GetMeterNumber(const uint16_t* meter) {
  return meter == nullptr ? 0 : LoadWord(meter, 1);
}

int32_t GetMeterByteSize(const uint16_t* meter) {
  return meter == nullptr ? 0 : LoadWord(meter, 0) * 2;
}

int32_t SetMeterNumber(uint16_t* meter, int32_t count) {
  if (meter == nullptr || count < 0) return 0;
  const int32_t current = LoadWord(meter, 1);
  if (count > current) return 0;
  if (count == current) return 1;
  uint32_t offset;
  if (!tabrow::FieldOffset(meter, static_cast<uint32_t>(count), &offset)) return 0;
  StoreWord(meter, 0, static_cast<uint16_t>(offset));
  StoreWord(meter, 1, static_cast<uint16_t>(count));
  return 1;
}

XDataMeter* GetDataMeter(uint16_t* meter, uint32_t index) {
  if (meter == nullptr || index >= LoadWord(meter, 1)) return nullptr;
  tabrow::MeterField field;
  if (!tabrow::FindField(meter, static_cast<int32_t>(index), &field)) return nullptr;
  return reinterpret_cast<XDataMeter*>(meter + field.offset);
}

// Units from XVariable records. Records may sit at any address, so every field is loaded with
// memcpy from its byte offset.
#include <cstring>

#include "tabrow/convert.h"

namespace {

template <typename T>
T Load(const unsigned char* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

int32_t DataTransfer(const XVariable* variable, XDataUnit* unit) {
  if (variable == nullptr || unit == nullptr) return 0;
  const auto* record = reinterpret_cast<const unsigned char*>(variable);
  const auto kind = Load<uint16_t>(record + offsetof(XVariable, Kind));
  const auto dataType = Load<uint16_t>(record + offsetof(XVariable, DataType));
  const unsigned char* value = record + offsetof(XVariable, Value);
  switch (dataType) {
    case XDT_LONG:
      SetUnitValue(unit, Load<int32_t>(value));
      return 1;
    case XDT_STRING: {
      const XCHAR* text =
          kind == XVAR_INLINE ? reinterpret_cast<const XCHAR*>(value) : Load<const XCHAR*>(value);
      SetUnitValue(unit, text, 1);
      return 1;
    }
    case XDT_DOUBLE:
      SetUnitValue(unit, Load<double>(value));
      return 1;
    case XDT_DATETIME:
      SetUnitValue(unit, Load<DATETIME>(value));
      return 1;
    case XDT_USER:
      SetUserValue(unit, Load<const void*>(value), 1);
      return 1;
    case XVAR_NULL:
      ClearUnitData(unit);
      SetUnitNull(unit);
      return 1;
    default:
      return 0;
  }
}

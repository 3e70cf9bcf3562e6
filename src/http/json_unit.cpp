// A node's value as a data unit, in the wanted type.
#include "http/doc_text.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "tabrow/datetime.h"
#include "tabrow/jsondoc.h"

namespace {

// Strings are converted into buffers of these sizes: texts keep their first 8191 units,
// date-time texts their first 319.
constexpr int32_t kTextRoom = 8192;
constexpr int32_t kTimeRoom = 320;

void SetNull(XDataUnit* unit) {
  ClearUnitData(unit);
  SetUnitNull(unit);
}

int32_t LongToUnit(int32_t value, XDataUnit* unit, uint16_t wanted) {
  XCHAR text[tabrow::kFormatLimit];
  switch (wanted) {
    case 0:
    case XDT_LONG:
      SetUnitValue(unit, value);
      return 1;
    case XDT_STRING:
      tabrow::FormatText(text, "%ld", {value});
      SetUnitValue(unit, text, 1);
      return 1;
    case XDT_DOUBLE:
      SetUnitValue(unit, static_cast<double>(value));
      return 1;
    default:
      return 0;
  }
}

int32_t DoubleToUnit(double value, XDataUnit* unit, uint16_t wanted) {
  XCHAR text[tabrow::kFixed8Room];
  switch (wanted) {
    case 0:
    case XDT_DOUBLE:
      SetUnitValue(unit, value);
      return 1;
    case XDT_LONG:
      SetUnitValue(unit, tabrow::TruncateToInt32(value));
      return 1;
    case XDT_STRING:
      FormatFloater(value, text);
      SetUnitValue(unit, text, 1);
      return 1;
    default:
      return 0;
  }
}

int32_t StringToUnit(const char* value, int32_t utf8, XDataUnit* unit, uint16_t wanted) {
  if (value == nullptr || value[0] == 0) {
    SetNull(unit);
    return 1;
  }
  switch (wanted) {
    case XDT_LONG: {
      int32_t number = 0;
      tabrow::ReadLong(value, &number);
      SetUnitValue(unit, number);
      return 1;
    }
    case XDT_DOUBLE: {
      double number = 0.0;
      tabrow::ReadDouble(value, &number);
      SetUnitValue(unit, number);
      return 1;
    }
    case XDT_DATETIME: {
      XCHAR text[kTimeRoom];
      tabrow::TextToBuffer(value, utf8, text, kTimeRoom);
      DATETIME time{};
      if (StringToTime(text, nullptr, time) != 0) {
        SetUnitValue(unit, time);
      } else {
        ClearUnitData(unit);
        unit->Type = XDT_DATETIME;
      }
      return 1;
    }
    default: {
      XCHAR text[kTextRoom];
      tabrow::TextToBuffer(value, utf8, text, kTextRoom);
      SetUnitValue(unit, text, 1);
      return 1;
    }
  }
}

}  // namespace

int32_t XJsonDoc::NodeToUnit(const XJsonNode* node, int32_t utf8, XDataUnit* unit,
                             uint16_t wanted) {
  if (node == nullptr || unit == nullptr || wanted > XDT_DATETIME) return 0;
  switch (node->Kind) {
    case XDT_LONG:
      return LongToUnit(node->Value.Long, unit, wanted);
    case XDT_DOUBLE:
      return DoubleToUnit(node->Value.Double, unit, wanted);
    case XDT_STRING:
      return StringToUnit(node->Value.Text, utf8, unit, wanted);
    case XJT_NULL:
      ClearUnitData(unit);
      return 1;
    default:
      return 0;
  }
}

// A small host program: typed value cells, dates and numbers as text, and a tagged stream.
#include <tabrow/tabrow.h>

#include <cstdio>
#include <string>

namespace {

// UTF-16 to UTF-8 for the terminal.
std::string ToUtf8(const XCHAR* text) {
  std::string out;
  for (size_t i = 0; text[i] != 0; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void ShowUnit(const char* label, const XDataUnit& unit) {
  XCHAR text[400];
  std::string value;
  if (unit.Null & 1) {
    value = "(null)";
  } else if (unit.Type == XDT_LONG) {
    value = std::to_string(unit.Value.Long);
  } else if (unit.Type == XDT_DOUBLE) {
    FormatFloater(unit.Value.Double, text);
    value = ToUtf8(text);
  } else if (unit.Type == XDT_DATETIME) {
    TimeToString(unit.Value.Time, nullptr, text);
    value = ToUtf8(text);
  } else if (unit.Type == XDT_STRING) {
    value = "\"" + ToUtf8(unit.Value.Text) + "\"";
  }
  std::printf("  %-28s type %-3u %s%s\n", label, unit.Type, value.c_str(),
              unit.Owned != nullptr ? "  (owned)" : "");
}

}  // namespace

int main() {
  std::printf("Data units\n");
  XDataUnit unit;
  SetUnitNull(&unit);
  ShowUnit("fresh unit", unit);
  SetUnitValue(&unit, int32_t{42});
  ShowUnit("integer", unit);
  SetUnitValue(&unit, 2.5);
  ShowUnit("double", unit);
  SetUnitValue(&unit, u"表格 rows", 1);
  ShowUnit("text, copied", unit);
  ClearUnitData(&unit);
  ShowUnit("after ClearUnitData", unit);

  std::printf("\nDates\n");
  DATETIME when;
  StringToTime(u"2024-02-28 23:00:00", nullptr, when);
  XCHAR text[400];
  TimeToString(when, nullptr, text);
  std::printf("  read back                    %s\n", ToUtf8(text).c_str());
  AddDateTime(&when, XDP_DAY, 1);
  TimeToString(when, nullptr, text);
  std::printf("  plus one day                 %s\n", ToUtf8(text).c_str());
  AddDateTime(&when, XDP_MONTH, -13);
  TimeToStringEx(when, u"%d.%M.%y %h:%m %p", text);
  std::printf("  minus 13 months, own format  %s\n", ToUtf8(text).c_str());
  SetUnitValue(&unit, when);
  ShowUnit("as a unit", unit);

  std::printf("\nNumbers\n");
  for (double value : {100.0, 0.1 + 0.2, -0.125, 1e-9}) {
    FormatFloater(value, text);
    std::printf("  %-28.17g %s\n", value, ToUtf8(text).c_str());
  }
  std::printf("  ParseFloater(\"  3.75e2xyz\")   %g\n", ParseFloater(u"  3.75e2xyz"));

  std::printf("\nA tagged stream\n");
  XMemoArchive archive;
  XMF_Serialize writer(&archive);
  writer.WriteHeader(1, XMF_OPEN);
  writer.Write_Proper(2, u"ab");
  writer.WriteHeader(1, XMF_CLOSE);
  uint32_t length = 0;
  archive.GetLength(&length);
  std::printf("  %u bytes:", length);
  for (uint32_t i = 0; i < length; ++i) std::printf(" %02X", archive.GetData()[i]);
  std::printf("\n");
  return 0;
}

#include <cstring>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::FormOf;
using convert_test::Unit;

// Records are laid one after another from an odd address, as response documents hold them, and
// read into one unit in turn.
TEST(VariableTest, EachDataTypeSetsTheUnit) {
  const int32_t integer = -5;
  const double real = 2.5;
  const DATETIME date = Date(2024, 3, 5, 1, 2, 3);
  const XCHAR* pointed = u"pointed";
  const unsigned char blob[6] = {6, 0, 0, 0, 'h', 'i'};
  const void* blobAt = blob;
  const struct {
    uint16_t kind, type;
    const void* value;
    size_t size;
    int32_t result;
    const XCHAR* form;  // null: not a text form
  } records[] = {
      {0, XDT_LONG, &integer, 4, 1, u"-5"},
      {XVAR_INLINE, XDT_STRING, u"inline", 14, 1, u"inline"},
      {0, XDT_STRING, &pointed, 8, 1, u"pointed"},
      {0, XDT_DOUBLE, &real, 8, 1, u"2.5"},
      {0, XDT_DATETIME, &date, 8, 1, u"2024-03-05 01:02:03"},
      {0, XDT_USER, &blobAt, 8, 1, nullptr},
      {0, XDT_ARCHIVE, &integer, 4, 0, nullptr},
      {0, XVAR_NULL, &integer, 4, 1, u""},  // gives the blob copy back
  };
  unsigned char block[128];
  size_t at = 1;
  Unit unit;
  unit->Code = 17;
  for (const auto& r : records) {
    const uint16_t header[4] = {r.kind, uint16_t(8 + r.size), 0, r.type};
    std::memcpy(block + at, header, 8);
    std::memcpy(block + at + 8, r.value, r.size);
    EXPECT_EQ(DataTransfer(reinterpret_cast<const XVariable*>(block + at), &unit.unit), r.result);
    if (r.form != nullptr) {
      EXPECT_EQ(FormOf(&unit.unit), r.form) << r.type;
    }
    at += 8 + r.size;
    if (r.type != XDT_USER && r.type != XDT_ARCHIVE) continue;
    EXPECT_EQ(unit->Type, XDT_USER);
    EXPECT_NE(unit->Value.Pointer, blob);
    EXPECT_EQ(std::memcmp(unit->Value.Pointer, blob, 6), 0);
  }
  EXPECT_EQ(unit->Code, 0u);
}

}  // namespace

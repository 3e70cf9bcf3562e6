#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::Unit;
using Bytes = std::vector<unsigned char>;
using Setter = std::function<void(XDataUnit*)>;

// The bytes of a value; of a text literal, its characters and NUL.
template <typename T>
Bytes BytesOf(const T& value) {
  const auto* p = reinterpret_cast<const unsigned char*>(&value);
  return Bytes(p, p + sizeof value);
}

template <typename T>
Setter Holding(T value) {
  return [value](XDataUnit* u) { SetUnitValue(u, value); };
}
Setter Holding(const XCHAR* text) {
  return [text](XDataUnit* u) { SetUnitValue(u, text, 1); };
}

const DATETIME kWhen = Date(2024, 3, 5, 14, 7, 9);
const DbTimestamp kStamp{2024, 3, 5, 14, 7, 9, 0};

struct BufferCase {
  const char* name;
  Setter set;
  bool database;
  uint16_t type, size;
  int32_t result;
  Bytes written;  // empty: the buffer is left as it was
};

const BufferCase kCases[] = {
    {"NullClears", [](XDataUnit*) {}, false, XDT_DOUBLE, 8, 1, Bytes(8, 0)},
    {"LongToDate", Holding(int32_t{5}), false, XDT_DATETIME, 8, 0, {}},
    {"LeadingNumber", Holding(u"12abc"), false, XDT_LONG, 4, 1, BytesOf(int32_t{12})},
    {"TextToDate", Holding(u"2024-03-05 14:07:09"), false, XDT_DATETIME, 8, 1, BytesOf(kWhen)},
    {"TextCut", Holding(u"hello world"), false, XDT_STRING, 6, 1, BytesOf(u"hello")},
    {"SizeZero", Holding(u"hello"), false, XDT_STRING, 0, 1, {}},
    {"NanToLong", Holding(std::nan("")), false, XDT_LONG, 4, 1, BytesOf(INT32_MIN)},
    {"DateText", Holding(kWhen), false, XDT_STRING, 32, 1, BytesOf(u"2024-03-05%2014:07:09")},
    {"AltTextPlain", Holding(int32_t{9}), false, XDT_ALTSTRING, 4, 0, {}},
    {"DbDate", Holding(kWhen), true, XDT_DATETIME, 16, 1, BytesOf(kStamp)},
    {"DbBadText", Holding(u"junk"), true, XDT_DATETIME, 16, 0, {}},
    {"DbAltText", Holding(kWhen), true, XDT_ALTSTRING, 11, 1, BytesOf(u"2024-03-05")},
};

// GoogleTest names each case by this rather than by its bytes.
void PrintTo(const BufferCase& c, std::ostream* out) {
  *out << c.name;
}

class BufferTest : public ::testing::TestWithParam<BufferCase> {};

// The buffer sits at an odd address in a guard-filled block, so stray or misaligned writes show.
TEST_P(BufferTest, WritesExactlyTheExpectedBytes) {
  const BufferCase& c = GetParam();
  Unit unit;
  c.set(&unit.unit);
  Bytes block(80, 0xAB), expected(80, 0xAB);
  std::copy(c.written.begin(), c.written.end(), expected.begin() + 1);
  EXPECT_EQ(c.database ? GetUnitDbBuffer(&block[1], c.type, c.size, &unit.unit)
                       : GetUnitBuffer(&block[1], c.type, c.size, &unit.unit),
            c.result);
  EXPECT_EQ(block, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, BufferTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

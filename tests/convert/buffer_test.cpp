#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::Unit;
using Bytes = std::vector<unsigned char>;

template <typename T>
Bytes BytesOf(const T& value) {
  Bytes bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

Bytes BytesOf(const char16_t* text) {
  return Bytes(
      reinterpret_cast<const unsigned char*>(text),
      reinterpret_cast<const unsigned char*>(text + std::char_traits<char16_t>::length(text) + 1));
}

const DATETIME kWhen = Date(2024, 3, 5, 14, 7, 9);
const DbTimestamp kStamp{2024, 3, 5, 14, 7, 9, 0};

struct BufferCase {
  const char* name;
  std::function<void(XDataUnit*)> set;
  bool database;
  uint16_t type;
  uint16_t size;
  int32_t result;
  Bytes written;  // empty: the buffer must be left as it was
};

void Long(XDataUnit* u, int32_t v) {
  SetUnitValue(u, v);
}

const BufferCase kCases[] = {
    {"NullClearsSizeBytes", [](XDataUnit*) {}, false, XDT_DOUBLE, 8, 1, Bytes(8, 0)},
    {"LongToLong", [](XDataUnit* u) { Long(u, -42); }, false, XDT_LONG, 4, 1,
     BytesOf(int32_t{-42})},
    {"LongToText", [](XDataUnit* u) { Long(u, -7); }, false, XDT_STRING, 10, 1, BytesOf(u"-7")},
    {"LongToDouble", [](XDataUnit* u) { Long(u, 5); }, false, XDT_DOUBLE, 8, 1, BytesOf(5.0)},
    {"LongToDate", [](XDataUnit* u) { Long(u, 5); }, false, XDT_DATETIME, 8, 0, {}},
    {"TextLeadingNumber", [](XDataUnit* u) { SetUnitValue(u, u"12abc", 1); }, false, XDT_LONG, 4, 1,
     BytesOf(int32_t{12})},
    {"TextNoNumber", [](XDataUnit* u) { SetUnitValue(u, u"abc", 1); }, false, XDT_LONG, 4, 0, {}},
    {"EmptyText", [](XDataUnit* u) { SetUnitValue(u, u"", 1); }, false, XDT_DOUBLE, 8, 0, {}},
    {"TextToDouble", [](XDataUnit* u) { SetUnitValue(u, u" 3.75e1x", 0); }, false, XDT_DOUBLE, 8, 1,
     BytesOf(37.5)},
    {"TextToDate", [](XDataUnit* u) { SetUnitValue(u, u"2024-03-05 14:07:09", 1); }, false,
     XDT_DATETIME, 8, 1, BytesOf(kWhen)},
    {"TextBadDate",
     [](XDataUnit* u) { SetUnitValue(u, u"0000-01-01", 1); },
     false,
     XDT_DATETIME,
     8,
     0,
     {}},
    {"TextCut", [](XDataUnit* u) { SetUnitValue(u, u"hello world", 1); }, false, XDT_STRING, 6, 1,
     BytesOf(u"hello")},
    {"TextSizeZero",
     [](XDataUnit* u) { SetUnitValue(u, u"hello", 1); },
     false,
     XDT_STRING,
     0,
     1,
     {}},
    {"DoubleTruncates", [](XDataUnit* u) { SetUnitValue(u, -2.7); }, false, XDT_LONG, 4, 1,
     BytesOf(int32_t{-2})},
    {"NanToLong", [](XDataUnit* u) { SetUnitValue(u, std::nan("")); }, false, XDT_LONG, 4, 1,
     BytesOf(INT32_MIN)},
    {"DoubleText", [](XDataUnit* u) { SetUnitValue(u, 2.5); }, false, XDT_STRING, 20, 1,
     BytesOf(u"2.5")},
    {"WholeDoubleText", [](XDataUnit* u) { SetUnitValue(u, 3.0); }, false, XDT_STRING, 20, 1,
     BytesOf(u"3.0")},
    {"DoubleToDate", [](XDataUnit* u) { SetUnitValue(u, 3.0); }, false, XDT_DATETIME, 8, 0, {}},
    {"DateText", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, false, XDT_STRING, 32, 1,
     BytesOf(u"2024-03-05%2014:07:09")},
    {"DateTextCut", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, false, XDT_STRING, 11, 1,
     BytesOf(u"2024-03-05")},
    {"DateToDate", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, false, XDT_DATETIME, 8, 1,
     BytesOf(kWhen)},
    {"DateToLong", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, false, XDT_LONG, 4, 0, {}},
    {"AltTextOnlyInDatabase", [](XDataUnit* u) { Long(u, 9); }, false, XDT_ALTSTRING, 4, 0, {}},
    {"BlobToText",
     [](XDataUnit* u) { SetUserValue(u, "\x08\0\0\0abcd", 1); },
     false,
     XDT_STRING,
     20,
     0,
     {}},
    {"DbNullClears", [](XDataUnit*) {}, true, XDT_DATETIME, 16, 1, Bytes(16, 0)},
    {"DbDateStamp", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, true, XDT_DATETIME, 16, 1,
     BytesOf(kStamp)},
    {"DbTextStamp", [](XDataUnit* u) { SetUnitValue(u, u"2024-03-05 14:07:09", 1); }, true,
     XDT_DATETIME, 16, 1, BytesOf(kStamp)},
    {"DbTextBadStamp",
     [](XDataUnit* u) { SetUnitValue(u, u"junk", 1); },
     true,
     XDT_DATETIME,
     16,
     0,
     {}},
    {"DbAltText", [](XDataUnit* u) { Long(u, 9); }, true, XDT_ALTSTRING, 4, 1, BytesOf(u"9")},
    {"DbDateAltText", [](XDataUnit* u) { SetUnitValue(u, kWhen); }, true, XDT_ALTSTRING, 32, 1,
     BytesOf(u"2024-03-05%2014:07:09")},
    {"DbLongToStamp", [](XDataUnit* u) { Long(u, 9); }, true, XDT_DATETIME, 16, 0, {}},
};

class BufferTest : public ::testing::TestWithParam<BufferCase> {};

// The buffer sits at an odd address inside a guard-filled block, so writes past what the case
// expects, and writes through aligned-only access, both show.
TEST_P(BufferTest, WritesExactlyTheExpectedBytes) {
  const BufferCase& c = GetParam();
  Unit unit;
  c.set(unit.get());
  Bytes block(80, 0xAB);
  void* buffer = block.data() + 1;
  const int32_t result = c.database ? GetUnitDbBuffer(buffer, c.type, c.size, unit.get())
                                    : GetUnitBuffer(buffer, c.type, c.size, unit.get());
  EXPECT_EQ(result, c.result);
  Bytes expected(80, 0xAB);
  std::copy(c.written.begin(), c.written.end(), expected.begin() + 1);
  EXPECT_EQ(block, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, BufferTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SetUnitDbBufferTest, ReadsAStampAtAnyAddress) {
  unsigned char block[20] = {};
  const DbTimestamp stamp{1999, 12, 31, 23, 59, 58, 777};
  std::memcpy(block + 3, &stamp, sizeof stamp);
  Unit unit;
  unit->Type = XDT_DATETIME;
  SetUnitDbBuffer(unit.get(), block + 3);
  EXPECT_EQ(unit->Null, 0);
  convert_test::ExpectDate(unit->Value.Time, Date(1999, 12, 31, 23, 59, 58));

  SetUnitValue(unit.get(), u"owned", 1);  // a text the next call must give back
  unit->Type = XDT_STRING;
  SetUnitDbBuffer(unit.get(), u"copied");
  EXPECT_EQ(convert_test::TextOf(unit.get()), u"copied");
  EXPECT_EQ(unit->Owned, unit->Value.Text);
}

}  // namespace

#include <cstring>
#include <vector>

#include "convert/unit_fixtures.h"

namespace {

using convert_test::Date;
using convert_test::ExpectDate;
using convert_test::TextOf;
using convert_test::Unit;

// Records laid one after another in a byte block, the way response documents hold them; the
// block starts at an odd address so that no field is aligned.
class RecordBlock {
 public:
  RecordBlock() : bytes_(1) {}

  // Appends a record and returns its offset.
  size_t Add(uint16_t kind, uint16_t dataType, const void* value, size_t valueSize) {
    const size_t at = bytes_.size();
    const auto length = static_cast<uint16_t>(8 + valueSize);
    const uint16_t header[4] = {kind, length, 0, dataType};
    bytes_.resize(at + length);
    std::memcpy(&bytes_[at], header, sizeof header);
    std::memcpy(&bytes_[at + 8], value, valueSize);
    return at;
  }
  template <typename T>
  size_t Add(uint16_t dataType, const T& value, uint16_t kind = 0) {
    return Add(kind, dataType, &value, sizeof value);
  }
  const XVariable* At(size_t offset) const {
    return reinterpret_cast<const XVariable*>(&bytes_[offset]);
  }

 private:
  std::vector<unsigned char> bytes_;
};

TEST(VariableTest, EachDataTypeSetsTheUnit) {
  const XCHAR* pointed = u"pointed";
  const unsigned char blob[6] = {6, 0, 0, 0, 'h', 'i'};
  const void* blobPointer = blob;
  RecordBlock block;
  const size_t integer = block.Add(XDT_LONG, int32_t{-5});
  const size_t inlined = block.Add(XVAR_INLINE, XDT_STRING, u"inline", 14);
  const size_t text = block.Add(XDT_STRING, pointed);
  const size_t real = block.Add(XDT_DOUBLE, 2.5);
  const size_t date = block.Add(XDT_DATETIME, Date(2024, 3, 5, 1, 2, 3));
  const size_t user = block.Add(XDT_USER, blobPointer);
  const size_t null = block.Add(XVAR_NULL, int32_t{0});
  const size_t unknown = block.Add(XDT_ARCHIVE, int32_t{0});

  Unit unit;
  unit->Code = 17;
  ASSERT_EQ(DataTransfer(block.At(integer), unit.get()), 1);
  EXPECT_EQ(unit->Value.Long, -5);
  ASSERT_EQ(DataTransfer(block.At(inlined), unit.get()), 1);
  EXPECT_EQ(TextOf(unit.get()), u"inline");
  EXPECT_EQ(unit->Owned, unit->Value.Text);
  ASSERT_EQ(DataTransfer(block.At(text), unit.get()), 1);
  EXPECT_EQ(TextOf(unit.get()), u"pointed");
  EXPECT_NE(unit->Value.Text, pointed);
  ASSERT_EQ(DataTransfer(block.At(real), unit.get()), 1);
  EXPECT_EQ(unit->Value.Double, 2.5);
  ASSERT_EQ(DataTransfer(block.At(date), unit.get()), 1);
  ExpectDate(unit->Value.Time, Date(2024, 3, 5, 1, 2, 3));
  ASSERT_EQ(DataTransfer(block.At(user), unit.get()), 1);
  EXPECT_EQ(unit->Type, XDT_USER);
  EXPECT_NE(unit->Value.Pointer, blobPointer);
  EXPECT_EQ(std::memcmp(unit->Value.Pointer, blob, 6), 0);

  EXPECT_EQ(DataTransfer(block.At(unknown), unit.get()), 0);
  EXPECT_EQ(unit->Type, XDT_USER);
  ASSERT_EQ(DataTransfer(block.At(null), unit.get()), 1);  // gives the blob copy back
  EXPECT_EQ(unit->Null, 1);
  EXPECT_EQ(unit->Type, 0);
  EXPECT_EQ(unit->Code, 0u);
}

}  // namespace

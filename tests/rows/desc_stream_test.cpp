// Stored descriptor chains: exact bytes, round trips nesting archives and grids, and streams
// that are malformed or hostile (streams cut short are the descriptor fuzz target's).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "rows/row_util.h"

namespace {

using rows_test::Bytes;
using rows_test::Contents;
using rows_test::Stream;

class DescStreamTest : public ::testing::Test {
 protected:
  ~DescStreamTest() override { Release(); }

  void Release() {
    ReleaseItemDesc(desc_);
    std::free(desc_);
  }
  // A fresh record in place of the loaded chain.
  void Reset() {
    Release();
    desc_ = MallocItemDesc();
  }

  int32_t Load(const Bytes& bytes) {
    XCakeArchive archive;
    archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return SerializeItemDesc(desc_, &archive, 0);
  }

  Bytes Store(XItemDataDesc* desc) {
    XMemoArchive archive;
    EXPECT_NE(SerializeItemDesc(desc, &archive, 1), 0);
    return Contents(&archive);
  }

  // A descriptor record's items 1 to 9 (Extra and word 9 zero, no name).
  static Stream& Fields(Stream& out, uint32_t code, uint16_t type, uint16_t size, uint32_t flags) {
    out.Open(1).WordItem(1, code).WordItem(2, 0).HalfItem(4, type).HalfItem(5, size);
    return out.TextItem(6, u"").WordItem(7, 15).WordItem(8, flags).WordItem(9, 0);
  }

  XItemDataDesc* desc_ = MallocItemDesc();
};

TEST_F(DescStreamTest, ChainOfTwoIsStoredExactly) {
  desc_->Code = 5;
  desc_->Extra = 6;
  desc_->Type = XDT_LONG;  // Size 0 is stored as 4
  std::memcpy(desc_->Name, u"id", 6);
  SetDescValue(desc_, 42);
  XItemDataDesc* second = desc_->Next = MallocItemDesc();
  second->Type = XDT_STRING;
  second->Size = 8;
  second->DescWord9 = 3;
  SetDescValue(second, u"hi");

  Stream expected;
  expected.Open(1).WordItem(1, 5).WordItem(2, 6).HalfItem(4, 1).HalfItem(5, 4).TextItem(6, u"id");
  expected.WordItem(7, 15).WordItem(8, 0x10).WordItem(9, 0).WordItem(257, 42).Close(1);
  expected.Open(1).WordItem(1, 0).WordItem(2, 0).HalfItem(4, 2).HalfItem(5, 8).TextItem(6, u"");
  expected.WordItem(7, 15).WordItem(8, 0x10).WordItem(9, 3).TextItem(257, u"hi").Close(1);
  expected.Close(0);
  EXPECT_EQ(Store(desc_), expected.bytes());

  Reset();
  ASSERT_EQ(Load(expected.bytes()), 1);
  EXPECT_EQ(Store(desc_), expected.bytes());
}

TEST_F(DescStreamTest, NestedValuesRoundTrip) {
  const DATETIME when{1999, 12, 31, 23, 59, 59, 0};
  Stream stream;
  Fields(stream, 1, XDT_ALTSTRING, 6, 0x10).TextItem(18, u"one").TextItem(19, u"two");
  stream.TextItem(257, u"abc").Close(1);
  Fields(stream, 2, XDT_ARCHIVE, 0, 0x11).Header(257, XMF_DATA).Word(3).Raw("xyz", 3).Close(1);
  Fields(stream, 3, 131, 0, 0x10).Append(rows_test::GridRecord({{5, u"five"}, {6, u"six"}}));
  Fields(stream.Close(1), 4, XDT_DATETIME, 8, 0x10).Item(257, &when, 8).Close(1).Close(0);
  const Bytes& bytes = stream.bytes();

  ASSERT_EQ(Load(bytes), 1);
  EXPECT_EQ(Store(desc_), bytes);
}

TEST_F(DescStreamTest, UnknownItemsAreSkippedAndMalformedRecordsRefused) {
  Stream skipped;
  Fields(skipped.WordItem(40, 1), 9, XDT_LONG, 4, 0).WordItem(3, 77).WordItem(300, 78);
  skipped.Open(0x30000).Open(5).Close(5).Close(0x30000).WordItem(257, 8).Close(1).Close(99);
  ASSERT_EQ(Load(skipped.bytes()), 1);
  EXPECT_EQ(desc_->Value.Long, 8);

  std::vector<Stream> refused(4);
  refused[0].Header(1, 0x03030303);
  Fields(refused[1], 1, XDT_LONG, 4, 0).Append(rows_test::GridRecord({}));  // grid in an integer
  Fields(refused[2], 1, XDT_STRING, 3, 0).TextItem(257, u"abc");            // text beyond Size
  Fields(refused[3], 1, XDT_ARCHIVE, 0, 0).Header(257, XMF_DATA).Word(0xFFFFFFF0u);
  for (Stream& stream : refused) {
    Reset();
    EXPECT_EQ(Load(stream.Close(1).Close(0).bytes()), 0);
  }
}

TEST_F(DescStreamTest, ATypeOrSizeReadAfterTheValueDropsIt) {
  Stream retyped;  // plain value bytes must not become a text pointer
  Fields(retyped, 1, 5, 8, 0).Item(257, "AAAAAAAA", 8).HalfItem(4, XDT_STRING).Close(1).Close(0);
  ASSERT_EQ(Load(retyped.bytes()), 1);
  EXPECT_EQ(desc_->Value.Text, nullptr);

  Reset();
  Stream resized;  // a buffer made for Size 4 must not serve Size 100
  Fields(resized, 1, XDT_STRING, 4, 0).TextItem(257, u"abc").HalfItem(5, 100).Close(1).Close(0);
  ASSERT_EQ(Load(resized.bytes()), 1);
  EXPECT_EQ(SetDescValue(desc_, std::u16string(90, u'z').c_str()), 2);
}

}  // namespace

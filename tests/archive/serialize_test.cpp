// The tagged serializer: stored forms byte for byte, round trips, skipping, and damaged streams.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "byte_stream.h"

namespace {

using test_util::Bytes;
using test_util::Contents;
using test_util::PositionOf;

TEST(SerializeForm, ItemsAreStoredByteForByte) {
  XMemoArchive memo;
  XMF_Serialize s(&memo);
  s.WriteHeader(0x20001, XMF_OPEN);
  s.Write_Proper(5, "\x11\x22\x33", 3);
  s.Write_Proper(2, u"ab");
  s.Write_Proper(3, static_cast<const XCHAR*>(nullptr));
  s.Write_Proper(0x1001, u"\u4e2d");
  EXPECT_EQ(Contents(&memo),
            (Bytes{1, 0,    2, 0, 1, 1, 1, 1,                                // open header
                   5, 0,    0, 0, 4, 4, 4, 4, 3, 0, 0, 0, 0x11, 0x22, 0x33,  // data
                   2, 0,    0, 0, 4, 4, 4, 4, 6, 0, 0, 0, 'a',  0,    'b',  0,
                   0, 0,    3, 0, 0, 0, 4, 4, 4, 4, 2, 0, 0,    0,    0,    0,  // null text
                   1, 0x10, 0, 0, 4, 4, 4, 4, 4, 0, 0, 0, 0x2d, 0x4e, 0,    0}));
}

// A record with every kind of item, including nested records that its reader does not know.
Bytes SampleRecord() {
  XMemoArchive memo;
  XMF_Serialize s(&memo);
  const uint32_t number = 0x12345678;
  s.WriteHeader(7, XMF_OPEN);
  s.Write_Proper(1, &number, 4);
  s.Write_Proper(2, u"ab");
  s.WriteHeader(9, XMF_OPEN);
  s.Write_Proper(1, u"inner");
  s.WriteHeader(10, XMF_OPEN);
  s.WriteHeader(10, XMF_CLOSE);
  s.WriteHeader(9, XMF_CLOSE);
  s.Write_Proper(3, u"xyz");
  s.Write_Proper(4, "skip", 4);
  s.WriteHeader(7, XMF_CLOSE);
  return Contents(&memo);
}

// Reads SampleRecord's items as a record reader would; false at the first failure.
bool ReadSample(IArchive* archive) {
  XMF_Serialize s(archive);
  uint32_t id = 0, kind = 0, number = 0, size = 0, length = 0;
  XCHAR text[8];
  XCHAR* owned = nullptr;
  if (!s.ReadHeader(&id, &kind) || id != 7 || kind != XMF_OPEN) return false;
  if (!s.ReadHeader(&id, &kind) || !s.ReadProper(&number, 4, &size)) return false;
  if (number != 0x12345678 || size != 4) return false;
  if (!s.ReadHeader(&id, &kind) || !s.ReadStrBuffer(text, 8, &length)) return false;
  if (length != 3 || std::memcmp(text, u"ab", 6) != 0) return false;
  if (!s.ReadHeader(&id, &kind) || kind != XMF_OPEN || !s.SkipMarker()) return false;
  if (!s.ReadHeader(&id, &kind) || !s.AllocStrBuffer(&owned)) return false;
  const bool same = std::memcmp(owned, u"xyz", 8) == 0;
  XMem_Free(owned);
  if (!same || !s.ReadHeader(&id, &kind) || id != 4 || !s.SkipProper()) return false;
  return s.ReadHeader(&id, &kind) && id == 7 && kind == XMF_CLOSE;
}

TEST(SerializeRead, ReadsBackSkippingNestedRecordsAndFailsAtEveryTruncation) {
  const Bytes record = SampleRecord();
  for (size_t cut = 0; cut <= record.size(); ++cut) {
    // A block of exactly `cut` bytes, so that reading past it is caught by AddressSanitizer.
    const Bytes block(record.begin(), record.begin() + cut);
    XCakeArchive cake;
    cake.SetBuffer(block.data(), static_cast<uint32_t>(cut));
    EXPECT_EQ(ReadSample(&cake), cut == record.size()) << "cut at " << cut;
    if (cut >= 8) {
      cake.Seek(8);
      EXPECT_EQ(XMF_Serialize(&cake).SkipMarker(), cut == record.size()) << "cut at " << cut;
      if (cut < record.size()) {
        EXPECT_EQ(PositionOf(&cake), 8u);
      }
    }
  }
}

TEST(SerializeRead, CountPastTheEndGivesZeroAndMovesNothing) {
  XMemoArchive memo;
  XMF_Serialize s(&memo);
  const uint32_t huge = 0xFFFFFFF0u;
  s.Write(&huge, 4);
  s.Write("tail", 4);
  uint8_t buffer[16] = {};
  uint32_t size = 7;
  XCHAR text[16];
  XCHAR* owned = text;
  EXPECT_EQ(s.ReadProper(buffer, sizeof buffer, &size), 0);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(s.ReadStrBuffer(text, 16, nullptr), 0);
  EXPECT_EQ(s.AllocStrBuffer(&owned), 0);
  EXPECT_EQ(owned, nullptr);
  EXPECT_EQ(s.SkipProper(), 0);
  XMemoArchive document;
  document.Append("keep", 4);
  EXPECT_EQ(s.ReadDoc(&document, 9), 0);
  EXPECT_EQ(Contents(&document), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(PositionOf(&memo), 0u);
  s.WriteHeader(1, 0x08080808);  // a header of an unknown kind
  memo.Seek(8);
  EXPECT_EQ(s.SkipMarker(), 0);
}

// Texts are read and written at odd addresses too.
TEST(SerializeRead, ItemsTooLongForTheBufferAreSkippedLeavingItUntouched) {
  alignas(8) uint8_t source[16] = {}, target[16];
  std::memcpy(source + 1, u"ab\u00e9", 8);
  std::memset(target, '#', 16);
  XCHAR* text = reinterpret_cast<XCHAR*>(target + 1);
  XMemoArchive memo;
  XMF_Serialize s(&memo);
  s.Write_Proper(1, "12345678", 8);
  s.Write_Proper(2, reinterpret_cast<const XCHAR*>(source + 1));
  s.Write_Proper(3, "a\0b\0", 4);  // a text stored without its NUL
  uint32_t id = 0, kind = 0, size = 0, length = 0;
  uint8_t buffer[4] = {9, 9, 9, 9};
  ASSERT_TRUE(s.ReadHeader(&id, &kind));
  EXPECT_EQ(s.ReadProper(buffer, 4, &size), 0);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(buffer[0], 9);
  ASSERT_TRUE(s.ReadHeader(&id, &kind));
  EXPECT_EQ(s.ReadStrBuffer(text, 3, &length), 0);
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(target[1], '#');
  memo.Seek(20);  // item 2 again, into room enough
  ASSERT_TRUE(s.ReadHeader(&id, &kind));
  EXPECT_EQ(s.ReadStrBuffer(text, 4, &length), 1);
  EXPECT_EQ(std::memcmp(target + 1, source + 1, 8), 0);
  ASSERT_TRUE(s.ReadHeader(&id, &kind));
  EXPECT_EQ(s.ReadStrBuffer(text, 3, &length), 1);
  EXPECT_EQ(std::memcmp(text, u"ab", 6), 0);
}

TEST(SerializeDocument, ArchiveContentRoundTripsAsCountedRawBytes) {
  XMemoArchive document;
  document.Append("payload", 7);
  document.Skip(3);
  XMemoArchive memo;
  XMF_Serialize s(&memo);
  const uint32_t count = 7;
  s.Write(&count, 4);
  ASSERT_TRUE(s.WriteDoc(&document));
  EXPECT_EQ(PositionOf(&document), 0u);
  uint32_t stored = 0;
  ASSERT_TRUE(s.Read(&stored, 4));
  XMemoArchive* copy = XMemoArchive::Malloc();
  ASSERT_TRUE(s.ReadDoc(copy, stored));
  EXPECT_EQ(Contents(copy), Contents(&document));
  copy->Release();
  XCakeArchive target;
  EXPECT_EQ(XMF_Serialize(&target).WriteDoc(&document), 0);
}

}  // namespace

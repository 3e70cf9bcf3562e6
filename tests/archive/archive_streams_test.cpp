// The two byte streams: growth, reading, seeking, and copies between them.
#include <gtest/gtest.h>

#include "byte_stream.h"

namespace {

using test_util::Chars;
using test_util::PositionOf;

TEST(MemoArchive, ReadsSkipsSeeksAndCuts) {
  XMemoArchive memo;
  EXPECT_EQ(memo.Append("abcdef", 6), 6);
  char out[8] = {};
  EXPECT_EQ(memo.Read(out, 4), 4);
  EXPECT_EQ(memo.Append("gh", 2), 2);  // appends leave the read position alone
  EXPECT_EQ(memo.Skip(5), 0);
  EXPECT_EQ(memo.Skip(3), 1);
  EXPECT_EQ(memo.Read(out, 8), 1);
  EXPECT_EQ(out[0], 'h');
  EXPECT_EQ(memo.SetLength(3), 1);
  EXPECT_EQ(PositionOf(&memo), 3u);
  memo.SeekToBegin();
  EXPECT_EQ(memo.Read(out, 8), 3);
}

TEST(MemoArchive, AppendsFromItsOwnStorageAndRefusesUnreportableCounts) {
  XMemoArchive memo;
  ASSERT_EQ(memo.Append("0123456789", 10), 10);
  // Doubling forces the storage to move while the source lies inside it.
  for (int i = 0; i < 8; ++i) {
    const int32_t length = static_cast<int32_t>(Chars(&memo).size());
    ASSERT_EQ(memo.Append(memo.GetData(), length), length);
  }
  std::string expected = "0123456789";
  for (int i = 0; i < 8; ++i) expected += expected;
  EXPECT_EQ(Chars(&memo), expected);
  EXPECT_LT(memo.Append("x", 0x80000000u), 0);  // refused before any byte is looked at
  EXPECT_EQ(Chars(&memo), expected);
}

TEST(CakeArchive, ReadsCallerMemoryInPlaceAndRefusesWrites) {
  const char text[] = "xyz";
  XCakeArchive* cake = XCakeArchive::Malloc();
  ASSERT_NE(cake, nullptr);
  cake->SetBuffer(text, 3);
  EXPECT_EQ(cake->GetData(), reinterpret_cast<const uint8_t*>(text));
  XMemoArchive memo;
  EXPECT_LT(cake->Append("a", 1), 0);
  EXPECT_EQ(cake->Reserve(10) + cake->SetLength(1) + cake->CopyFrom(&memo), 0);
  char out[4] = {};
  EXPECT_EQ(cake->Read(out, 4), 3);
  cake->Release();
}

TEST(CopyFrom, CopiesBetweenTheTwoKindsAndFromAViewOverItself) {
  XCakeArchive cake;
  cake.SetBuffer("hello, world", 12);
  XMemoArchive memo;
  memo.Append("old content that is longer", 26);
  memo.Skip(3);
  ASSERT_EQ(memo.CopyFrom(&cake), 1);
  EXPECT_EQ(PositionOf(&memo), 0u);
  EXPECT_EQ(Chars(&memo), "hello, world");
  cake.SetBuffer(memo.GetData() + 2, 8);  // overlaps the bytes it replaces
  ASSERT_EQ(memo.CopyFrom(&cake), 1);
  EXPECT_EQ(Chars(&memo), "llo, wor");
  EXPECT_EQ(memo.CopyFrom(nullptr), 0);
}

}  // namespace

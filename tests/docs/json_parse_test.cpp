// The tolerant grammar: lists, keywords, strings and escapes, numbers, byte order marks, and
// bad input of every kind.
#include <random>

#include "docs/json_fixture.h"

namespace {

using docs_test::JsonTest;

struct Case {
  const char* text;
  int32_t result;
  const char* tree;
};

class JsonGrammar : public JsonTest {
 protected:
  void Expect(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(Load(c.text), c.result) << c.text;
      EXPECT_EQ(Tree(), c.tree) << c.text;
    }
  }
};

TEST_F(JsonGrammar, Lists) {
  Expect({
      {"{\"a\":{\"b\":[1,2]}}", 1, "{a={b=[1,2]}}"},
      {"[1 2,3,]", 1, "[1,2,3]"},  // commas optional, one trailing comma allowed
      {"[]", 1, "[]"},
      {"{}", 1, "{}"},
      {" \t\r\n[\x01\x1f"
       "1\x20]",
       1, "[1]"},  // blanks are the bytes 1 to 32
      {"{\"a\"\n:\n1 , \"b\":[ 2 ]}", 1, "{a=1,b=[2]}"},
      {"{\"a\" \"b\":2}", 1, "{'a',b=2}"},  // a name without a colon is a string
      {"{\"a\":1}{\"b\":2}", 1, "{a=1}"},   // text after the first value is ignored
      {"[ ]", 0, "[?]"},                    // a blank before the bracket reads it as a value
      {"[1, ]", 0, "[1,?]"},
      {"{\"a\":1]", 0, "{a=1,?}"},  // a list ends only at its own bracket
      {"[1,2", 0, "[1,2]"},
      {"{\"a\":", 0, "{a=?}"},
      {"[\x7f]", 0, "[?]"},
      {"{'a':1}", 0, "{'a',?}"},  // a member name takes double quotes only
      {"]", 0, "?"},
      {"", 1, "(none)"},
  });
}

TEST_F(JsonGrammar, Keywords) {
  Expect({
      {"[null,Null,NULL,nUlL]", 1, "[null,null,null,null]"},
      {"[true,TRUE,false,False]", 1, "[1,1,0,0]"},
      {"nullx", 1, "null"},  // only the keyword's own bytes are compared
      {"[nullx]", 0, "[null,?]"},
      {"[truefalse]", 1, "[1,0]"},
      {"nul", 0, "?"},
      {"_x", 0, "?"},
      {"yes", 0, "?"},
  });
}

TEST_F(JsonGrammar, Numbers) {
  Expect({
      {"[2147483647,2147483648,-2147483647,-2147483648]", 1,
       "[2147483647,2147483648d,-2147483647,-2147483648d]"},
      {"[0xFF,0Xff,0x7FFFFFFF,0xffffffff,0x]", 1, "[255,255,2147483647,4294967295d,0]"},
      {"[1.,1.5,-0.25,- 5,-,0]", 1, "[1d,1.5d,-0.25d,-5,0,0]"},
      {"[007,-0x10]", 0, "[7,0,?]"},  // no sign before a hexadecimal number
      {"1e5", 1, "1"},                // no exponent: the rest is left over
      {"[1e5]", 0, "[1,?]"},
      {"[1.5.5]", 0, "[1.5d,?]"},
      {"18446744073709551617", 1, "1"},  // 2^64 + 1 wraps to 1
      {"9223372036854775808", 1, "0"},   // wraps to -2^63, whose low 32 bits are 0
      {"0x10000000000000001", 1, "1"},
      {"0xFFFFFFFFFFFFFFFF", 1, "1.8446744073709552e+19d"},
  });
}

TEST_F(JsonGrammar, FractionDigitsAddTenthsOneByOne) {
  // Each fraction digit adds digit x weight, the weight starting at 0.1 and scaled by 0.1.
  ASSERT_EQ(Load("[1.23,0.3,-12.875]"), 1);
  const XJsonNode* element = doc_.GetRoot()->Child;
  EXPECT_EQ(element->Value.Double, 1.0 + 2 * 0.1 + 3 * (0.1 * 0.1));
  EXPECT_EQ(element->Next->Value.Double, 3 * 0.1);
  EXPECT_EQ(element->Next->Next->Value.Double,
            -(12.0 + 8 * 0.1 + 7 * 0.01 + 5 * (0.1 * 0.1 * 0.1)));
}

TEST_F(JsonGrammar, Strings) {
  Expect({
      {"[\"a b\",'c d']", 1, "['a b','c d']"},
      {"'it\\'s \"so\"'", 1, "'it's \"so\"'"},
      {"\"\\u0041\\b\\f\\/\\q\"", 1, "'\\u0041\\b\\f\\/\\q'"},  // not escapes: kept whole
      {"\"abc", 0, "?"},
      {"\"abc\\\"", 0, "?"},
      {"\"abc\\", 0, "?"},
      {"'abc\"", 0, "?"},
  });
}

TEST_F(JsonGrammar, EscapesAreUnescapedInPlace) {
  struct Escape {
    const char* text;
    std::string bytes;
  } escapes[] = {
      {R"("\"\'\\")", "\"'\\"},
      {R"("\r\n\t")", "\r\n\t"},
      {R"("\x41\x4a\x4Ag\x4g")", "AJJg\x04g"},
      {R"("\xZ")", std::string("\0Z", 2)},  // no digits: 0
      {R"("\101\60\8\18")", "A0\x08\x10"},
      {R"("\777\888\1234")", "\xff\x48S4"},  // modulo 256; three digits at most
      {R"("\9x")", std::string("\0"
                               "9x",
                               3)},  // a 9 ends the escape before it starts
      {R"("\400")", std::string("\0", 1)},
  };
  for (const Escape& e : escapes) {
    ASSERT_EQ(Load(e.text), 1) << e.text;
    const char* value = doc_.GetRoot()->Value.Text;
    EXPECT_EQ(std::string(value, e.bytes.size()), e.bytes) << e.text;
    EXPECT_EQ(value[e.bytes.size()], 0) << e.text;
    EXPECT_TRUE(value > block_.get() && value < block_.get() + std::strlen(e.text)) << e.text;
  }
}

TEST_F(JsonGrammar, TextEndsAtFirstNulOrLength) {
  EXPECT_EQ(Load(std::string("[1]\0[", 5)), 1);
  EXPECT_EQ(Load(std::string("[1\0]", 4)), 0);
  EXPECT_EQ(Load(std::string("\0[1]", 4)), 1);  // empty
  EXPECT_EQ(doc_.GetRoot(), nullptr);
  char text[] = "[1,2]";
  EXPECT_EQ(doc_.LoadText(1, text, 4), 0);
  EXPECT_EQ(doc_.LoadText(1, text, 5), 1);
}

TEST_F(JsonGrammar, ByteOrderMarksMakeTheDocumentUtf8) {
  const std::string utf8 = "{\"\xe5\x90\x8d\":\"\xe5\x80\xbc\"}";  // {"名":"值"}
  const std::u16string utf16 = u"{\"名\":\"值\"}";
  std::string marked16 = "\xff\xfe";
  marked16.append(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  for (const std::string& text :
       {"\xef\xbb\xbf" + utf8, marked16, marked16 + std::string(2, '\0') + "xy"}) {
    ASSERT_EQ(Load(text, 0), 1);
    EXPECT_EQ(doc_.IsUtf8(), 1);
    EXPECT_EQ(Tree(), "{\xe5\x90\x8d=\'\xe5\x80\xbc\'}");
    EXPECT_NE(Find(u"名"), nullptr);
  }
  EXPECT_EQ(Load(utf8, 0), 1);
  EXPECT_EQ(doc_.IsUtf8(), 0);
  EXPECT_EQ(Load("\xef\xbb\xbf", 0), 0);  // a mark alone
  EXPECT_EQ(Load("\xff\xfe", 0), 0);
  EXPECT_EQ(Load("\xff\xfe[", 0), 0);  // an odd byte after the mark is dropped
}

TEST_F(JsonGrammar, NestingIsLimited) {
  const std::string deep1000 = std::string(1000, '[') + std::string(1000, ']');
  EXPECT_EQ(Load(deep1000), 1);
  EXPECT_EQ(Load("[" + deep1000 + "]"), 0);
  EXPECT_EQ(Load(std::string(200000, '[')), 0);
  EXPECT_EQ(Load(std::string(200000, '{')), 0);
}

TEST_F(JsonGrammar, ReloadingReplacesTheTree) {
  ASSERT_EQ(Load("[1,2,3]"), 1);
  XMemoArchive memo;
  memo.Append("{\"k\":'v'}", 9);
  EXPECT_EQ(doc_.LoadArchive(1, &memo), 1);
  EXPECT_EQ(Tree(), "{k='v'}");
  XMemoArchive empty;
  EXPECT_EQ(doc_.LoadArchive(1, &empty), 1);
  EXPECT_EQ(doc_.GetRoot(), nullptr);
  EXPECT_EQ(doc_.LoadArchive(1, nullptr), 0);
}

TEST_F(JsonGrammar, EveryProperPrefixOfADocumentFails) {
  const std::string text =
      "{\"id\":12,\"name\":'x\\ty',\"tags\":[true,null,-1.5,0x1F],\"sub\":{\"a\":[[],{}]}}";
  for (size_t length = 1; length < text.size(); ++length) {
    EXPECT_EQ(Load(text.substr(0, length)), 0) << length;
  }
  EXPECT_EQ(Load(text), 1);
}

TEST_F(JsonGrammar, ArbitraryBytesNeverCrash) {
  // Bytes drawn mostly from the grammar's own characters, so that parses go deep before failing.
  const std::string alphabet = "{}[]\"',:\\-0x1.9aAfFnNuUlLtTrReE_ \t\x01\x80\xff";
  std::mt19937 random(2024);
  int32_t loaded = 0;
  for (int32_t round = 0; round < 3000; ++round) {
    std::string text(random() % 64, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    int32_t result = Load(text);
    ASSERT_TRUE(result == 0 || result == 1);
    loaded += result;
    if (result == 1 && !text.empty() && text[0] != 0) {
      ASSERT_NE(doc_.GetRoot(), nullptr);
    }
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace

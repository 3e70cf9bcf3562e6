// The tolerant grammar, byte order marks, text ends and nesting. Truncated and arbitrary input
// is the JSON fuzz target's.
#include "docs/doc_fixture.h"

namespace {

using docs_test::JsonTest;
using JsonGrammar = JsonTest;

TEST_F(JsonGrammar, TreesOfEveryConstruct) {
  struct {
    const char* text;
    int32_t result;
    const char* tree;
  } cases[] = {
      {"{\"a\":{\"b\":[1,2]}}", 1, "{a={b=[1,2]}}"},
      {"[1 2,3,]", 1, "[1,2,3]"},  // commas optional, one trailing comma allowed
      {" \t\r\n[\x01\x1f"
       "1\x20]",
       1, "[1]"},                           // blanks are the bytes 1 to 32
      {"{\"a\" \"b\":2}", 1, "{'a',b=2}"},  // a name without a colon is a string
      {"[ ]", 0, "[?]"},                    // the blank makes ']' be read as a value
      {"{\"a\":1]", 0, "{a=1,?}"},          // a list ends only at its own bracket
      {"{'a':1}", 0, "{'a',?}"},            // a member name takes double quotes only
      {"", 1, "(none)"},
      {"[null,Null,NULL,true,TRUE,false,False]", 1, "[null,null,null,1,1,0,0]"},
      {"[nullx]", 0, "[null,?]"},
      {"[2147483647,2147483648,-2147483647,-2147483648]", 1,
       "[2147483647,2147483648d,-2147483647,-2147483648d]"},
      {"[0xFF,0Xff,0x7FFFFFFF,0xffffffff,0x]", 1, "[255,255,2147483647,4294967295d,0]"},
      {"[1.,1.5,-0.25,- 5,-,007]", 1, "[1d,1.5d,-0.25d,-5,0,7]"},
      {"[1e5]", 0, "[1,?]"},                                       // nor an exponent
      {"[18446744073709551617,9223372036854775808]", 1, "[1,0]"},  // 64-bit wrap-around
      {"[0x10000000000000001,0xFFFFFFFFFFFFFFFF]", 1, "[1,1.8446744073709552e+19d]"},
      {"[\"a b\",'c d','it\\'s \"so\"']", 1, "['a b','c d','it's \"so\"']"},
      {"\"\\u0041\\b\\f\\/\\q\"", 1, "'\\u0041\\b\\f\\/\\q'"},  // not escapes: kept whole
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Load(c.text), c.result) << c.text;
    EXPECT_EQ(Tree(), c.tree) << c.text;
  }
}

TEST_F(JsonGrammar, EscapesAreUnescapedInPlace) {
  struct {
    const char* text;
    std::string bytes;
  } escapes[] = {
      {R"("\"\'\\\r\n\t")", "\"'\\\r\n\t"},
      {R"("\101\60\8\18")", "A0\x08\x10"},   // octal digits run from 0 to 8
      {R"("\777\888\1234")", "\xff\x48S4"},  // modulo 256; three digits at most
      {R"("\9x")", std::string("\0"
                               "9x",
                               3)},  // a 9 ends the escape before it starts
  };
  for (const auto& e : escapes) {
    ASSERT_EQ(Load(e.text), 1) << e.text;
    const char* value = doc_.GetRoot()->Value.Text;
    EXPECT_EQ(std::string(value, e.bytes.size() + 1), e.bytes + '\0') << e.text;
    EXPECT_EQ(value, block_.get() + 1) << e.text;
  }
}

TEST_F(JsonGrammar, TextEndsAtItsFirstNulOrLength) {
  EXPECT_EQ(Load(std::string("[1]\0[", 5)), 1);
  EXPECT_EQ(Load(std::string("[1\0]", 4)), 0);
  EXPECT_EQ(Load(std::string("\0[1]", 4)), 1);
  EXPECT_EQ(doc_.GetRoot(), nullptr);
  char text[] = "[1,2]";
  EXPECT_EQ(doc_.LoadText(1, text, 4), 0);
}

TEST_F(JsonGrammar, ByteOrderMarksMakeTheDocumentUtf8) {
  const std::string utf8 = "{\"\xe5\x90\x8d\":1}";  // {"名":1}
  const std::u16string utf16 = u"\uFEFF{\"名\":1}";
  const std::string marked16(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  for (const std::string& text :
       {"\xef\xbb\xbf" + utf8, marked16, marked16 + std::string(2, '\0') + "xy"}) {
    ASSERT_EQ(Load(text, 0), 1);
    EXPECT_EQ(doc_.IsUtf8(), 1);
    EXPECT_EQ(Tree(), "{\xe5\x90\x8d=1}");
  }
  for (const char* markOnly : {"\xef\xbb\xbf", "\xff\xfe", "\xff\xfe["})
    EXPECT_EQ(Load(markOnly), 0);
}

TEST_F(JsonGrammar, NestingIsLimited) {
  const std::string deep1000 = std::string(1000, '[') + std::string(1000, ']');
  EXPECT_EQ(Load(deep1000), 1);
  EXPECT_EQ(Load("[" + deep1000 + "]"), 0);
  EXPECT_EQ(Load(std::string(200000, '{')), 0);
}

}  // namespace

// Paths, node values as data units, deep copies and text conversion.
#include "docs/doc_fixture.h"
#include "tabrow/datetime.h"

namespace {

using docs_test::JsonTest;

std::u16string Widen(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// A unit as "type:value", "null:type" when it holds nothing.
std::u16string Show(const XDataUnit& unit) {
  if (unit.Null & 1) return u"null:" + Widen(std::to_string(unit.Type));
  switch (unit.Type) {
    case XDT_LONG:
      return u"L:" + Widen(std::to_string(unit.Value.Long));
    case XDT_DOUBLE: {
      std::ostringstream out;
      out << unit.Value.Double;
      return u"D:" + Widen(out.str());
    }
    case XDT_STRING:
      return u"S:" + std::u16string(unit.Value.Text);
    case XDT_DATETIME: {
      XCHAR text[32];
      TimeToString(unit.Value.Time, nullptr, text);
      return u"T:" + std::u16string(text);
    }
  }
  return u"?";
}

TEST_F(JsonTest, PathsFindMembersByName) {
  ASSERT_EQ(
      Load("{\"a\":{\"b\":[1,2],\"b2\":3},\"A\":4,\"a\":5,\"" + std::string(319, 'n') + "\":6}"),
      1);
  struct {
    const char16_t* path;
    const char* found;
  } cases[] = {
      {u"a/b/", "b=[1,2]"}, {u"A", "A=4"},         {u"a/c", "(none)"},
      {u"a//b", "(none)"},  {u"a/b2/x", "(none)"},
  };
  for (const auto& c : cases) EXPECT_EQ(docs_test::Render(Find(c.path)), c.found);
  EXPECT_EQ(Find(u""), doc_.GetRoot());
  EXPECT_EQ(docs_test::Render(Find(std::u16string(400, u'n').c_str())).back(), '6');  // 319 units
  EXPECT_EQ(Find(std::u16string(318, u'n').c_str()), nullptr);
}

TEST_F(JsonTest, NodesBecomeUnits) {
  ASSERT_EQ(Load("{\"l\":-42,\"d\":-2.75,\"s\":\" 12.5abc\",\"e\":\"\",\"t\":'2024-03-05 14:07:09',"
                 "\"x\":'abc',\"n\":null,\"o\":{},\"a\":[],\"h\":\"\xe4\xb8\xad\"}"),
            1);
  struct {
    const char16_t* name;
    uint16_t wanted;
    int32_t result;
    const char16_t* unit;  // "S:owned" when left alone
  } cases[] = {
      {u"l", 0, 1, u"L:-42"},          {u"d", 0, 1, u"D:-2.75"},
      {u"d", 1, 1, u"L:-2"},           {u"d", 4, 0, u"S:owned"},
      {u"s", 0, 1, u"S: 12.5abc"},     {u"s", 1, 1, u"L:12"},
      {u"h", 2, 1, u"S:中"},           {u"t", 4, 1, u"T:2024-03-05 14:07:09"},
      {u"x", 4, 1, u"null:4"},                                   // not a date-time text
      {u"e", 0, 1, u"null:0"},         {u"n", 3, 1, u"null:2"},  // null clears the data only
      {u"l", XDT_USER, 0, u"S:owned"},
  };
  for (const auto& c : cases) {
    XDataUnit unit;
    SetUnitNull(&unit);
    SetUnitValue(&unit, u"owned", 1);  // released, never leaked, by every conversion
    const int32_t result = XJsonDoc::NodeToUnit(Find(c.name), 1, &unit, c.wanted);
    EXPECT_EQ(result, c.result) << c.wanted;
    EXPECT_EQ(Show(unit), c.unit) << c.wanted;
    ClearUnitData(&unit);
  }
}

TEST_F(JsonTest, UnitTextsAreCutAndConvertedFromTheCodePage) {
  ASSERT_EQ(Load("[\"" + std::string(10000, 'z') + "\",'\xd6\xd0\xce\xc4']", 0), 1);
  XDataUnit unit;
  SetUnitNull(&unit);
  ASSERT_EQ(XJsonDoc::NodeToUnit(doc_.GetRoot()->Child, 0, &unit, XDT_STRING), 1);
  EXPECT_EQ(Show(unit), u"S:" + std::u16string(8191, u'z'));
  ASSERT_EQ(XJsonDoc::NodeToUnit(doc_.GetRoot()->Child->Next, 0, &unit, 0), 1);
  EXPECT_EQ(Show(unit), u"S:中文");
  ClearUnitData(&unit);
}

TEST(MallocTextDoc, ConvertsTheWholeArchive) {
  XMemoArchive memo;
  EXPECT_EQ(MallocTextDoc(&memo, 1), nullptr);
  memo.Append("\xef\xbb\xbf\xe4\xb8\xad\x00z", 8);
  memo.Skip(4);
  XCHAR* text = MallocTextDoc(&memo, 1);
  EXPECT_EQ(std::u16string(text, 5), std::u16string(u"\uFEFF中\0z", 5));  // mark kept, NUL too
  XMem_Free(text);
  XMemoArchive ansi;
  ansi.Append("\xd6\xd0-\xff", 4);
  text = MallocTextDoc(&ansi, 0);
  EXPECT_EQ(std::u16string(text), u"中-\uFFFD");
  XMem_Free(text);
}

}  // namespace

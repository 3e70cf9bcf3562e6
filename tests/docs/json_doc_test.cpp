// Paths, node values as data units, deep copies, text conversion, and the standard documents.
#include <map>

#include "docs/json_fixture.h"
#include "tabrow/datetime.h"

namespace {

using docs_test::JsonTest;

class JsonPath : public JsonTest {};

TEST_F(JsonPath, FindsMembersByName) {
  ASSERT_EQ(Load("{\"a\":{\"b\":[1,2],\"b2\":3},\"A\":4,\"a\":5}"), 1);
  struct {
    const char16_t* path;
    const char* found;
  } cases[] = {
      {u"a/b", "b=[1,2]"}, {u"a/b/", "b=[1,2]"}, {u"a", "a={b=[1,2],b2=3}"},
      {u"A", "A=4"},       {u"a/c", "(none)"},   {u"a//b", "(none)"},
      {u"/a", "(none)"},   {u"a/b/x", "(none)"}, {u"a/b2/x", "(none)"},
  };
  for (const auto& c : cases) EXPECT_EQ(docs_test::Render(Find(c.path)), c.found);
  EXPECT_EQ(Find(u""), doc_.GetRoot());
  EXPECT_EQ(Find(nullptr), doc_.GetRoot());
  EXPECT_EQ(XJsonDoc::FindNode(nullptr, 1, u""), nullptr);
  EXPECT_EQ(XJsonDoc::FindNode(nullptr, 1, u"a"), nullptr);
}

TEST_F(JsonPath, LongNamesAreCutTo319Units) {
  const std::string name(319, 'n');
  ASSERT_EQ(Load("{\"" + name + "\":1}"), 1);
  EXPECT_NE(Find(std::u16string(319, u'n').c_str()), nullptr);
  EXPECT_NE(Find(std::u16string(400, u'n').c_str()), nullptr);
  EXPECT_EQ(Find(std::u16string(318, u'n').c_str()), nullptr);
}

TEST_F(JsonPath, NamesCompareInTheDocumentsCodePage) {
  const std::string utf8Doc = "{\"\xe4\xb8\xad\":1}";  // {"中":1} in UTF-8
  const std::string ansiDoc = "{\"\xd6\xd0\":1}";      // the same in code page 936
  ASSERT_EQ(Load(utf8Doc, 1), 1);
  EXPECT_NE(Find(u"中"), nullptr);
  ASSERT_EQ(Load(ansiDoc, 0), 1);
  EXPECT_NE(Find(u"中"), nullptr);
  ASSERT_EQ(Load(utf8Doc, 0), 1);  // the flag does not match the text's encoding
  EXPECT_EQ(Find(u"中"), nullptr);
}

class JsonUnit : public JsonTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(
        Load("{\"l\":-42,\"d\":-2.75,\"s\":\" 12.5abc\",\"e\":\"\",\"t\":'2024-03-05 14:07:09',"
             "\"x\":'abc',\"n\":null,\"o\":{},\"a\":[],\"h\":\"\xe4\xb8\xad\"}"),
        1);
    SetUnitNull(&unit_);
  }
  void TearDown() override { ClearUnitData(&unit_); }

  // Converts the member `name`; returns the result.
  int32_t Convert(const char16_t* name, uint16_t wanted) {
    return XJsonDoc::NodeToUnit(Find(name), 1, &unit_, wanted);
  }
  std::u16string Text() const { return unit_.Value.Text; }

  XDataUnit unit_;
};

TEST_F(JsonUnit, Numbers) {
  ASSERT_EQ(Convert(u"l", 0), 1);
  EXPECT_EQ(unit_.Type, XDT_LONG);
  EXPECT_EQ(unit_.Value.Long, -42);
  ASSERT_EQ(Convert(u"l", XDT_STRING), 1);
  EXPECT_EQ(Text(), u"-42");
  ASSERT_EQ(Convert(u"l", XDT_DOUBLE), 1);
  EXPECT_EQ(unit_.Value.Double, -42.0);
  ASSERT_EQ(Convert(u"d", 0), 1);
  EXPECT_EQ(unit_.Type, XDT_DOUBLE);
  EXPECT_EQ(unit_.Value.Double, -2.75);
  ASSERT_EQ(Convert(u"d", XDT_LONG), 1);
  EXPECT_EQ(unit_.Value.Long, -2);
  ASSERT_EQ(Convert(u"d", XDT_STRING), 1);
  EXPECT_EQ(Text(), u"-2.75");
  EXPECT_EQ(unit_.Owned, unit_.Value.Text);
}

TEST_F(JsonUnit, NoConversionLeavesTheUnitAlone) {
  SetUnitValue(&unit_, 7);
  for (const char16_t* name : {u"l", u"d"}) EXPECT_EQ(Convert(name, XDT_DATETIME), 0);
  for (const char16_t* name : {u"o", u"a"}) EXPECT_EQ(Convert(name, 0), 0);
  EXPECT_EQ(Convert(u"l", XDT_USER), 0);
  EXPECT_EQ(Convert(u"missing", 0), 0);
  EXPECT_EQ(unit_.Type, XDT_LONG);
  EXPECT_EQ(unit_.Value.Long, 7);
}

TEST_F(JsonUnit, Strings) {
  ASSERT_EQ(Convert(u"s", 0), 1);
  EXPECT_EQ(Text(), u" 12.5abc");
  ASSERT_EQ(Convert(u"s", XDT_LONG), 1);
  EXPECT_EQ(unit_.Value.Long, 12);
  ASSERT_EQ(Convert(u"s", XDT_DOUBLE), 1);
  EXPECT_EQ(unit_.Value.Double, 12.5);
  ASSERT_EQ(Convert(u"x", XDT_LONG), 1);
  EXPECT_EQ(unit_.Value.Long, 0);
  ASSERT_EQ(Convert(u"x", XDT_DOUBLE), 1);
  EXPECT_EQ(unit_.Value.Double, 0.0);
  ASSERT_EQ(Convert(u"h", XDT_STRING), 1);
  EXPECT_EQ(Text(), u"中");
  ASSERT_EQ(Convert(u"t", XDT_DATETIME), 1);
  EXPECT_EQ(unit_.Type, XDT_DATETIME);
  EXPECT_EQ(unit_.Null, 0);
  EXPECT_EQ(CompareTime(unit_.Value.Time, u"2024-03-05 14:07:09"), 0);
}

TEST_F(JsonUnit, EmptyStringsNullsAndBadDatesLeaveTheUnitNull) {
  for (uint16_t wanted : {0, 1, 2, 3, 4}) {
    SetUnitValue(&unit_, u"owned", 1);  // released, not leaked
    ASSERT_EQ(Convert(u"e", wanted), 1);
    EXPECT_EQ(unit_.Null, 1);
    EXPECT_EQ(unit_.Owned, nullptr);
    SetUnitValue(&unit_, u"owned", 1);
    ASSERT_EQ(Convert(u"n", wanted), 1);
    EXPECT_EQ(unit_.Null, 1);
    EXPECT_EQ(unit_.Type, XDT_STRING);  // null clears the data only
  }
  ASSERT_EQ(Convert(u"x", XDT_DATETIME), 1);
  EXPECT_EQ(unit_.Null, 1);
  EXPECT_EQ(unit_.Type, XDT_DATETIME);
}

TEST_F(JsonUnit, LongTextsKeepTheirFirst8191Units) {
  ASSERT_EQ(Load("\"" + std::string(10000, 'z') + "\""), 1);
  ASSERT_EQ(XJsonDoc::NodeToUnit(doc_.GetRoot(), 1, &unit_, XDT_STRING), 1);
  EXPECT_EQ(Text(), std::u16string(8191, u'z'));
}

TEST_F(JsonUnit, AnsiStringsConvertFromCodePage936) {
  ASSERT_EQ(Load("['\xd6\xd0\xce\xc4']", 0), 1);
  ASSERT_EQ(XJsonDoc::NodeToUnit(doc_.GetRoot()->Child, 0, &unit_, 0), 1);
  EXPECT_EQ(Text(), u"中文");
}

TEST_F(JsonTest, CopyOwnsEveryTextOfItsOwn) {
  ASSERT_EQ(Load("{\"a\":['x\\ty',1,2.5,null,{\"b\":true}],\"c\":\"z\""), 0);  // partial tree
  const std::string tree = Tree();
  XJsonDoc copy;
  ASSERT_EQ(copy.CopyFrom(doc_), 1);
  std::memset(block_.get(), '#',
              std::strlen("{\"a\":['x\\ty',1,2.5,null,{\"b\":true}],\"c\":\"z\""));
  doc_.LoadText(1, nullptr, 0);
  EXPECT_EQ(docs_test::Render(copy.GetRoot()), tree);
  EXPECT_EQ(copy.IsUtf8(), 1);
  XJsonDoc empty;
  ASSERT_EQ(copy.CopyFrom(empty), 1);
  EXPECT_EQ(copy.GetRoot(), nullptr);
}

TEST(MallocTextDoc, ConvertsTheWholeArchive) {
  XMemoArchive memo;
  EXPECT_EQ(MallocTextDoc(&memo, 1), nullptr);
  EXPECT_EQ(MallocTextDoc(nullptr, 1), nullptr);
  memo.Append("\xef\xbb\xbf\xe4\xb8\xad\x00z", 8);
  memo.Skip(4);  // the whole content is read, whatever the read position
  XCHAR* text = MallocTextDoc(&memo, 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 4), std::u16string(u"\uFEFF中\0z", 4));  // the mark is kept
  EXPECT_EQ(text[4], 0);
  XMem_Free(text);
  XMemoArchive ansi;
  ansi.Append("\xd6\xd0-\xff", 4);
  text = MallocTextDoc(&ansi, 0);
  EXPECT_EQ(std::u16string(text), u"中-\uFFFD");
  XMem_Free(text);
}

// The standard documents parse whole; the counts of each kind of node and a few values by path
// were taken with another parser.
class StandardDocuments : public JsonTest {
 protected:
  void LoadFile(const char* name) {
    const std::string text = docs_test::ReadFile(docs_test::DataPath(std::string("json/") + name));
    if (text.empty()) GTEST_SKIP() << "no " << name << " (set TABROW_DATA)";
    ASSERT_EQ(Load(text), 1);
  }
  static void Count(const XJsonNode* node, std::map<int32_t, int32_t>* counts) {
    for (; node != nullptr; node = node->Next) {
      ++(*counts)[node->Kind == XDT_DOUBLE ? XDT_LONG : node->Kind];
      Count(node->Child, counts);
    }
  }
  std::map<int32_t, int32_t> Counts() const {
    std::map<int32_t, int32_t> counts;
    Count(doc_.GetRoot(), &counts);
    return counts;
  }
  std::string Value(const char16_t* path) {
    XDataUnit unit;
    SetUnitNull(&unit);
    XJsonDoc::NodeToUnit(Find(path), 1, &unit, XDT_STRING);
    std::string text = unit.Null ? "(null)" : docs_test::Utf8(unit.Value.Text);
    ClearUnitData(&unit);
    return text;
  }
};

using Kinds = std::map<int32_t, int32_t>;

TEST_F(StandardDocuments, Twitter) {
  ASSERT_NO_FATAL_FAILURE(LoadFile("twitter.json"));
  if (IsSkipped()) return;
  EXPECT_EQ(Counts(), (Kinds{{XDT_LONG, 4900},
                             {XDT_STRING, 4754},
                             {XJT_NULL, 1946},
                             {XJT_OBJECT, 1264},
                             {XJT_ARRAY, 1050}}));
  EXPECT_EQ(Value(u"search_metadata/count"), "100");
  EXPECT_EQ(Find(u"search_metadata/max_id")->Value.Double, 505874924095815700.0);
}

TEST_F(StandardDocuments, CitmCatalog) {
  ASSERT_NO_FATAL_FAILURE(LoadFile("citm_catalog.json"));
  if (IsSkipped()) return;
  EXPECT_EQ(Counts(), (Kinds{{XDT_LONG, 14392},
                             {XDT_STRING, 735},
                             {XJT_NULL, 1263},
                             {XJT_OBJECT, 10937},
                             {XJT_ARRAY, 10451}}));
  EXPECT_EQ(Value(u"areaNames/205705993"), "Arri\xc3\xa8re-sc\xc3\xa8ne central");
  EXPECT_EQ(Value(u"events/138586341/name"), "30th Anniversary Tour");
}

TEST_F(StandardDocuments, Canada) {
  ASSERT_NO_FATAL_FAILURE(LoadFile("canada.json"));
  if (IsSkipped()) return;
  EXPECT_EQ(Counts(),
            (Kinds{{XDT_LONG, 111126}, {XDT_STRING, 4}, {XJT_OBJECT, 4}, {XJT_ARRAY, 56045}}));
  EXPECT_EQ(Value(u"type"), "FeatureCollection");
  XJsonNode* feature = Find(u"features")->Child;  // array elements have no names
  EXPECT_EQ(docs_test::Render(XJsonDoc::FindNode(feature, 1, u"properties")),
            "properties={name='Canada'}");
  EXPECT_EQ(docs_test::Render(XJsonDoc::FindNode(feature, 1, u"geometry/type")), "type='Polygon'");
  int32_t rings = 0;
  for (const XJsonNode* ring = XJsonDoc::FindNode(feature, 1, u"geometry/coordinates")->Child;
       ring != nullptr; ring = ring->Next) {
    ++rings;
  }
  EXPECT_EQ(rings, 480);
}

}  // namespace

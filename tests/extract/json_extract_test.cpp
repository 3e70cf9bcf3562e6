// Rows and grids taken from JSON answers: paths, items, type letters, line binders, messages.
#include <gtest/gtest.h>

#include "extract/extract_fixture.h"

namespace {

using namespace extract_test;

const char kJson[] = "application/json";

class JsonExtract : public ExtractTest {
 protected:
  void SetUp() override {
    Load(&buffer_, kJson,
         "{\"title\":\"T\",\"groups\":["
         "{\"id\":1,\"name\":\"a\",\"rows\":[{\"v\":10,\"w\":{\"x\":1.5}},{\"v\":11}]},"
         "{\"id\":\"2\",\"name\":\"b\",\"rows\":[{\"v\":12}]}]}");
  }
  void* Binder(int32_t line) {
    void* handle = grid_.GetNextLine(nullptr);
    while (line-- > 0) handle = grid_.GetNextLine(handle);
    return reinterpret_cast<void*>(grid_.GetLineBinder(handle));
  }
};

TEST_F(JsonExtract, NestedArraysThroughLineBinders) {
  Query groups({Name(u"/groups"), Name(u"id"), Name(u"name")}, true);
  ASSERT_EQ(Grid(groups, u"IS"), 1);
  EXPECT_EQ(Types(grid_), (std::vector<uint16_t>{XDT_LONG, XDT_STRING}));
  EXPECT_EQ(Render(&grid_), (Texts{u"I:1|S:a", u"I:2|S:b"}));  // "2" read as an integer
  EXPECT_EQ(grid_.kind(), XHTTPBUFFER_SOURCE);
  EXPECT_EQ(grid_.source(), reinterpret_cast<uintptr_t>(&buffer_));

  // Each line's binder is its element: relative paths read from it, absolute ones from the root.
  Query nested({Name(u"rows"), Name(u"v"), Name(u"w/x")}, true);
  XRowGrider rows;
  ASSERT_EQ(buffer_.GetRowGrider(Binder(0), nested.get(), &rows, nullptr, error_), 1);
  EXPECT_EQ(Render(&rows), (Texts{u"I:10|F:1.5", u"I:11|null"}));
  EXPECT_EQ(Row(Query({Name(u""), Name(u"name"), Name(u"id")}, true), nullptr, Binder(1)), 1);
  EXPECT_EQ(Render(row_), (Texts{u"S:b", u"S:2"}));
  EXPECT_EQ(Row(Query({Name(u"/title")}, false), nullptr, Binder(1)), 1);
  EXPECT_EQ(Render(row_), Texts{u"S:T"});
  EXPECT_EQ(std::u16string(error_), u"untouched");
}

TEST_F(JsonExtract, TypeLettersAndCarriedValues) {
  Load(&buffer_, kJson,
       "{\"n\":12,\"d\":2.75,\"s\":\"34.5x\",\"t\":\"2024-03-05 14:07:09\",\"z\":null}");
  struct {
    const char16_t *path, *types, *cell;
  } cases[] = {
      {u"n", nullptr, u"I:12"}, {u"n", u"S", u"S:12"},   {u"n", u"X", u"null"},
      {u"n", u"", u"I:12"},     {u"d", u"I", u"I:2"},    {u"s", u"F", u"F:34.5"},
      {u"z", u"I", u"null"},    {u"", nullptr, u"null"}, {u"t", u"T", u"T:2024-03-05 14:07:09"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    ASSERT_EQ(Row(Query({Name(c.path)}, false), c.types), 1);
    EXPECT_EQ(Render(row_), Texts{c.cell});
  }
  // A skipped first record, a carried value, letters missing at the end, a missing member.
  Query list({Number(0), Name(u"/"), Name(u"n"), Number(7, XVAR_INLINE), Name(u"d"), Name(u"q")},
             true, true);
  ASSERT_EQ(Row(list, u"S"), 1);
  EXPECT_EQ(Render(row_), (Texts{u"S:12", u"I:7", u"F:2.75", u"null"}));

  // Member names and texts in code page 936: {"名单":[{"姓名":"张三","年龄":30}]}
  Load(&buffer_, "application/json; charset=gbk",
       "{\"\xc3\xfb\xb5\xa5\":[{\"\xd0\xd5\xc3\xfb\":\"\xd5\xc5\xc8\xfd\",\"\xc4\xea\xc1\xe4\":30}]"
       "}");
  Query names({Name(u"/名单"), Name(u"姓名"), Name(u"年龄")}, true);
  ASSERT_EQ(Grid(names, u"SI"), 1);
  EXPECT_EQ(Render(&grid_), Texts{u"S:张三|I:30"});

  // Without the list flag a grid has one column, which adopts the first value's type: values of
  // another type are left out.
  Load(&buffer_, kJson, "[1,2,\"x\",3.5,null]");
  ASSERT_EQ(Grid(Query({Name(u"")}, false), nullptr), 1);
  EXPECT_EQ(Render(&grid_), (Texts{u"I:1", u"I:2", u"null"}));
}

TEST_F(JsonExtract, FailuresWriteTheirMessages) {
  Query pastEnd({Name(u"groups"), Name(u"id")}, true), unterminated({Name(u"/groups")}, false);
  pastEnd.bytes()[1 + 18] = 2;  // two items, one record
  unterminated.bytes().back() = 'x';
  const struct {
    bool grid;
    Query query;
    const char16_t* message;
  } cases[] = {
      {false, Query({Number(1)}, false), u"只能以名称方式检索数据"},
      {true, Query({Number(1)}, false), u"访问失败，节点检索名称不存在"},
      {true, pastEnd, u"访问失败，节点检索名称不存在"},
      {false, unterminated, u"只能以名称方式检索数据"},
      {false, Query({Name(u"/groups/nope")}, false), u"节点 [\"groups/nope\"] 不存在"},
      {false, Query({Name(u"title"), Number(2)}, true), u"只能以名称方式访问数据"},
      {true, Query({Name(u"title"), Name(u"v")}, true), u"检索节点不是数组节点"},
      {true, Query({Name(u"groups"), Number(2)}, true), u"不能用编号方式检索数据"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(c.grid ? Grid(c.query, nullptr) : Row(c.query, nullptr), 0);
    EXPECT_EQ(std::u16string(error_), c.message);
  }
  Load(&buffer_, kJson, "");
  EXPECT_EQ(Row(Query({Name(u"/a")}, false), nullptr), 0);
  EXPECT_EQ(std::u16string(error_), u"获取数据失败，文档为空");
  // Without a document nothing is read and nothing said, but the grid is marked.
  XHttpBuffer empty;
  XCHAR untouched[8] = u"-";
  EXPECT_EQ(empty.GetRowGrider(nullptr, pastEnd.get(), &grid_, nullptr, untouched), 0);
  EXPECT_EQ(grid_.source(), reinterpret_cast<uintptr_t>(&empty));
  EXPECT_EQ(std::u16string(untouched), u"-");
}

}  // namespace

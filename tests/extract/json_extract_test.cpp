// Rows and grids taken from JSON answers: paths, items, type letters, line binders, messages.
#include <gtest/gtest.h>

#include <memory>

#include "extract/extract_fixture.h"
#include "http/test_environment.h"

namespace {

using namespace extract_test;
using Lines = std::vector<std::u16string>;

const char kJson[] = "application/json";
const char kGroups[] =
    "{\"title\":\"T\",\"groups\":["
    "{\"id\":1,\"name\":\"a\",\"rows\":[{\"v\":10,\"w\":{\"x\":1.5}},{\"v\":11}]},"
    "{\"id\":\"2\",\"name\":\"b\",\"rows\":[{\"v\":12}]}]}";

class JsonExtract : public ::testing::Test {
 protected:
  void SetUp() override { Load(&buffer_, kJson, kGroups); }
  int32_t Row(const Query& query, const XCHAR* types, void* node = nullptr) {
    row_.ClearBuffer();
    return buffer_.GetRowBuffer(node, query.get(), &row_, types, error_);
  }

  XHttpBuffer buffer_;
  XRowBuffer row_;
  ProbeGrider grid_;
  XCHAR error_[64] = u"untouched";
};

TEST_F(JsonExtract, NestedArraysThroughLineBinders) {
  Query groups({Name(u"/groups"), Name(u"id"), Name(u"name")}, true);
  ASSERT_EQ(buffer_.GetRowGrider(nullptr, groups.get(), &grid_, u"IS", error_), 1);
  EXPECT_EQ(Types(grid_), (std::vector<uint16_t>{XDT_LONG, XDT_STRING}));
  EXPECT_EQ(Render(&grid_), (Lines{u"I:1|S:a", u"I:2|S:b"}));  // "2" read as an integer
  EXPECT_EQ(grid_.kind(), XHTTPBUFFER_SOURCE);
  EXPECT_EQ(grid_.source(), reinterpret_cast<uintptr_t>(&buffer_));

  // Each group's binder is its element: a relative path reads its nested array.
  void* first = reinterpret_cast<void*>(grid_.GetLineBinder(grid_.GetNextLine(nullptr)));
  void* second =
      reinterpret_cast<void*>(grid_.GetLineBinder(grid_.GetNextLine(grid_.GetNextLine(nullptr))));
  ProbeGrider rows;
  Query nested({Name(u"rows"), Name(u"v"), Name(u"w/x")}, true);
  ASSERT_EQ(buffer_.GetRowGrider(first, nested.get(), &rows, nullptr, error_), 1);
  EXPECT_EQ(Render(&rows), (Lines{u"I:10|F:1.5", u"I:11|null"}));
  ASSERT_EQ(buffer_.GetRowGrider(second, nested.get(), &rows, nullptr, error_), 1);
  EXPECT_EQ(Render(&rows), (Lines{u"I:12|null"}));

  // A row from a binder: relative names, and an absolute path back from the root.
  EXPECT_EQ(Row(Query({Name(u""), Name(u"name"), Name(u"id")}, true), nullptr, second), 1);
  EXPECT_EQ(Render(row_), (std::vector<std::u16string>{u"S:b", u"S:2"}));
  EXPECT_EQ(Row(Query({Name(u"/title")}, false), nullptr, second), 1);
  EXPECT_EQ(Render(row_), (std::vector<std::u16string>{u"S:T"}));
  EXPECT_EQ(std::u16string(error_), u"untouched");
}

TEST_F(JsonExtract, TypeLettersAndCarriedValues) {
  Load(&buffer_, kJson,
       "{\"n\":12,\"d\":2.75,\"s\":\"34.5abc\",\"t\":\"2024-03-05 14:07:09\",\"z\":null,\"o\":{}}");
  struct {
    const char16_t* path;
    const char16_t* types;
    const char16_t* cell;
  } cases[] = {
      {u"n", nullptr, u"I:12"}, {u"n", u"S", u"S:12"},    {u"n", u"F", u"F:12.0"},
      {u"n", u"X", u"null"},    {u"n", u"", u"I:12"},     {u"d", u"I", u"I:2"},
      {u"s", u"I", u"I:34"},    {u"s", u"F", u"F:34.5"},  {u"s", nullptr, u"S:34.5abc"},
      {u"z", u"I", u"null"},    {u"o", nullptr, u"null"}, {u"t", u"T", u"T:2024-03-05 14:07:09"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path, c.path + 1));
    ASSERT_EQ(Row(Query({Name(c.path)}, false), c.types), 1);
    EXPECT_EQ(Render(row_), std::vector<std::u16string>{c.cell});
  }
  // A skipped first record; a carried value; a short type text leaves later values as they are;
  // a missing member gives a null cell.
  Query list({Numbered(0), Name(u"/"), Name(u"n"), Carried(7), Name(u"d"), Name(u"q")}, true, true);
  ASSERT_EQ(Row(list, u"S"), 1);
  EXPECT_EQ(Render(row_), (std::vector<std::u16string>{u"S:12", u"I:7", u"F:2.75", u"null"}));
}

TEST_F(JsonExtract, GridWithoutListFlagHasOneColumn) {
  Load(&buffer_, kJson, "{\"a\":[1,2,\"x\",3.5,4,null]}");
  struct {
    const char16_t* types;
    Lines lines;
  } cases[] = {
      // The column adopts the first value's type; values of another type are left out.
      {nullptr, {u"I:1", u"I:2", u"I:4", u"null"}},
      {u"F", {u"F:1.0", u"F:2.0", u"F:0.0", u"F:3.5", u"F:4.0", u"null"}},
  };
  for (const auto& c : cases) {
    Query query({Name(u"/a"), Name(u"ignored")}, false);
    ASSERT_EQ(buffer_.GetRowGrider(nullptr, query.get(), &grid_, c.types, error_), 1);
    EXPECT_EQ(grid_.GetColCounter(), 1);
    EXPECT_EQ(Render(&grid_), c.lines);
  }
}

TEST_F(JsonExtract, FailuresWriteTheirMessages) {
  Query notText({Numbered(1)}, false);
  Query zeroLength({Name(u"/groups")}, false);
  zeroLength.bytes()[1 + 20 + 2] = 0;
  Query pastEnd({Name(u"/groups"), Name(u"id")}, true);
  pastEnd.bytes()[1 + 18] = 2;  // two items, one record
  Query unterminated({Name(u"/groups")}, false);
  unterminated.bytes().back() = 'x';
  struct {
    bool grid;
    Query query;
    const char16_t* message;
  } cases[] = {
      {false, notText, u"只能以名称方式检索数据"},
      {true, notText, u"访问失败，节点检索名称不存在"},
      {false, zeroLength, u"只能以名称方式检索数据"},
      {true, pastEnd, u"访问失败，节点检索名称不存在"},
      {false, unterminated, u"只能以名称方式检索数据"},
      {false, Query({Name(u"/groups/nope")}, false), u"节点 [\"groups/nope\"] 不存在"},
      {true, Query({Name(u"title/x"), Name(u"v")}, true), u"节点 [\"title/x\"] 不存在"},
      {false, Query({Name(u"title"), Numbered(2)}, true), u"只能以名称方式访问数据"},
      {true, Query({Name(u"title"), Name(u"v")}, true), u"检索节点不是数组节点"},
      {true, Query({Name(u"groups"), Numbered(2)}, true), u"不能用编号方式检索数据"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const int32_t result =
        c.grid ? buffer_.GetRowGrider(nullptr, c.query.get(), &grid_, nullptr, error_)
               : Row(c.query, nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::u16string(error_), c.message);
  }
  Load(&buffer_, kJson, "");
  EXPECT_EQ(Row(Query({Name(u"/a")}, false), nullptr), 0);
  EXPECT_EQ(std::u16string(error_), u"获取数据失败，文档为空");
}

TEST_F(JsonExtract, EmptyBufferOnlyMarksTheGrid) {
  XHttpBuffer empty;
  Query query({Name(u"/a"), Name(u"v")}, true);
  EXPECT_EQ(empty.GetRowGrider(nullptr, query.get(), &grid_, nullptr, error_), 0);
  EXPECT_EQ(empty.GetRowBuffer(nullptr, query.get(), &row_, nullptr, error_), 0);
  EXPECT_EQ(std::u16string(error_), u"untouched");
  EXPECT_EQ(grid_.kind(), XHTTPBUFFER_SOURCE);
  EXPECT_EQ(grid_.source(), reinterpret_cast<uintptr_t>(&empty));
}

class JsonFromServer : public tabrow_test::ServerTest {};

TEST_F(JsonFromServer, AnswerInCodePage936) {
  // {"名单":[{"姓名":"张三","年龄":30}]}
  tabrow_test::TestServer server([](const tabrow_test::ReceivedRequest&) {
    return tabrow_test::MakeReply("application/json; charset=gbk",
                                  "{\"\xc3\xfb\xb5\xa5\":[{\"\xd0\xd5\xc3\xfb\":"
                                  "\"\xd5\xc5\xc8\xfd\",\"\xc4\xea\xc1\xe4\":30}]}");
  });
  XHttpBuffer buffer;
  XCHAR error[64] = u"";
  const std::u16string url =
      tabrow_test::U16("http://127.0.0.1:" + std::to_string(server.port()) + "/list");
  ASSERT_EQ(
      HttpGetBuffer(&buffer, url.c_str(), nullptr, static_cast<const char*>(nullptr), 0, error), 1);
  XRowGrider grid;
  Query query({Name(u"/名单"), Name(u"姓名"), Name(u"年龄")}, true);
  ASSERT_EQ(buffer.GetRowGrider(nullptr, query.get(), &grid, u"SI", error), 1);
  EXPECT_EQ(Render(&grid), (Lines{u"S:张三|I:30"}));
}

}  // namespace

// Rows and grids taken from XML answers: attributes, child elements, own texts, type letters,
// line binders, messages.
#include <gtest/gtest.h>

#include "extract/extract_fixture.h"
#include "http/test_environment.h"

namespace {

using namespace extract_test;
using Lines = std::vector<std::u16string>;
using Cells = std::vector<std::u16string>;

constexpr uint16_t kChild = 0x3200;
const char kXml[] = "text/xml";
const char kAnswer[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Answer>\n"
    "  <Items count=\"2\">\n"
    "    <Item id=\"1\" price=\"2.5\"><Name>apple</Name><When>2024-03-05 14:07:09</When></Item>\n"
    "    <Note>skipped</Note>\n"
    "    <Item id=\"x\" price=\"3\"><Name>a&amp;b</Name></Item>\n"
    "  </Items>\n"
    "  <Item id=\"9\"/>\n"
    "</Answer>";

class XmlExtract : public ::testing::Test {
 protected:
  void SetUp() override { Load(&buffer_, kXml, kAnswer); }
  int32_t Row(const Query& query, const XCHAR* types, void* node = nullptr) {
    row_.ClearBuffer();
    return buffer_.GetRowBuffer(node, query.get(), &row_, types, error_);
  }
  int32_t Grid(const Query& query, const XCHAR* types, void* node = nullptr) {
    return buffer_.GetRowGrider(node, query.get(), &grid_, types, error_);
  }

  XHttpBuffer buffer_;
  XRowBuffer row_;
  ProbeGrider grid_;
  XCHAR error_[64] = u"untouched";
};

TEST_F(XmlExtract, GridFromAttributesAndChildElements) {
  Query items({Name(u"/Answer/Items/Item"), Name(u"id"), Name(u"Name", kChild), Name(u"price"),
               Name(u"When", kChild)},
              true);
  struct {
    const char16_t* types;
    std::vector<uint16_t> columns;
    Lines lines;
  } cases[] = {
      {u"ISFT",
       {1, 2, 3, 4},
       {u"I:1|S:apple|F:2.5|T:2024-03-05 14:07:09", u"null|S:a&b|F:3.0|null"}},
      {nullptr, {2, 2, 2, 2}, {u"S:1|S:apple|S:2.5|S:2024-03-05 14:07:09", u"S:x|S:a&b|S:3|null"}},
      {u"XSXX", {2, 2, 2, 2}, {u"S:1|S:apple|S:2.5|S:2024-03-05 14:07:09", u"S:x|S:a&b|S:3|null"}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Grid(items, c.types), 1);
    EXPECT_EQ(Types(grid_), c.columns);
    EXPECT_EQ(Render(&grid_), c.lines);
  }
  EXPECT_EQ(grid_.kind(), XHTTPBUFFER_SOURCE);

  // A line's binder is its element: rows read from it by relative names.
  void* first = reinterpret_cast<void*>(grid_.GetLineBinder(grid_.GetNextLine(nullptr)));
  ASSERT_EQ(Row(Query({Name(u"Name")}, false), nullptr, first), 1);
  EXPECT_EQ(Render(row_), Cells{u"S:apple"});
  ASSERT_EQ(
      Row(Query({Name(u""), Name(u"id"), Carried(5), Name(u"When", kChild), Name(u"none")}, true),
          u"IIT?", first),
      1);
  EXPECT_EQ(Render(row_), (Cells{u"I:1", u"I:5", u"T:2024-03-05 14:07:09", u"null"}));
}

TEST_F(XmlExtract, EmptyContainerPathSearchesTheStartNode) {
  XML_Node* answer = buffer_.GetXmlDoc()->SelectNode(u"/Answer", nullptr);
  Query query({Name(u"/Item"), Name(u"id")}, true);
  ASSERT_EQ(Grid(query, u"I", answer), 1);
  EXPECT_EQ(Render(&grid_), Lines{u"I:9"});
  ASSERT_EQ(Grid(query, u"I"), 1);  // the document's only child is Answer
  EXPECT_EQ(grid_.GetRowCounter(), 0);
  EXPECT_EQ(grid_.GetColCounter(), 1);
}

TEST_F(XmlExtract, FailuresWriteTheirMessages) {
  struct {
    bool grid;
    Query query;
    const XCHAR* types;
    const char16_t* message;
  } cases[] = {
      {false, Query({Numbered(1)}, false), nullptr, u"访问失败，节点检索名称不存在"},
      {false, Query({Name(u"/Answer/Nope")}, false), nullptr, u"节点 [\"/Answer/Nope\"] 不存在"},
      {false, Query({Name(u"/Answer"), Name(u"a"), Name(u"b")}, true), u"I", u"数据类型个数有误"},
      {false, Query({Name(u"/Answer"), Numbered(2)}, true), nullptr,
       u"不能用编号方式访问 xml 数据"},
      {true, Query({Name(u"/Answer/Items/Item")}, false), nullptr, u"访问失败，父项节点缺失"},
      {true, Query({Numbered(1), Name(u"a")}, true), nullptr, u"访问失败，节点检索名称不存在"},
      {true, Query({Name(u"Item"), Name(u"id")}, true), nullptr, u"节点 [\"Item\"] 不存在"},
      {true, Query({Name(u"/Answer/No/Item"), Name(u"id")}, true), nullptr,
       u"节点 [\"/Answer/No\"] 不存在"},
      {true, Query({Name(u"/Answer/Item"), Name(u"id")}, true), u"IS", u"检索类型个数有误"},
      {true, Query({Name(u"/Answer/Item"), Numbered(2)}, true), nullptr,
       u"不能用编号方式访问 xml 数据"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(c.grid ? Grid(c.query, c.types) : Row(c.query, c.types), 0);
    EXPECT_EQ(std::u16string(error_), c.message);
  }
  // An unreadable answer leaves an empty document; a grid query reports its list flag first.
  Load(&buffer_, kXml, "<broken>");
  EXPECT_EQ(Grid(Query({Name(u"/a/b")}, false), nullptr), 0);
  EXPECT_EQ(std::u16string(error_), u"访问失败，父项节点缺失");
  EXPECT_EQ(Grid(Query({Name(u"/a/b"), Name(u"c")}, true), nullptr), 0);
  EXPECT_EQ(std::u16string(error_), u"获取数据失败，xml 文档为空");
}

class XmlFromServer : public tabrow_test::ServerTest {};

TEST_F(XmlFromServer, AnswerInCodePage936) {
  // <R><Item 价格="2.5"><姓名>张三</姓名></Item></R>, declared as gbk
  tabrow_test::TestServer server([](const tabrow_test::ReceivedRequest&) {
    return tabrow_test::MakeReply(
        "text/xml",
        "<?xml version=\"1.0\" encoding=\"gbk\"?><R><Item \xbc\xdb\xb8\xf1=\"2.5\">"
        "<\xd0\xd5\xc3\xfb>\xd5\xc5\xc8\xfd</\xd0\xd5\xc3\xfb></Item></R>");
  });
  XHttpBuffer buffer;
  XCHAR error[64] = u"";
  const std::u16string url =
      tabrow_test::U16("http://127.0.0.1:" + std::to_string(server.port()) + "/items");
  ASSERT_EQ(
      HttpGetBuffer(&buffer, url.c_str(), nullptr, static_cast<const char*>(nullptr), 0, error), 1);
  XRowGrider grid;
  Query query({Name(u"/R/Item"), Name(u"价格"), Name(u"姓名", kChild)}, true);
  ASSERT_EQ(buffer.GetRowGrider(nullptr, query.get(), &grid, u"FS", error), 1);
  EXPECT_EQ(Render(&grid), Lines{u"F:2.5|S:张三"});
}

}  // namespace

// Rows and grids taken from XML answers: attributes, child elements, own texts, type letters,
// line binders, messages.
#include <gtest/gtest.h>

#include "extract/extract_fixture.h"

namespace {

using namespace extract_test;

constexpr uint16_t kChild = 0x3200;
const char kXml[] = "text/xml";

class XmlExtract : public ExtractTest {
 protected:
  void SetUp() override {
    Load(&buffer_, kXml,
         "<Answer><Items>"
         "<Item id=\"1\" price=\"2.5\"><Name>apple</Name><When>2024-03-05 14:07:09</When></Item>"
         "<Note/><Item id=\"x\" price=\"3\"><Name>a&amp;b</Name></Item>"
         "</Items><Item id=\"9\"/></Answer>");
  }
};

TEST_F(XmlExtract, GridsFromAttributesAndChildElements) {
  Query items({Name(u"/Answer/Items/Item"), Name(u"id"), Name(u"Name", kChild), Name(u"price"),
               Name(u"When", kChild)},
              true);
  const Texts texts = {u"S:1|S:apple|S:2.5|S:2024-03-05 14:07:09", u"S:x|S:a&b|S:3|null"};
  const struct {
    const char16_t* types;
    std::vector<uint16_t> columns;
    Texts lines;
  } cases[] = {
      {u"ISFT",
       {1, 2, 3, 4},
       {u"I:1|S:apple|F:2.5|T:2024-03-05 14:07:09", u"null|S:a&b|F:3.0|null"}},
      {nullptr, {2, 2, 2, 2}, texts},
      {u"XSXX", {2, 2, 2, 2}, texts},
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
  EXPECT_EQ(Render(row_), Texts{u"S:apple"});
  Query list({Name(u""), Name(u"id"), Number(5, XVAR_INLINE), Name(u"When", kChild), Name(u"no")},
             true);
  ASSERT_EQ(Row(list, u"IIT?", first), 1);
  EXPECT_EQ(Render(row_), (Texts{u"I:1", u"I:5", u"T:2024-03-05 14:07:09", u"null"}));

  // An empty container part searches the start node's children.
  XML_Node* answer = buffer_.GetXmlDoc()->SelectNode(u"/Answer", nullptr);
  ASSERT_EQ(Grid(Query({Name(u"/Item"), Name(u"id")}, true), u"I", answer), 1);
  EXPECT_EQ(Render(&grid_), Texts{u"I:9"});
}

TEST_F(XmlExtract, FailuresWriteTheirMessages) {
  const struct {
    bool grid;
    Query query;
    const XCHAR* types;
    const char16_t* message;
  } cases[] = {
      {false, Query({Number(1)}, false), nullptr, u"访问失败，节点检索名称不存在"},
      {false, Query({Name(u"/Answer/No")}, false), nullptr, u"节点 [\"/Answer/No\"] 不存在"},
      {false, Query({Name(u"/Answer"), Name(u"a"), Name(u"b")}, true), u"I", u"数据类型个数有误"},
      {false, Query({Name(u"/Answer"), Number(2)}, true), nullptr, u"不能用编号方式访问 xml 数据"},
      {true, Query({Name(u"/Answer/Item")}, false), nullptr, u"访问失败，父项节点缺失"},
      {true, Query({Number(1), Name(u"a")}, true), nullptr, u"访问失败，节点检索名称不存在"},
      {true, Query({Name(u"Item"), Name(u"id")}, true), nullptr, u"节点 [\"Item\"] 不存在"},
      {true, Query({Name(u"/No/Item"), Name(u"id")}, true), nullptr, u"节点 [\"/No\"] 不存在"},
      {true, Query({Name(u"/Answer/Item"), Name(u"id")}, true), u"IS", u"检索类型个数有误"},
      {true, Query({Name(u"/Answer/Item"), Number(2)}, true), nullptr,
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

}  // namespace

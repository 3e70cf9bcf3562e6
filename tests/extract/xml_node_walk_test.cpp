// The nodes of an XML answer reached in mixed orders: indexes, sibling steps, enumerations that
// interleave, counts taken midway. Node objects are made as walks reach them; every order must
// see the same nodes, in document order, text and other non-element children passed over. (The
// XML fuzz target walks documents in one order.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tabrow/xmldoc.h"

namespace {

class XmlNodeWalk : public ::testing::TestWithParam<int32_t> {
 protected:
  // A fresh document of `count` children <C0/>..<C{count-1}/>, text between every two of them,
  // and its root's child list.
  XML_NodeList* Open() {
    std::string text = "<Rowset>";
    for (int32_t i = 0; i < GetParam(); ++i) text += "<C" + std::to_string(i) + "/>text";
    text += "</Rowset>";
    EXPECT_EQ(doc_.OpenBuffer(text.data(), uint32_t(text.size()), 1), 1);
    rowset_ = doc_.SelectNode(u"/Rowset", nullptr);
    return rowset_ != nullptr ? rowset_->GetChildren() : nullptr;
  }
  std::u16string Name(int32_t index) {
    const std::string name = "C" + std::to_string(index);
    return std::u16string(name.begin(), name.end());
  }
  // The children as a sibling walk from the first finds them.
  std::vector<XML_Node*> BySiblings() {
    std::vector<XML_Node*> nodes;
    for (XML_Node* node = rowset_->GetChild(u"C0"); node != nullptr; node = node->GetNextSibling())
      nodes.push_back(node);
    return nodes;
  }

  XML_Archive doc_;
  XML_Node* rowset_ = nullptr;
};

TEST_P(XmlNodeWalk, EveryOrderSeesTheSameNodes) {
  const int32_t count = GetParam();
  // The last index and a count first, then siblings, the rest by index and a lookup by name.
  XML_NodeList* list = Open();
  ASSERT_NE(list, nullptr);
  XML_Node* last = list->GetItem(count - 1);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->GetNextSibling(), nullptr);
  EXPECT_EQ(list->GetCount(), count);
  const std::vector<XML_Node*> siblings = BySiblings();
  ASSERT_EQ(int32_t(siblings.size()), count);
  EXPECT_EQ(siblings.back(), last);
  for (int32_t i = 0; i < count; ++i) {
    XCHAR name[16] = u"";
    list->GetItem(i)->GetName(name, 16);
    EXPECT_EQ(name, Name(i));
    EXPECT_EQ(list->GetItem(i), siblings[size_t(i)]);
    EXPECT_EQ(siblings[size_t(i)]->GetParent(), rowset_);
  }
  EXPECT_EQ(list->GetItem(count), nullptr);
  EXPECT_EQ(list->GetItem(-1), nullptr);
  EXPECT_EQ(rowset_->GetChild(Name(count / 2).c_str()), siblings[size_t(count / 2)]);

  // Two enumerations, the second one step behind; indexes and counts in between move neither.
  list = Open();
  ASSERT_NE(list, nullptr);
  uintptr_t first = 0, second = 0;
  std::vector<XML_Node*> seenFirst = {list->GetNext(&first)}, seenSecond;
  while (XML_Node* node = list->GetNext(&first)) {
    seenFirst.push_back(node);
    seenSecond.push_back(list->GetNext(&second));
    EXPECT_EQ(list->GetItem(0), seenFirst.front());
    EXPECT_EQ(list->GetCount(), count);
  }
  EXPECT_EQ(first, 0u);
  while (XML_Node* node = list->GetNext(&second)) seenSecond.push_back(node);
  EXPECT_EQ(second, 0u);
  EXPECT_EQ(seenFirst, BySiblings());
  EXPECT_EQ(seenSecond, seenFirst);
}

// One child, and runs long enough to need several blocks of node objects.
INSTANTIATE_TEST_SUITE_P(Sizes, XmlNodeWalk, ::testing::Values(1, 2, 1025, 3000));

}  // namespace

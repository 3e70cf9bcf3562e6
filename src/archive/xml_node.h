// The nodes an XML_Archive hands out: one object per element (and one for the document). The
// child elements of a node are made together, the first time any of them is asked for, as one
// run of objects in a block owned by the document's node arena; they stay there until the
// document is opened again or destroyed. Being made only through their parent, every object
// finds its parent, children and siblings by pointer, without a lookup. The same object serves
// as the element's child enumerator; a position marks a child by its address.
#ifndef TABROW_ARCHIVE_XML_NODE_H_
#define TABROW_ARCHIVE_XML_NODE_H_

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "tabrow/xmldoc.h"

namespace tabrow {

class XmlNodeArena;

class XmlElement final : public XML_Node, public XML_NodeList {
 public:
  XmlElement(pugi::xml_node node, XmlElement* parent, int32_t ordinal, XmlNodeArena* arena)
      : node_(node), parent_(parent), arena_(arena), ordinal_(ordinal) {}

  // The parsed node this object stands for.
  pugi::xml_node Node() const { return node_; }
  // The child element named `name` (UTF-8), or null.
  XmlElement* FindChild(const char* name, size_t length);

  int32_t GetName(XCHAR* buffer, int32_t capacity) override;
  int32_t IsName(const XCHAR* name) override;
  XML_Node* GetParent() override;
  int32_t HasAttribute(const XCHAR* name) override;
  int32_t GetAttribute(const XCHAR* name, XCHAR* buffer, int32_t capacity) override;
  XML_NodeList* GetChildren() override;
  XML_Node* GetChild(const XCHAR* name) override;
  XML_Node* GetNextSibling() override;
  int32_t GetText(XCHAR* buffer, int32_t capacity) override;

  int32_t GetCount() override;
  XML_Node* GetItem(int32_t index) override;
  XML_Node* GetOwner() override;
  XML_Node* GetNext(uintptr_t* position) override;

 private:
  // The number of child elements, their objects made on first use.
  int32_t ChildCount();
  // The child at `index`, or null when out of range.
  XmlElement* ChildAt(int32_t index);

  pugi::xml_node node_;
  XmlElement* parent_;  // null for the document
  XmlNodeArena* arena_;
  XmlElement* children_ = nullptr;
  int32_t childCount_ = -1;  // -1 until the children are made
  int32_t ordinal_;          // the place among the parent's child elements
};

// The blocks that hold one document's node objects.
class XmlNodeArena {
 public:
  XmlNodeArena() = default;
  ~XmlNodeArena() { Clear(); }
  XmlNodeArena(const XmlNodeArena&) = delete;
  XmlNodeArena& operator=(const XmlNodeArena&) = delete;

  // The object for the document node, made on first use.
  XmlElement* Document(pugi::xml_node document);
  // Room for `count` > 0 objects side by side, to be constructed by the caller.
  XmlElement* Allocate(size_t count);
  // A list the caller may reuse while it makes a run of children.
  std::vector<pugi::xml_node>& Scratch() { return scratch_; }
  // Releases every object (the document is about to change).
  void Clear();

 private:
  struct Block {
    XmlElement* slots;
    size_t size;
  };
  std::vector<Block> blocks_;
  size_t used_ = 0;  // slots taken in the last block
  XmlElement* document_ = nullptr;
  std::vector<pugi::xml_node> scratch_;
};

// A UTF-16 name as the parser's UTF-8; null reads as empty.
std::string NameToUtf8(const XCHAR* name);

}  // namespace tabrow

#endif  // TABROW_ARCHIVE_XML_NODE_H_

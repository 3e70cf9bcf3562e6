// The nodes an XML_Archive hands out: one object per element (and one for the document). A
// node's child elements are made one at a time, in document order, the first time a walk
// reaches them, so a reader that goes through a long list of children once makes each object
// as it reads it, and a lookup by name makes only the children up to the one found. Objects
// sit in blocks owned by the document's node arena until the document is opened again or
// destroyed. Each child is linked to the next one made, and each node remembers the child its
// list last handed out, so a walk in order costs one step per child. The same object serves as
// the element's child enumerator; a position marks a child by its address, and one that is not
// the last handed out is looked up among the arena's blocks before it is trusted.
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
  // The child element after `child` (the first one when `child` is null), made on first use;
  // null when there is none.
  XmlElement* ChildAfter(XmlElement* child);
  // The child at `index`, or null when out of range; it becomes the list's last handed out.
  XmlElement* ChildAt(int32_t index);
  // The child already made whose address is `mark`, or null.
  XmlElement* MarkedChild(uintptr_t mark);

  pugi::xml_node node_;
  XmlElement* parent_;  // null for the document
  XmlNodeArena* arena_;
  XmlElement* first_ = nullptr;   // the first child element, once looked for
  XmlElement* next_ = nullptr;    // the next element of the parent, once looked for
  XmlElement* cursor_ = nullptr;  // the child this list handed out last
  int32_t ordinal_;               // the place among the parent's child elements
  int32_t count_ = -1;            // the number of child elements, once the last one is made
  bool firstKnown_ = false;       // first_ has been looked for
  bool nextKnown_ = false;        // next_ has been looked for
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
  // A new object for `node`, child number `ordinal` of `parent`.
  XmlElement* Make(pugi::xml_node node, XmlElement* parent, int32_t ordinal);
  // The object made at `address`, or null when no object of this arena sits there.
  XmlElement* Made(uintptr_t address) const;
  // Releases every object (the document is about to change).
  void Clear();

 private:
  std::vector<XmlElement*> blocks_;  // each of the same number of slots
  size_t used_ = 0;                  // slots taken in the last block
  XmlElement* document_ = nullptr;
};

// A UTF-16 name as the parser's UTF-8; null reads as empty.
std::string NameToUtf8(const XCHAR* name);

}  // namespace tabrow

#endif  // TABROW_ARCHIVE_XML_NODE_H_

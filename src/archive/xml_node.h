// The nodes an XML_Archive hands out: one object per element (and one for the document), made
// when first asked for and kept by the document's node table until the document is opened
// again or destroyed. The same object serves as the element's child enumerator.
#ifndef TABROW_ARCHIVE_XML_NODE_H_
#define TABROW_ARCHIVE_XML_NODE_H_

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <unordered_map>

#include "tabrow/xmldoc.h"

namespace tabrow {

class XmlNodeTable;

class XmlElement final : public XML_Node, public XML_NodeList {
 public:
  XmlElement(pugi::xml_node node, XmlNodeTable* table) : node_(node), table_(table) {}
  ~XmlElement() = default;

  pugi::xml_node node() const { return node_; }
  XmlNodeTable* table() const { return table_; }

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
  pugi::xml_node node_;
  XmlNodeTable* table_;
};

// The node objects of one document, by the parser's node.
class XmlNodeTable {
 public:
  // The object for `node` (made on first use), or null for an empty node.
  XmlElement* Get(pugi::xml_node node);
  // The object already made for the node a position marks, or null.
  XmlElement* Find(uintptr_t mark) const;
  // Forgets every object (the document is about to change).
  void Clear() { nodes_.clear(); }

  // The position mark of a node.
  static uintptr_t Mark(pugi::xml_node node) {
    return reinterpret_cast<uintptr_t>(node.internal_object());
  }

 private:
  std::unordered_map<uintptr_t, std::unique_ptr<XmlElement>> nodes_;
};

// The first child element of `parent` named `name` (UTF-8), or an empty node.
pugi::xml_node FindChildElement(pugi::xml_node parent, const std::string& name);

// A UTF-16 name as the parser's UTF-8; null reads as empty.
std::string NameToUtf8(const XCHAR* name);

}  // namespace tabrow

#endif  // TABROW_ARCHIVE_XML_NODE_H_

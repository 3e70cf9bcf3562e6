// Tabrow: XML documents read from memory or from an archive, and the nodes found in them.
//
// An XML_Archive holds one parsed document. SelectNode walks slash paths of element names:
//   "/a/b"  starts at the document: "a" must be the root element, "b" one of its children;
//   "a/b"   starts at the given parent node, or at the document when the parent is null;
//   ""      (or null) selects the parent itself, or the document when the parent is null.
// A step takes the first child element of that name; an empty step ("a//b") selects nothing; a
// trailing slash is allowed. Names compare case-sensitively.
//
// Nodes belong to their document: they stay valid until the document is opened again or
// destroyed, and are never freed by the caller. Asking twice for the same element gives the
// same node. The document itself is a node too (no name, its only child the root element).
//
// Every operation that copies text into a caller's buffer converts it to UTF-16 and writes at
// most capacity - 1 units and a NUL (nothing when capacity <= 0); when it finds nothing to copy
// it leaves the buffer untouched, so a caller that sets the first unit to 0 reads an empty value.
#ifndef TABROW_XMLDOC_H_
#define TABROW_XMLDOC_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"

class XML_NodeList;

// An element (or the document) of an XML_Archive. The operations are declared in a fixed order
// that callers rely on: GetName, IsName, GetParent, HasAttribute, GetAttribute, GetChildren,
// GetChild, GetNextSibling, GetText.
class TABROW_API XML_Node {
 public:
  // Copies the element name; 1, or 0 for the document node (buffer untouched).
  virtual int32_t GetName(XCHAR* buffer, int32_t capacity) = 0;
  // 1 when the element is named `name`, else 0.
  virtual int32_t IsName(const XCHAR* name) = 0;
  // The parent element, the document node for the root element, null for the document.
  virtual XML_Node* GetParent() = 0;
  // 1 when the element has an attribute named `name`, else 0.
  virtual int32_t HasAttribute(const XCHAR* name) = 0;
  // Copies the value of the attribute `name`; 1, or 0 when there is no such attribute.
  virtual int32_t GetAttribute(const XCHAR* name, XCHAR* buffer, int32_t capacity) = 0;
  // The enumerator of the child elements, or null when there are none.
  virtual XML_NodeList* GetChildren() = 0;
  // The first child element named `name`, or null.
  virtual XML_Node* GetChild(const XCHAR* name) = 0;
  // The next element of the same parent, or null.
  virtual XML_Node* GetNextSibling() = 0;
  // Copies the element's text: its first character data (plain or CDATA) child. 1, or 0 when
  // it has none (buffer untouched).
  virtual int32_t GetText(XCHAR* buffer, int32_t capacity) = 0;

 protected:
  ~XML_Node() = default;
};

// The child elements of one node, in document order. Only elements are enumerated (no text,
// comments or processing instructions). The operations are declared in a fixed order that
// callers rely on: GetCount, GetItem, GetOwner, GetNext.
class TABROW_API XML_NodeList {
 public:
  // The number of child elements.
  virtual int32_t GetCount() = 0;
  // The child element at `index` (from 0), or null.
  virtual XML_Node* GetItem(int32_t index) = 0;
  // The node whose children these are.
  virtual XML_Node* GetOwner() = 0;
  // Enumerates: start with *position 0. Each call that returns a child leaves *position
  // non-zero (an opaque mark of that child); the call that finds no further child returns null
  // and sets *position to 0. A position that does not mark a child of this node ends the
  // enumeration the same way.
  virtual XML_Node* GetNext(uintptr_t* position) = 0;

 protected:
  ~XML_NodeList() = default;
};

// One XML document. A new one is empty. Opening replaces the content; a document that fails to
// parse is left empty.
class TABROW_API XML_Archive {
 public:
  XML_Archive();
  ~XML_Archive();
  XML_Archive(const XML_Archive&) = delete;
  XML_Archive& operator=(const XML_Archive&) = delete;

  // Parses `count` bytes of text: UTF-8 when `utf8` is 1, else code page 936, converted first
  // (a byte order mark is passed over). 1 on success, 0 when the text is not a well-formed
  // document (or text is null).
  int32_t OpenBuffer(const char* text, uint32_t count, int32_t utf8);
  // Parses the whole content of `archive`. The encoding follows the byte order mark, else the
  // XML declaration: gb2312, gbk and gb18030 read as code page 936, anything else as UTF-8.
  // 1 on success, 0 on a malformed document or a null archive. The archive is left rewound.
  int32_t OpenArchive(IArchive* archive);
  // Replaces the content by a deep copy of `source`'s; 1, or 0 when memory runs out.
  int32_t CopyFrom(const XML_Archive& source);
  // 1 when the document has no root element, else 0.
  int32_t IsEmptyDoc();
  // The node a path selects (see the top of this file), or null. `parent` must be a node of
  // this document or null.
  XML_Node* SelectNode(const XCHAR* path, XML_Node* parent);

 private:
  struct Impl;
  Impl* impl_;
};

#endif  // TABROW_XMLDOC_H_

#include "archive/xml_node.h"

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "platform/codepage.h"
#include "platform/text.h"

namespace tabrow {

namespace {

// Node objects are dropped with their blocks, never destroyed one by one.
static_assert(std::is_trivially_destructible<XmlElement>::value, "XmlElement must not own");

constexpr size_t kBlockSlots = 1024;

bool IsElement(pugi::xml_node node) {
  return node.type() == pugi::node_element;
}

// `node` itself when it is an element, else the first element among its next siblings; an
// empty node when there is none.
pugi::xml_node ElementFrom(pugi::xml_node node) {
  // An empty node reads as type node_null, which ends the walk without a further call.
  for (;; node = node.next_sibling()) {
    const pugi::xml_node_type type = node.type();
    if (type == pugi::node_element) return node;
    if (type == pugi::node_null) return pugi::xml_node();
  }
}

uintptr_t Mark(const XmlElement* node) {
  return reinterpret_cast<uintptr_t>(node);
}

}  // namespace

std::string NameToUtf8(const XCHAR* name) {
  return EncodeText(CodePage::kUtf8, name, TextLength(name));
}

XmlElement* XmlNodeArena::Document(pugi::xml_node document) {
  if (document_ == nullptr) document_ = Make(document, nullptr, 0);
  return document_;
}

XmlElement* XmlNodeArena::Make(pugi::xml_node node, XmlElement* parent, int32_t ordinal) {
  if (blocks_.empty() || used_ == kBlockSlots) {
    blocks_.reserve(blocks_.size() + 1);  // so that the new block is never lost
    blocks_.push_back(std::allocator<XmlElement>().allocate(kBlockSlots));
    used_ = 0;
  }
  return new (blocks_.back() + used_++) XmlElement(node, parent, ordinal, this);
}

XmlElement* XmlNodeArena::Made(uintptr_t address) const {
  // Compared as numbers: an address that is no object's is never followed.
  for (size_t b = 0; b < blocks_.size(); ++b) {
    const uintptr_t first = Mark(blocks_[b]);
    const size_t slots = b + 1 < blocks_.size() ? kBlockSlots : used_;
    const uintptr_t offset = address - first;
    if (address >= first && offset % sizeof(XmlElement) == 0 && offset / sizeof(XmlElement) < slots)
      return blocks_[b] + offset / sizeof(XmlElement);
  }
  return nullptr;
}

void XmlNodeArena::Clear() {
  for (XmlElement* block : blocks_) std::allocator<XmlElement>().deallocate(block, kBlockSlots);
  blocks_.clear();
  used_ = 0;
  document_ = nullptr;
}

XmlElement* XmlElement::ChildAfter(XmlElement* child) {
  bool& known = child != nullptr ? child->nextKnown_ : firstKnown_;
  XmlElement*& link = child != nullptr ? child->next_ : first_;
  if (known) return link;
  const int32_t ordinal = child != nullptr ? child->ordinal_ + 1 : 0;
  const pugi::xml_node node =
      ElementFrom(child != nullptr ? child->node_.next_sibling() : node_.first_child());
  if (node.empty()) {
    count_ = ordinal;
  } else {
    link = arena_->Make(node, this, ordinal);
  }
  known = true;
  return link;
}

XmlElement* XmlElement::ChildAt(int32_t index) {
  if (index < 0 || (count_ >= 0 && index >= count_)) return nullptr;
  XmlElement* child =
      cursor_ != nullptr && cursor_->ordinal_ <= index ? cursor_ : ChildAfter(nullptr);
  while (child != nullptr && child->ordinal_ < index) child = ChildAfter(child);
  if (child != nullptr) cursor_ = child;
  return child;
}

XmlElement* XmlElement::MarkedChild(uintptr_t mark) {
  if (cursor_ != nullptr && Mark(cursor_) == mark) return cursor_;
  XmlElement* node = arena_->Made(mark);
  return node != nullptr && node->parent_ == this ? node : nullptr;
}

XmlElement* XmlElement::FindChild(const char* name, size_t length) {
  for (XmlElement* child = ChildAfter(nullptr); child != nullptr; child = ChildAfter(child)) {
    const char* candidate = child->node_.name();
    if (std::strncmp(candidate, name, length) == 0 && candidate[length] == 0) return child;
  }
  return nullptr;
}

int32_t XmlElement::GetName(XCHAR* buffer, int32_t capacity) {
  if (!IsElement(node_)) return 0;
  DecodeUtf8Into(node_.name(), buffer, capacity);
  return 1;
}

int32_t XmlElement::IsName(const XCHAR* name) {
  return IsElement(node_) && name != nullptr && NameToUtf8(name) == node_.name();
}

XML_Node* XmlElement::GetParent() {
  return parent_;
}

int32_t XmlElement::HasAttribute(const XCHAR* name) {
  return !node_.attribute(NameToUtf8(name).c_str()).empty();
}

int32_t XmlElement::GetAttribute(const XCHAR* name, XCHAR* buffer, int32_t capacity) {
  pugi::xml_attribute attribute = node_.attribute(NameToUtf8(name).c_str());
  if (attribute.empty()) return 0;
  DecodeUtf8Into(attribute.value(), buffer, capacity);
  return 1;
}

XML_NodeList* XmlElement::GetChildren() {
  return ChildAfter(nullptr) != nullptr ? this : nullptr;
}

XML_Node* XmlElement::GetChild(const XCHAR* name) {
  std::string utf8 = NameToUtf8(name);
  return FindChild(utf8.data(), utf8.size());
}

XML_Node* XmlElement::GetNextSibling() {
  return parent_ != nullptr ? parent_->ChildAfter(this) : nullptr;
}

int32_t XmlElement::GetText(XCHAR* buffer, int32_t capacity) {
  // The first character data child; only an empty value needs the second look that tells an
  // empty child from none.
  const char* value = node_.child_value();
  if (*value == 0 && node_.text().empty()) return 0;
  DecodeUtf8Into(value, buffer, capacity);
  return 1;
}

int32_t XmlElement::GetCount() {
  if (count_ < 0) {
    // Making the last child settles the count.
    for (XmlElement* child = cursor_ != nullptr ? cursor_ : ChildAfter(nullptr); child != nullptr;)
      child = ChildAfter(child);
  }
  return count_;
}

XML_Node* XmlElement::GetItem(int32_t index) {
  return ChildAt(index);
}

XML_Node* XmlElement::GetOwner() {
  return this;
}

XML_Node* XmlElement::GetNext(uintptr_t* position) {
  if (position == nullptr) return nullptr;
  XmlElement* next = nullptr;
  if (*position == 0) {
    next = ChildAfter(nullptr);
  } else if (XmlElement* marked = MarkedChild(*position)) {
    next = ChildAfter(marked);
  }
  if (next != nullptr) cursor_ = next;
  *position = Mark(next);
  return next;
}

}  // namespace tabrow

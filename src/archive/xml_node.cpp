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

}  // namespace

std::string NameToUtf8(const XCHAR* name) {
  return EncodeText(CodePage::kUtf8, name, TextLength(name));
}

XmlElement* XmlNodeArena::Document(pugi::xml_node document) {
  if (document_ == nullptr) document_ = new (Allocate(1)) XmlElement(document, nullptr, 0, this);
  return document_;
}

XmlElement* XmlNodeArena::Allocate(size_t count) {
  if (blocks_.empty() || blocks_.back().size - used_ < count) {
    size_t size = count > kBlockSlots ? count : kBlockSlots;
    blocks_.reserve(blocks_.size() + 1);  // so that the new block is never lost
    blocks_.push_back({std::allocator<XmlElement>().allocate(size), size});
    used_ = 0;
  }
  XmlElement* slots = blocks_.back().slots + used_;
  used_ += count;
  return slots;
}

void XmlNodeArena::Clear() {
  for (const Block& block : blocks_)
    std::allocator<XmlElement>().deallocate(block.slots, block.size);
  blocks_.clear();
  used_ = 0;
  document_ = nullptr;
}

int32_t XmlElement::ChildCount() {
  if (childCount_ >= 0) return childCount_;
  std::vector<pugi::xml_node>& found = arena_->Scratch();
  found.clear();
  // An empty node reads as type node_null, which ends the walk without a further call.
  for (pugi::xml_node node = node_.first_child();; node = node.next_sibling()) {
    const pugi::xml_node_type type = node.type();
    if (type == pugi::node_null) break;
    if (type == pugi::node_element) found.push_back(node);
  }
  const int32_t count = int32_t(found.size());
  if (count > 0) {
    children_ = arena_->Allocate(found.size());
    for (int32_t i = 0; i < count; ++i)
      new (children_ + i) XmlElement(found[size_t(i)], this, i, arena_);
  }
  childCount_ = count;
  return count;
}

XmlElement* XmlElement::ChildAt(int32_t index) {
  return index >= 0 && index < ChildCount() ? children_ + index : nullptr;
}

XmlElement* XmlElement::FindChild(const char* name, size_t length) {
  const int32_t count = ChildCount();
  for (int32_t i = 0; i < count; ++i) {
    const char* candidate = children_[i].node_.name();
    if (std::strncmp(candidate, name, length) == 0 && candidate[length] == 0) return children_ + i;
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
  return ChildCount() > 0 ? this : nullptr;
}

XML_Node* XmlElement::GetChild(const XCHAR* name) {
  std::string utf8 = NameToUtf8(name);
  return FindChild(utf8.data(), utf8.size());
}

XML_Node* XmlElement::GetNextSibling() {
  return parent_ != nullptr ? parent_->ChildAt(ordinal_ + 1) : nullptr;
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
  return ChildCount();
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
    next = ChildAt(0);
  } else if (ChildCount() > 0) {
    // The mark is compared as a number: only a child's own address is taken as one.
    const uintptr_t first = reinterpret_cast<uintptr_t>(children_);
    const uintptr_t offset = *position - first;
    if (*position >= first && offset % sizeof(XmlElement) == 0 &&
        offset / sizeof(XmlElement) < size_t(childCount_))
      next = ChildAt(int32_t(offset / sizeof(XmlElement)) + 1);
  }
  *position = reinterpret_cast<uintptr_t>(next);
  return next;
}

}  // namespace tabrow

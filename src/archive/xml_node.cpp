#include "archive/xml_node.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/text.h"

namespace tabrow {

namespace {

bool IsElement(pugi::xml_node node) {
  return node.type() == pugi::node_element;
}

pugi::xml_node NextElement(pugi::xml_node node) {
  do {
    node = node.next_sibling();
  } while (node && !IsElement(node));
  return node;
}

pugi::xml_node FirstElement(pugi::xml_node parent) {
  pugi::xml_node node = parent.first_child();
  return !node || IsElement(node) ? node : NextElement(node);
}

// Copies UTF-8 text as UTF-16 into a caller's buffer: at most capacity - 1 units and a NUL.
// A unit takes at least one byte of UTF-8, so decoding 4 x capacity bytes always yields more
// units than fit and the rest need not be decoded.
void CopyText(const char* text, XCHAR* buffer, int32_t capacity) {
  if (capacity <= 0) return;
  size_t length = std::strlen(text);
  size_t wanted = 4 * static_cast<size_t>(capacity);
  std::u16string units = DecodeText(CodePage::kUtf8, text, length < wanted ? length : wanted);
  TextCopyN(buffer, units.c_str(), capacity);
}

}  // namespace

std::string NameToUtf8(const XCHAR* name) {
  return EncodeText(CodePage::kUtf8, name, TextLength(name));
}

pugi::xml_node FindChildElement(pugi::xml_node parent, const std::string& name) {
  pugi::xml_node node = FirstElement(parent);
  while (node && name != node.name()) node = NextElement(node);
  return node;
}

XmlElement* XmlNodeTable::Get(pugi::xml_node node) {
  if (!node) return nullptr;
  std::unique_ptr<XmlElement>& slot = nodes_[Mark(node)];
  if (!slot) slot.reset(new XmlElement(node, this));
  return slot.get();
}

XmlElement* XmlNodeTable::Find(uintptr_t mark) const {
  auto found = nodes_.find(mark);
  return found == nodes_.end() ? nullptr : found->second.get();
}

int32_t XmlElement::GetName(XCHAR* buffer, int32_t capacity) {
  if (!IsElement(node_)) return 0;
  CopyText(node_.name(), buffer, capacity);
  return 1;
}

int32_t XmlElement::IsName(const XCHAR* name) {
  return IsElement(node_) && name != nullptr && NameToUtf8(name) == node_.name();
}

XML_Node* XmlElement::GetParent() {
  return table_->Get(node_.parent());
}

int32_t XmlElement::HasAttribute(const XCHAR* name) {
  return !node_.attribute(NameToUtf8(name).c_str()).empty();
}

int32_t XmlElement::GetAttribute(const XCHAR* name, XCHAR* buffer, int32_t capacity) {
  pugi::xml_attribute attribute = node_.attribute(NameToUtf8(name).c_str());
  if (attribute.empty()) return 0;
  CopyText(attribute.value(), buffer, capacity);
  return 1;
}

XML_NodeList* XmlElement::GetChildren() {
  return FirstElement(node_) ? this : nullptr;
}

XML_Node* XmlElement::GetChild(const XCHAR* name) {
  return table_->Get(FindChildElement(node_, NameToUtf8(name)));
}

XML_Node* XmlElement::GetNextSibling() {
  return IsElement(node_) ? table_->Get(NextElement(node_)) : nullptr;
}

int32_t XmlElement::GetText(XCHAR* buffer, int32_t capacity) {
  pugi::xml_text text = node_.text();
  if (text.empty()) return 0;
  CopyText(text.get(), buffer, capacity);
  return 1;
}

int32_t XmlElement::GetCount() {
  int32_t count = 0;
  for (pugi::xml_node node = FirstElement(node_); node; node = NextElement(node)) ++count;
  return count;
}

XML_Node* XmlElement::GetItem(int32_t index) {
  if (index < 0) return nullptr;
  pugi::xml_node node = FirstElement(node_);
  for (; node && index > 0; --index) node = NextElement(node);
  return table_->Get(node);
}

XML_Node* XmlElement::GetOwner() {
  return this;
}

XML_Node* XmlElement::GetNext(uintptr_t* position) {
  if (position == nullptr) return nullptr;
  pugi::xml_node next;
  if (*position == 0) {
    next = FirstElement(node_);
  } else {
    XmlElement* previous = table_->Find(*position);
    if (previous != nullptr && previous->node_.parent() == node_)
      next = NextElement(previous->node_);
  }
  *position = next ? XmlNodeTable::Mark(next) : 0;
  return table_->Get(next);
}

}  // namespace tabrow

#include "archive/xml_child_texts.h"

#include "archive/xml_node.h"

namespace tabrow {

void ReadChildTexts(XML_Node* node, const char** texts, int32_t count) {
  int32_t found = 0;
  // An empty node reads as type node_null, which ends the walk without a further call.
  for (pugi::xml_node child = static_cast<XmlElement*>(node)->Node().first_child(); found < count;
       child = child.next_sibling()) {
    const pugi::xml_node_type type = child.type();
    if (type == pugi::node_null) break;
    if (type == pugi::node_element) texts[found++] = child.child_value();
  }
  for (; found < count; ++found) texts[found] = nullptr;
}

}  // namespace tabrow

#include "archive/xml_child_texts.h"

#include "archive/xml_node.h"

namespace tabrow {

void ReadChildTexts(XML_Node* node, const char** texts, int32_t count) {
  int32_t found = 0;
  for (pugi::xml_node child = static_cast<XmlElement*>(node)->Node().first_child(); found < count;
       child = child.next_sibling()) {
    // Only an element has character data below it, so a child with text is an element and
    // needs no look at its type; an empty text can also be character data of the node's own,
    // or the end of the children (an empty node, of type node_null).
    const char* text = child.child_value();
    if (*text == 0) {
      const pugi::xml_node_type type = child.type();
      if (type == pugi::node_null) break;
      if (type != pugi::node_element) continue;
    }
    texts[found++] = text;
  }
  for (; found < count; ++found) texts[found] = nullptr;
}

}  // namespace tabrow

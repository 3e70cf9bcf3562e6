// The texts of a node's child elements read straight from the parsed document, in UTF-8, for a
// reader that takes many values at once (a grid's rows) and needs no node objects for them.
#ifndef TABROW_ARCHIVE_XML_CHILD_TEXTS_H_
#define TABROW_ARCHIVE_XML_CHILD_TEXTS_H_

#include "tabrow/xmldoc.h"

namespace tabrow {

// Sets texts[0..count) from the first `count` child elements of `node`, a node an XML_Archive
// handed out, in document order (other children are passed over): each child's first character
// data (plain or CDATA) in UTF-8, empty when it has none, and null where the children have run
// out. The texts live as long as the document's content.
void ReadChildTexts(XML_Node* node, const char** texts, int32_t count);

}  // namespace tabrow

#endif  // TABROW_ARCHIVE_XML_CHILD_TEXTS_H_

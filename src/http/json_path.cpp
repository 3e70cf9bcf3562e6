// Finding a node by a slash path of member names.
#include <cstring>
#include <string>

#include "http/doc_text.h"
#include "platform/text.h"
#include "tabrow/jsondoc.h"

namespace {

// A path name is held in 320 units: longer names are cut to their first 319.
constexpr size_t kNameRoom = 320;

XJsonNode* FindMember(XJsonNode* parent, const std::string& name) {
  for (XJsonNode* node = parent->Child; node != nullptr; node = node->Next) {
    if (node->Name != nullptr && std::strcmp(node->Name, name.c_str()) == 0) return node;
  }
  return nullptr;
}

}  // namespace

XJsonNode* XJsonDoc::FindNode(XJsonNode* start, int32_t utf8, const XCHAR* path) {
  if (path == nullptr) return start;
  XJsonNode* node = start;
  const XCHAR* p = path;
  while (tabrow::LoadUnit(p) != 0) {
    if (node == nullptr) return nullptr;
    const XCHAR* end = p;
    while (tabrow::LoadUnit(end) != 0 && tabrow::LoadUnit(end) != u'/') ++end;
    if (end == p) return nullptr;  // an empty name
    size_t length = size_t(end - p) < kNameRoom ? size_t(end - p) : kNameRoom - 1;
    node = FindMember(node, tabrow::TextToBytes(p, length, utf8));
    p = tabrow::LoadUnit(end) == u'/' ? end + 1 : end;
  }
  return node;
}

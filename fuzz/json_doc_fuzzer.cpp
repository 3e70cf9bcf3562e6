// Parses the fuzzer's bytes as a JSON-like answer twice, from an archive and in place from a text
// block exactly as long as the bytes, and checks that both give one result and one tree, and
// that a deep copy gives it again. Then walks every node: each member is found again by its own
// name under its parent, and each node is converted into a unit of every wanted type, with the
// results the conversions promise. A path drawn from the input is looked up from the root and
// from its first child.
//
// Input: a flag byte (bit 0: the document is UTF-8), a UTF-16 path text, then the document.
#include <cstring>
#include <memory>
#include <utility>

#include "fuzz_check.h"
#include "grid_walk.h"

namespace {

bool SameText(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return std::strcmp(a, b) == 0;
}

bool SameNode(const XJsonNode& a, const XJsonNode& b) {
  if (a.Kind != b.Kind || !SameText(a.Name, b.Name)) return false;
  switch (a.Kind) {
    case XDT_LONG:
      return a.Value.Long == b.Value.Long;
    case XDT_STRING:
      return SameText(a.Value.Text, b.Value.Text);
    case XDT_DOUBLE:
      return std::memcmp(&a.Value.Double, &b.Value.Double, sizeof(double)) == 0;
    default:
      return true;
  }
}

// Both trees have the same shape, kinds, names and values.
bool SameTree(const XJsonNode* a, const XJsonNode* b) {
  std::vector<std::pair<const XJsonNode*, const XJsonNode*>> pending{{a, b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x == nullptr || y == nullptr) {
      if (x != y) return false;
      continue;
    }
    if (!SameNode(*x, *y)) return false;
    pending.push_back({x->Next, y->Next});
    pending.push_back({x->Child, y->Child});
  }
  return true;
}

// A name a path can spell as it is: printable ASCII without a slash, short enough for the
// lookup's name buffer.
bool IsPlainName(const char* name) {
  size_t length = std::strlen(name);
  if (length == 0 || length > 300) return false;
  for (const char* c = name; *c != 0; ++c) {
    if (*c < 0x20 || *c > 0x7E || *c == '/') return false;
  }
  return true;
}

// Every member is found by its own name under its parent (the first of that name wins); other
// names are looked up too, converted from the document's code page.
void CheckFindByName(const XJsonNode* parent, const XJsonNode& node, int32_t utf8) {
  XJsonNode* start = const_cast<XJsonNode*>(parent);
  if (IsPlainName(node.Name)) {
    std::u16string name(node.Name, node.Name + std::strlen(node.Name));
    XJsonNode* found = XJsonDoc::FindNode(start, utf8, name.c_str());
    fuzz::Require(found != nullptr && SameText(found->Name, node.Name),
                  "a member is found by its name");
    fuzz::Require(XJsonDoc::FindNode(start, utf8, (name + u"/").c_str()) == found,
                  "a trailing slash finds the same member");
    return;
  }
  XCakeArchive bytes;
  bytes.SetBuffer(node.Name, static_cast<uint32_t>(std::strlen(node.Name)));
  XCHAR* name = MallocTextDoc(&bytes, utf8);
  if (name == nullptr) return;
  XJsonDoc::FindNode(start, utf8, name);
  XMem_Free(name);
}

// Converts `node` into a unit of every wanted type (7 names none) and checks the result.
void CheckConversions(const XJsonNode& node, int32_t utf8) {
  for (uint16_t wanted :
       {uint16_t(0), XDT_LONG, XDT_STRING, XDT_DOUBLE, XDT_DATETIME, uint16_t(7)}) {
    XDataUnit unit;
    SetUnitNull(&unit);
    int32_t result = XJsonDoc::NodeToUnit(&node, utf8, &unit, wanted);
    // A node a failed parse left unread has kind 0, as objects and arrays it has no value.
    bool valued = node.Kind == XDT_STRING || node.Kind == XJT_NULL;
    bool number = node.Kind == XDT_LONG || node.Kind == XDT_DOUBLE;
    bool none = !(valued || number) || wanted == 7 || (number && wanted == XDT_DATETIME);
    fuzz::Require(result == (none ? 0 : 1), "a node converts exactly where a conversion exists");
    if (number && result == 1 && wanted != 0) {
      fuzz::Require((unit.Null & 1) == 0 && unit.Type == wanted,
                    "a number converts to the type wanted");
    }
    fuzz::TouchValue(unit);
    ClearUnitData(&unit);
  }
}

void WalkTree(const XJsonDoc& document) {
  const int32_t utf8 = document.IsUtf8();
  std::vector<std::pair<const XJsonNode*, const XJsonNode*>> pending{{nullptr, document.GetRoot()}};
  while (!pending.empty()) {
    auto [parent, node] = pending.back();
    pending.pop_back();
    if (node == nullptr) continue;
    if (parent != nullptr && node->Name != nullptr) CheckFindByName(parent, *node, utf8);
    CheckConversions(*node, utf8);
    pending.push_back({parent, node->Next});
    pending.push_back({node, node->Child});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const int32_t utf8 = input.Byte() & 1;
  const std::u16string path = input.Text();
  const std::vector<uint8_t> text = input.Rest();

  XCakeArchive archive;
  archive.SetBuffer(text.data(), static_cast<uint32_t>(text.size()));
  XJsonDoc from_archive;
  int32_t loaded = from_archive.LoadArchive(utf8, &archive);
  fuzz::Require(loaded == 0 || loaded == 1, "loading gives 1 or 0");

  // The block is exactly as long as the input, so a read past its end is caught.
  std::unique_ptr<char[]> block(new char[text.size()]);
  if (!text.empty()) std::memcpy(block.get(), text.data(), text.size());
  XJsonDoc from_text;
  fuzz::Require(from_text.LoadText(utf8, block.get(), static_cast<uint32_t>(text.size())) == loaded,
                "both loads give one result");
  fuzz::Require(from_text.IsUtf8() == from_archive.IsUtf8(), "both loads read one code page");
  fuzz::Require(SameTree(from_archive.GetRoot(), from_text.GetRoot()), "both loads build one tree");

  XJsonDoc copy;
  fuzz::Require(copy.CopyFrom(from_text) == 1, "a document copies");
  fuzz::Require(SameTree(copy.GetRoot(), from_text.GetRoot()), "a copy holds the same tree");

  WalkTree(from_text);
  XJsonNode* root = from_text.GetRoot();
  fuzz::Require(XJsonDoc::FindNode(root, utf8, u"") == root, "the empty path gives the start");
  XJsonDoc::FindNode(root, from_text.IsUtf8(), path.c_str());
  if (root != nullptr) XJsonDoc::FindNode(root->Child, from_text.IsUtf8(), path.c_str());
  return 0;
}

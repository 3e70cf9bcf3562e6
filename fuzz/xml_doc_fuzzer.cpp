// Loads the fuzzer's bytes as an XML document three ways (a UTF-8 block, a code page 936 block,
// an archive whose declaration or byte order mark decides), walks every element of each and
// reads it into a grid with FromXmlDoc. A grid that reads is written back with WriteXmlDoc; that
// document must load and read into a grid that writes the same document again, and stores the
// same bytes as the first grid when no column is lossy (doubles keep eight decimals, date-times
// whole seconds). Infinities have no form that reads back and are left out of the round trip.
//
// Input: a UTF-16 text (an attribute name and a path to select), then the document.
#include <cmath>
#include <cstring>

#include "fuzz_check.h"

namespace {

constexpr int32_t kNameRoom = 320;
constexpr XCHAR kUnwritten = u'\xFFFF';

// Copies a text with a capacity into a larger buffer and checks that no unit beyond the
// capacity was written and that a copy is terminated within it.
template <typename Read>
void CheckBounded(int32_t capacity, Read read) {
  std::vector<XCHAR> buffer(size_t(capacity) + 4, kUnwritten);
  int32_t copied = read(buffer.data(), capacity);
  for (size_t i = size_t(capacity); i < buffer.size(); ++i) {
    fuzz::Require(buffer[i] == kUnwritten, "a copy stays within its capacity");
  }
  if (copied == 1 && capacity > 0) {
    bool ended = false;
    for (int32_t i = 0; i < capacity && !ended; ++i) ended = buffer[size_t(i)] == 0;
    fuzz::Require(ended, "a copy is terminated within its capacity");
  }
}

void CheckTexts(XML_Node* node, const std::u16string& attribute) {
  CheckBounded(8192, [&](XCHAR* b, int32_t c) { return node->GetText(b, c); });
  for (int32_t capacity : {0, 1, 2, 7, 320}) {
    CheckBounded(capacity, [&](XCHAR* b, int32_t c) { return node->GetText(b, c); });
    CheckBounded(capacity, [&](XCHAR* b, int32_t c) { return node->GetName(b, c); });
    for (const XCHAR* name : {u"Type", attribute.c_str()}) {
      CheckBounded(capacity, [&](XCHAR* b, int32_t c) {
        int32_t found = node->GetAttribute(name, b, c);
        fuzz::Require(found == node->HasAttribute(name),
                      "GetAttribute finds what HasAttribute has");
        return found;
      });
    }
  }
}

// A name copied whole, with no unit standing for bytes its encoding does not allow: the parser
// keeps such bytes in names as they are, so only the name read is U+FFFD, not the element's.
bool IsWholeName(const XCHAR* name) {
  size_t length = 0;
  for (; name[length] != 0; ++length) {
    if (name[length] == u'\xFFFD') return false;
  }
  return length < size_t(kNameRoom - 1);
}

// The children of `node` as its enumerator, its index and the sibling links give them.
void CheckChildren(XML_Node* node, std::vector<XML_Node*>* pending) {
  XML_NodeList* children = node->GetChildren();
  if (children == nullptr) return;
  fuzz::Require(children->GetOwner() == node, "a child list knows its owner");
  int32_t count = 0;
  XML_Node* previous = nullptr;
  uintptr_t position = 0;
  for (XML_Node* child = children->GetNext(&position); position != 0;
       child = children->GetNext(&position)) {
    fuzz::Require(child != nullptr && children->GetItem(count) == child, "GetNext follows GetItem");
    fuzz::Require(child->GetParent() == node, "a child's parent is its owner");
    if (previous != nullptr) {
      fuzz::Require(previous->GetNextSibling() == child, "siblings follow the enumeration");
    }
    XCHAR name[kNameRoom];
    name[0] = 0;
    if (child->GetName(name, kNameRoom) == 1 && IsWholeName(name)) {
      fuzz::Require(child->IsName(name) == 1, "an element is named its own name");
      XML_Node* first = node->GetChild(name);
      fuzz::Require(first != nullptr && first->IsName(name) == 1, "GetChild finds a named child");
    }
    pending->push_back(child);
    previous = child;
    ++count;
  }
  fuzz::Require(count > 0 && count == children->GetCount(), "a child list counts its children");
  fuzz::Require(previous->GetNextSibling() == nullptr, "the last child has no next sibling");
  fuzz::Require(children->GetItem(count) == nullptr, "no child past the count");
}

void WalkDocument(XML_Archive* document, const std::u16string& text) {
  XML_Node* top = document->SelectNode(u"", nullptr);
  fuzz::Require(top != nullptr, "the empty path selects the document");
  std::vector<XML_Node*> pending{top};
  while (!pending.empty()) {
    XML_Node* node = pending.back();
    pending.pop_back();
    CheckTexts(node, text);
    CheckChildren(node, &pending);
    document->SelectNode(text.c_str(), node);
  }
  document->SelectNode(text.c_str(), nullptr);
}

// The grid's stored form, its lines' binders (the rows' nodes) cleared first.
std::vector<uint8_t> Store(XRowGrider* grider) {
  for (void* line = grider->GetNextLine(nullptr); line != nullptr;
       line = grider->GetNextLine(line)) {
    grider->SetLineBinder(line, 0);
  }
  XMemoArchive archive;
  fuzz::Require(grider->Serialize(&archive, 1, 0) != 0, "a grid stores into memory");
  return fuzz::Contents(&archive);
}

std::vector<uint8_t> WriteXml(XRowGrider* grider) {
  XMemoArchive archive;
  fuzz::Require(grider->WriteXmlDoc(&archive) == 1, "a grid read from XML writes XML");
  return fuzz::Contents(&archive);
}

// Reads the Rowset document in `bytes` into `grider`; it must read.
void ReadXml(const std::vector<uint8_t>& bytes, XRowGrider* grider) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  XML_Archive document;
  fuzz::Require(document.OpenArchive(&archive) == 1, "a written Rowset document loads");
  fuzz::Require(grider->FromXmlDoc(&document) == 1, "a written Rowset document reads");
}

bool HasLossyColumn(XRowGrider* grider) {
  for (int32_t column = 0; column < grider->GetColCounter(); ++column) {
    uint16_t type = grider->GetType()[column];
    if (type == XDT_DOUBLE || type == XDT_DATETIME) return true;
  }
  return false;
}

// A cell holds an infinity (a number text too large for a double reads as one): the document
// writes it as "inf", which no number reader takes back.
bool HasInfinity(XRowGrider* grider) {
  for (void* line = grider->GetNextLine(nullptr); line != nullptr;
       line = grider->GetNextLine(line)) {
    for (int32_t column = 0; column < grider->GetColCounter(); ++column) {
      XDataUnit unit;
      grider->GetValue(line, column, &unit);
      if ((unit.Null & 1) == 0 && unit.Type == XDT_DOUBLE && std::isinf(unit.Value.Double)) {
        return true;
      }
    }
  }
  return false;
}

void CheckRowset(XML_Archive* document) {
  XRowGrider first;
  int32_t read = first.FromXmlDoc(document);
  fuzz::Require(read == 0 || read == 1, "FromXmlDoc gives 1 or 0");
  if (read == 0) return;
  std::vector<uint8_t> stored = Store(&first);
  std::vector<uint8_t> written = WriteXml(&first);
  if (HasInfinity(&first)) return;
  XRowGrider second;
  ReadXml(written, &second);
  fuzz::Require(WriteXml(&second) == written, "a grid read back writes the same document");
  std::vector<uint8_t> stored_again = Store(&second);
  if (!HasLossyColumn(&first)) {
    fuzz::Require(stored_again == stored, "a grid read back stores the same bytes");
  }
  XRowGrider third;
  ReadXml(WriteXml(&second), &third);
  fuzz::Require(Store(&third) == stored_again, "a written grid reads back the same");
}

void CheckDocument(XML_Archive* document, int32_t opened, const std::u16string& text) {
  fuzz::Require(opened == 0 || opened == 1, "opening gives 1 or 0");
  fuzz::Require(document->IsEmptyDoc() == (opened == 1 ? 0 : 1), "a document opens or is empty");
  if (opened == 0) return;
  WalkDocument(document, text);
  CheckRowset(document);
  XML_Archive copy;
  fuzz::Require(copy.CopyFrom(*document) == 1, "a document copies");
  XRowGrider original;
  XRowGrider copied;
  fuzz::Require(original.FromXmlDoc(document) == copied.FromXmlDoc(&copy),
                "a copy reads as its source");
  fuzz::Require(Store(&original) == Store(&copied), "a copy reads into the same grid");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const std::u16string text = input.Text();
  const std::vector<uint8_t> bytes = input.Rest();
  const char* block = reinterpret_cast<const char*>(bytes.data());
  const uint32_t count = static_cast<uint32_t>(bytes.size());

  XML_Archive utf8;
  CheckDocument(&utf8, utf8.OpenBuffer(block, count, 1), text);
  XML_Archive ansi;
  CheckDocument(&ansi, ansi.OpenBuffer(block, count, 0), text);
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), count);
  XML_Archive declared;
  CheckDocument(&declared, declared.OpenArchive(&archive), text);
  return 0;
}

// XML_Archive over pugixml. Text in code page 936 is converted to UTF-16 before parsing; the
// parser keeps every document in UTF-8.
#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <vector>

#include "archive/xml_node.h"
#include "platform/codepage.h"
#include "tabrow/xmldoc.h"

namespace tabrow {

namespace {

// Character data that starts an element is kept in the element itself rather than in a node of
// its own: a document of many small values (a grid's rows) takes about half the nodes. Texts are
// read through child_value and text(), which look there first.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

bool StartsWith(const std::vector<char>& bytes, const char* prefix) {
  size_t length = std::strlen(prefix);
  return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

bool HasByteOrderMark(const std::vector<char>& bytes) {
  return StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFF\xFE") ||
         StartsWith(bytes, "\xFE\xFF");
}

// The encoding named by an XML declaration at the start of `bytes`, in lower case, or empty.
std::string DeclaredEncoding(const std::vector<char>& bytes) {
  if (!StartsWith(bytes, "<?xml")) return std::string();
  std::string head(bytes.data(), bytes.size() < 256 ? bytes.size() : 256);
  size_t end = head.find("?>");
  size_t key = head.find("encoding");
  if (end == std::string::npos || key == std::string::npos || key > end) return std::string();
  size_t quote = head.find_first_of("\"'", key);
  if (quote == std::string::npos || quote > end) return std::string();
  size_t close = head.find(head[quote], quote + 1);
  if (close == std::string::npos || close > end) return std::string();
  std::string name = head.substr(quote + 1, close - quote - 1);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// The parser accepts several top-level elements; a well-formed document has exactly one.
bool HasOneRoot(const pugi::xml_document& document) {
  int32_t roots = 0;
  for (pugi::xml_node node : document.children()) roots += node.type() == pugi::node_element;
  return roots == 1;
}

bool IsAnsiEncoding(const std::string& name) {
  return name == "gb2312" || name == "gbk" || name == "gb18030";
}

// Reads the whole archive from its start and rewinds it.
std::vector<char> ReadAll(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  std::vector<char> bytes(length);
  archive->SeekToBegin();
  size_t done = 0;
  while (done < bytes.size()) {
    int32_t read = archive->Read(bytes.data() + done, static_cast<uint32_t>(bytes.size() - done));
    if (read <= 0) break;
    done += static_cast<size_t>(read);
  }
  bytes.resize(done);
  archive->SeekToBegin();
  return bytes;
}

}  // namespace

}  // namespace tabrow

struct XML_Archive::Impl {
  // Parses `count` bytes in `encoding`; on failure the document is left empty.
  int32_t Load(const void* bytes, size_t count, pugi::xml_encoding encoding) {
    nodes.Clear();
    if (document.load_buffer(bytes, count, tabrow::kParseOptions, encoding) &&
        tabrow::HasOneRoot(document)) {
      return 1;
    }
    document.reset();
    return 0;
  }

  // Converts code page 936 text to UTF-16 and parses that.
  int32_t LoadAnsi(const char* bytes, size_t count) {
    std::u16string units = tabrow::DecodeText(tabrow::CodePage::kAnsi, bytes, count);
    return Load(units.data(), units.size() * sizeof(XCHAR), pugi::encoding_utf16_le);
  }

  pugi::xml_document document;
  tabrow::XmlNodeArena nodes;
};

XML_Archive::XML_Archive() : impl_(new Impl) {}

XML_Archive::~XML_Archive() {
  delete impl_;
}

int32_t XML_Archive::OpenBuffer(const char* text, uint32_t count, int32_t utf8) {
  if (text == nullptr) return impl_->Load("", 0, pugi::encoding_utf8);
  if (utf8 == 0) return impl_->LoadAnsi(text, count);
  return impl_->Load(text, count, pugi::encoding_utf8);
}

int32_t XML_Archive::OpenArchive(IArchive* archive) {
  if (archive == nullptr) return impl_->Load("", 0, pugi::encoding_utf8);
  std::vector<char> bytes = tabrow::ReadAll(archive);
  if (tabrow::HasByteOrderMark(bytes)) {
    return impl_->Load(bytes.data(), bytes.size(), pugi::encoding_auto);
  }
  if (tabrow::IsAnsiEncoding(tabrow::DeclaredEncoding(bytes))) {
    return impl_->LoadAnsi(bytes.data(), bytes.size());
  }
  return impl_->Load(bytes.data(), bytes.size(), pugi::encoding_utf8);
}

int32_t XML_Archive::CopyFrom(const XML_Archive& source) {
  if (&source == this) return 1;
  impl_->nodes.Clear();
  impl_->document.reset(source.impl_->document);
  return 1;
}

int32_t XML_Archive::IsEmptyDoc() {
  return impl_->document.document_element().empty();
}

XML_Node* XML_Archive::SelectNode(const XCHAR* path, XML_Node* parent) {
  tabrow::XmlElement* document = impl_->nodes.Document(impl_->document);
  tabrow::XmlElement* node =
      parent != nullptr ? static_cast<tabrow::XmlElement*>(parent) : document;
  if (path == nullptr) return node;
  const XCHAR* p = path;
  if (*p == u'/') {
    node = document;
    ++p;
  }
  while (*p != 0) {
    const XCHAR* end = p;
    while (*end != 0 && *end != u'/') ++end;
    if (end == p) return nullptr;  // an empty step
    std::string name = tabrow::EncodeText(tabrow::CodePage::kUtf8, p, size_t(end - p));
    node = node->FindChild(name.data(), name.size());
    if (node == nullptr) return nullptr;
    p = *end == u'/' ? end + 1 : end;
  }
  return node;
}

// The JSON document: loading (byte order marks, the document's own text) and deep copies.
#include <cstdlib>
#include <cstring>
#include <string>

#include "http/doc_text.h"
#include "http/json_parser.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "tabrow/jsondoc.h"

struct XJsonDoc::Pool : tabrow::JsonNodePool {};

namespace {

bool StartsWith(const char* text, uint32_t length, const char* mark, uint32_t markLength) {
  return length >= markLength && std::memcmp(text, mark, markLength) == 0;
}

// Bytes needed to hold every name and string of a tree, each with its NUL.
size_t TextBytes(const XJsonNode* node) {
  size_t bytes = 0;
  for (; node != nullptr; node = node->Next) {
    if (node->Name != nullptr) bytes += std::strlen(node->Name) + 1;
    if (node->Kind == XDT_STRING && node->Value.Text != nullptr) {
      bytes += std::strlen(node->Value.Text) + 1;
    }
    bytes += TextBytes(node->Child);
  }
  return bytes;
}

class TreeCopier {
 public:
  TreeCopier(tabrow::JsonNodePool* pool, char* text) : pool_(pool), text_(text) {}

  // Copies `source` with its children and following siblings; false when memory runs out.
  bool Copy(const XJsonNode* source, XJsonNode** target) {
    for (; source != nullptr; source = source->Next) {
      XJsonNode* node = pool_->New();
      if (node == nullptr) return false;
      *node = *source;
      node->Child = node->Next = nullptr;
      node->Name = CopyText(source->Name);
      if (source->Kind == XDT_STRING) node->Value.Text = CopyText(source->Value.Text);
      *target = node;
      target = &node->Next;
      if (!Copy(source->Child, &node->Child)) return false;
    }
    return true;
  }

 private:
  char* CopyText(const char* text) {
    if (text == nullptr) return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = text_;
    std::memcpy(copy, text, size);
    text_ += size;
    return copy;
  }

  tabrow::JsonNodePool* pool_;
  char* text_;
};

}  // namespace

XJsonDoc::XJsonDoc() : utf8_(0), text_(nullptr), root_(nullptr), pool_(new Pool) {}

XJsonDoc::~XJsonDoc() {
  Reset();
  delete pool_;
}

void XJsonDoc::Reset() {
  pool_->Clear();
  root_ = nullptr;
  std::free(text_);
  text_ = nullptr;
}

int32_t XJsonDoc::LoadArchive(int32_t utf8, IArchive* archive) {
  Reset();
  utf8_ = utf8;
  if (archive == nullptr) return 0;
  uint32_t length = 0;
  archive->GetLength(&length);
  if (length == 0) return 1;
  text_ = static_cast<char*>(std::malloc(size_t(length) + 2));
  if (text_ == nullptr) return 0;
  uint32_t done = tabrow::ReadFromStart(archive, text_, length);
  text_[done] = text_[done + 1] = 0;
  return LoadText(utf8, text_, done);
}

int32_t XJsonDoc::LoadText(int32_t utf8, char* text, uint32_t length) {
  pool_->Clear();
  root_ = nullptr;
  if (text != text_) {  // a caller's text: the document's own is no longer needed
    std::free(text_);
    text_ = nullptr;
  }
  utf8_ = utf8;
  if (text == nullptr || length == 0 || text[0] == 0) return 1;
  if (StartsWith(text, length, "\xFF\xFE", 2)) {
    // UTF-16LE, up to its first NUL unit, becomes a UTF-8 text of the document's own.
    const XCHAR* units = reinterpret_cast<const XCHAR*>(text + 2);
    const size_t limit = (length - 2) / 2;
    size_t count = 0;
    while (count < limit && tabrow::LoadUnit(units + count) != 0) ++count;
    std::string converted = tabrow::EncodeText(tabrow::CodePage::kUtf8, units, count);
    char* own = static_cast<char*>(std::malloc(converted.size() + 1));
    if (own == nullptr) return 0;
    std::memcpy(own, converted.c_str(), converted.size() + 1);
    std::free(text_);
    text_ = own;
    utf8_ = 1;
    return Parse(text_, text_ + converted.size());
  }
  const char* end = static_cast<const char*>(std::memchr(text, 0, length));
  if (end == nullptr) end = text + length;
  if (StartsWith(text, length, "\xEF\xBB\xBF", 3)) {
    text += 3;
    utf8_ = 1;
  }
  return Parse(text, end);
}

int32_t XJsonDoc::Parse(char* text, const char* end) {
  root_ = pool_->New();
  if (root_ == nullptr) return 0;
  return tabrow::ParseJsonValue(text, end, root_, pool_) > 0 ? 1 : 0;
}

int32_t XJsonDoc::CopyFrom(const XJsonDoc& source) {
  if (&source == this) return 1;
  Reset();
  utf8_ = source.utf8_;
  if (source.root_ == nullptr) return 1;
  text_ = static_cast<char*>(std::malloc(TextBytes(source.root_) + 1));
  TreeCopier copier(pool_, text_);
  if (text_ == nullptr || !copier.Copy(source.root_, &root_)) {
    Reset();
    return 0;
  }
  return 1;
}

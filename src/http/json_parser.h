// The parser of JSON-like documents and the block allocator of their nodes. The grammar is
// described in tabrow/jsondoc.h.
#ifndef TABROW_HTTP_JSON_PARSER_H_
#define TABROW_HTTP_JSON_PARSER_H_

#include <memory>
#include <vector>

#include "tabrow/jsondoc.h"

namespace tabrow {

constexpr int64_t kJsonParseError = static_cast<int32_t>(0x80000001u);

// Lists nested deeper than this are a parse error, which keeps the parser's recursion bounded.
constexpr int32_t kJsonDepthLimit = 1000;

// Hands out zero-filled nodes from blocks that grow geometrically; frees them all at once.
class JsonNodePool {
 public:
  JsonNodePool() = default;
  JsonNodePool(const JsonNodePool&) = delete;
  JsonNodePool& operator=(const JsonNodePool&) = delete;

  // A zero-filled node, or null when memory runs out.
  XJsonNode* New() {
    if (next_ == limit_ && !Grow()) return nullptr;
    XJsonNode* node = next_++;
    *node = XJsonNode();
    return node;
  }
  // Frees every node.
  void Clear();

 private:
  bool Grow();

  std::vector<std::unique_ptr<XJsonNode[]>> blocks_;
  XJsonNode* next_ = nullptr;
  XJsonNode* limit_ = nullptr;
  size_t blockSize_ = 0;
};

// Parses one value from the text [text, end), which must not hold a NUL, into `node`, making
// child nodes from `pool`. Returns the bytes consumed (more than 0), or kJsonParseError, after
// which the nodes built so far stay linked under `node`.
int64_t ParseJsonValue(char* text, const char* end, XJsonNode* node, JsonNodePool* pool);

}  // namespace tabrow

#endif  // TABROW_HTTP_JSON_PARSER_H_

// One pass over the text, recursive over nested lists. Every step returns the position after
// what it read, or null for a parse error; no byte at or past the end is ever read.
#include "http/json_parser.h"

#include <new>

namespace tabrow {

namespace {

constexpr size_t kFirstBlock = 64;
constexpr size_t kLargestBlock = 16384;

inline bool IsBlank(char c) {
  return static_cast<unsigned char>(c - 1) < 32;  // bytes 1 to 32
}

inline bool IsDigit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

inline bool IsLetter(char c) {
  return static_cast<unsigned char>((c | 0x20) - 'a') < 26 || c == '_';
}

// The value of a hexadecimal digit, or -1.
inline int32_t HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  unsigned char lower = static_cast<unsigned char>(c | 0x20);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// True when [p, end) begins with `word` (lower case), ignoring the case of its letters.
bool StartsWithWord(const char* p, const char* end, const char* word, size_t length) {
  if (static_cast<size_t>(end - p) < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if ((p[i] | 0x20) != word[i]) return false;
  }
  return true;
}

void SetLong(XJsonNode* node, int32_t value) {
  node->Kind = XDT_LONG;
  node->Value.Long = value;
}

void SetDouble(XJsonNode* node, double value) {
  node->Kind = XDT_DOUBLE;
  node->Value.Double = value;
}

class Parser {
 public:
  Parser(const char* end, JsonNodePool* pool) : end_(end), pool_(pool) {}

  char* Value(char* p, XJsonNode* node, bool member);

 private:
  char* SkipBlanks(char* p) const {
    while (p < end_ && IsBlank(*p)) ++p;
    return p;
  }
  char* List(char* p, XJsonNode* node, char close, int32_t kind, bool members);
  char* Quoted(char* p, char** text) const;
  char* Escape(char* p, char** out) const;
  char* Number(char* p, XJsonNode* node) const;
  char* Keyword(char* p, XJsonNode* node) const;

  const char* end_;
  JsonNodePool* pool_;
  int32_t depth_ = 0;
};

char* Parser::Value(char* p, XJsonNode* node, bool member) {
  p = SkipBlanks(p);
  if (member && p < end_ && *p == '"') {
    char* text;
    p = Quoted(p, &text);
    if (p == nullptr) return nullptr;
    p = SkipBlanks(p);
    if (p == end_ || *p != ':') {  // a string without a member name
      node->Kind = XDT_STRING;
      node->Value.Text = text;
      return p;
    }
    node->Name = text;
    p = SkipBlanks(p + 1);
  }
  if (p == end_) return nullptr;
  switch (*p) {
    case '{':
      return List(p, node, '}', XJT_OBJECT, true);
    case '[':
      return List(p, node, ']', XJT_ARRAY, false);
    case '"':
    case '\'': {
      char* text;
      p = Quoted(p, &text);
      if (p != nullptr) {
        node->Kind = XDT_STRING;
        node->Value.Text = text;
      }
      return p;
    }
    case '-':
      return Number(p, node);
    default:
      if (IsDigit(*p)) return Number(p, node);
      if (IsLetter(*p)) return Keyword(p, node);
      return nullptr;
  }
}

char* Parser::List(char* p, XJsonNode* node, char close, int32_t kind, bool members) {
  if (++depth_ > kJsonDepthLimit) return nullptr;
  node->Kind = kind;
  XJsonNode** link = &node->Child;
  ++p;
  while (p < end_ && *p != close) {
    XJsonNode* child = pool_->New();
    if (child == nullptr) return nullptr;
    *link = child;
    link = &child->Next;
    p = Value(p, child, members);
    if (p == nullptr) return nullptr;
    p = SkipBlanks(p);
    if (p < end_ && *p == ',') ++p;
  }
  if (p == end_) return nullptr;
  --depth_;
  return p + 1;
}

// Reads a text quoted by the byte at p and unescapes it in place: *text points after the
// opening quote and the text is NUL-terminated at the latest where the closing quote was.
char* Parser::Quoted(char* p, char** text) const {
  const char quote = *p++;
  *text = p;
  // Until the first escape the text needs no moving.
  while (p < end_ && *p != quote && *p != '\\') ++p;
  char* out = p;
  while (p < end_) {
    char c = *p;
    if (c == quote) {
      *out = 0;
      return p + 1;
    }
    if (c == '\\') {
      p = Escape(p + 1, &out);
    } else {
      *out++ = c;
      ++p;
    }
  }
  return nullptr;
}

// Stores the byte of the escape whose backslash precedes p; returns the position after it.
char* Parser::Escape(char* p, char** out) const {
  if (p == end_) return p;  // the unterminated text fails in Quoted
  char c = *p;
  char value;
  switch (c) {
    case '"':
    case '\'':
    case '\\':
      value = c;
      ++p;
      break;
    case 'r':
      value = 13;
      ++p;
      break;
    case 'n':
      value = 10;
      ++p;
      break;
    case 't':
      value = 9;
      ++p;
      break;
    case 'x': {
      ++p;
      uint32_t code = 0;
      for (int32_t i = 0; i < 2 && p < end_ && HexDigit(*p) >= 0; ++i)
        code = code * 16 + HexDigit(*p++);
      value = static_cast<char>(code);
      break;
    }
    default:
      if (IsDigit(c)) {
        // Up to three digits from 0 to 8 (a 9 ends it, even as the first).
        uint32_t code = 0;
        for (int32_t i = 0; i < 3 && p < end_ && *p >= '0' && *p <= '8'; ++i)
          code = code * 8 + (*p++ - '0');
        value = static_cast<char>(code & 0xFF);
      } else {
        value = '\\';  // not an escape: the next byte is read as it is
      }
  }
  *(*out)++ = value;
  return p;
}

char* Parser::Number(char* p, XJsonNode* node) const {
  if (*p == '0' && p + 1 < end_ && (p[1] | 0x20) == 'x') {
    p += 2;
    uint64_t value = 0;
    for (int32_t digit; p < end_ && (digit = HexDigit(*p)) >= 0; ++p) value = value * 16 + digit;
    if (value > 0x7FFFFFFF) {
      SetDouble(node, static_cast<double>(value));
    } else {
      SetLong(node, static_cast<int32_t>(value));
    }
    return p;
  }
  const bool negative = *p == '-';
  if (negative) p = SkipBlanks(p + 1);
  uint64_t digits = 0;  // wraps around like a 64-bit signed accumulator
  for (; p < end_ && IsDigit(*p); ++p) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
  const int64_t whole = static_cast<int64_t>(digits);
  if (p < end_ && *p == '.') {
    double value = static_cast<double>(whole);
    double weight = 0.1;
    for (++p; p < end_ && IsDigit(*p); ++p) {
      value += (*p - '0') * weight;
      weight *= 0.1;
    }
    SetDouble(node, negative ? -value : value);
  } else if (whole > 0x7FFFFFFF) {
    double value = static_cast<double>(whole);
    SetDouble(node, negative ? -value : value);
  } else {
    uint32_t low = static_cast<uint32_t>(digits);
    SetLong(node, static_cast<int32_t>(negative ? 0u - low : low));
  }
  return p;
}

char* Parser::Keyword(char* p, XJsonNode* node) const {
  if (StartsWithWord(p, end_, "null", 4)) {
    node->Kind = XJT_NULL;
    return p + 4;
  }
  if (StartsWithWord(p, end_, "true", 4)) {
    SetLong(node, 1);
    return p + 4;
  }
  if (StartsWithWord(p, end_, "false", 5)) {
    SetLong(node, 0);
    return p + 5;
  }
  return nullptr;
}

}  // namespace

void JsonNodePool::Clear() {
  blocks_.clear();
  next_ = limit_ = nullptr;
  blockSize_ = 0;
}

bool JsonNodePool::Grow() {
  size_t size = blockSize_ == 0 ? kFirstBlock : blockSize_ * 2;
  if (size > kLargestBlock) size = kLargestBlock;
  XJsonNode* block = new (std::nothrow) XJsonNode[size];
  if (block == nullptr) return false;
  blocks_.emplace_back(block);
  blockSize_ = size;
  next_ = block;
  limit_ = block + size;
  return true;
}

int64_t ParseJsonValue(char* text, const char* end, XJsonNode* node, JsonNodePool* pool) {
  Parser parser(end, pool);
  char* stop = parser.Value(text, node, false);
  return stop == nullptr ? kJsonParseError : stop - text;
}

}  // namespace tabrow

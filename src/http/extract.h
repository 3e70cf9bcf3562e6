// The pieces the row and grid extraction shares: the query record (a path and the items to
// take), the type letters, the messages, and the reused cells of a line.
#ifndef TABROW_HTTP_EXTRACT_H_
#define TABROW_HTTP_EXTRACT_H_

#include <string>
#include <vector>

#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/variable.h"

class XML_Archive;
class XJsonDoc;
class XRowBuffer;
class XRowGrider;

namespace tabrow {

// Item record kinds.
constexpr uint16_t kItemValue = 0x1000;         // carries a value for the row
constexpr uint16_t kItemChildElement = 0x3200;  // XML: names a child element, not an attribute

// One embedded record of a query.
struct QueryItem {
  const XVariable* record;  // the record in the caller's bytes (any address)
  uint16_t kind;
  bool is_text;         // data type XDT_STRING: `text` holds its inline text
  std::u16string text;  // an aligned copy, so callees may read it unit by unit
};

// A query record read byte for byte: at offset 16 the skip flag, 17 the list flag, 18 the item
// count; at 20 the embedded records one after another, each as long as its own length word. All
// records must lie within the query's own length, hold at least their 8-byte head, and a text
// record its NUL; a value record (kind 0x1000) must hold its value.
class ExtractQuery {
 public:
  // False for a null or malformed query.
  bool Read(const XVariable* query);

  const QueryItem& path() const { return path_; }
  bool list() const { return list_; }
  int32_t count() const { return count_; }
  // Item i of count(); only with the list flag.
  const QueryItem& item(int32_t i) const { return items_[size_t(i)]; }

 private:
  QueryItem path_;
  bool list_ = false;
  int32_t count_ = 0;
  std::vector<QueryItem> items_;
};

// What a type letter asks for: a unit type 1 to 4 for I, S, F and T, or one of these.
constexpr int8_t kAsIs = -1;   // no type text, or the text ended before this item
constexpr int8_t kNoType = 0;  // any other letter
// One entry per item (at least one). Reads `types` no further than its NUL.
std::vector<int8_t> ReadLetters(const XCHAR* types, int32_t count);
// Length of a type text, counted up to `limit` units (enough to tell it from any item count).
int32_t LetterCount(const XCHAR* types, int32_t limit);

// Copies a fixed message into `error` (ignored when null); `path` replaces its "%s".
void WriteMessage(XCHAR* error, const char* message, const XCHAR* path = nullptr);

// The message for a path that leads nowhere.
extern const char kNoNodeMessage[];

// The cells of one line, reused line after line. What a cell owns is given back whenever it is
// reset and when the cells go.
class LineCells {
 public:
  static constexpr int32_t kMost = 255;  // the item count is 8-bit

  explicit LineCells(int32_t count) : count_(count) {
    for (XDataUnit& unit : units_) SetUnitNull(&unit);
  }
  ~LineCells() {
    for (int32_t i = 0; i < count_; ++i) ClearUnitData(&units_[i]);
  }
  LineCells(const LineCells&) = delete;
  LineCells& operator=(const LineCells&) = delete;

  XDataUnit* data() { return units_; }
  XDataUnit* at(int32_t i) { return &units_[i]; }
  // Makes cell i a fresh null unit of type 0.
  XDataUnit* Reset(int32_t i) {
    ClearUnitData(&units_[i]);
    SetUnitNull(&units_[i]);
    return &units_[i];
  }

 private:
  int32_t count_;
  XDataUnit units_[kMost];
};

// The four procedures behind XHttpBuffer::GetRowBuffer and GetRowGrider. `node` is the start
// of relative paths (a node of the same document), or null for the document's root.
int32_t JsonRowBuffer(XJsonDoc* document, void* node, const XVariable* query, XRowBuffer* row,
                      const XCHAR* types, XCHAR* error);
int32_t JsonRowGrider(XJsonDoc* document, void* node, const XVariable* query, XRowGrider* grider,
                      const XCHAR* types, XCHAR* error);
int32_t XmlRowBuffer(XML_Archive* document, void* node, const XVariable* query, XRowBuffer* row,
                     const XCHAR* types, XCHAR* error);
int32_t XmlRowGrider(XML_Archive* document, void* node, const XVariable* query, XRowGrider* grider,
                     const XCHAR* types, XCHAR* error);

}  // namespace tabrow

#endif  // TABROW_HTTP_EXTRACT_H_

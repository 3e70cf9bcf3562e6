// The extraction query a response buffer reads: a path and, for a list query, the items to
// take, packed as an XVariable record with the path and item records inline behind its head.
#ifndef TABROW_TOOLS_TABROW_QUERY_RECORD_H_
#define TABROW_TOOLS_TABROW_QUERY_RECORD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "tabrow/variable.h"

namespace tabrow::cli {

struct QueryItem {
  std::u16string name;  // a member (JSON) or an attribute (XML); a child element when `child`
  bool child = false;
};

// The items of a comma-separated list; "@name" names an XML child element.
std::vector<QueryItem> ParseItems(const std::string& list);

class QueryRecord {
 public:
  // A list query when there are items, else a single-value query of the path. False with
  // `error` for more than 255 items or texts too long for the record's 16-bit length.
  bool Build(const std::u16string& path, const std::vector<QueryItem>& items, std::string* error);
  const XVariable* get() const { return reinterpret_cast<const XVariable*>(bytes_.data()); }

 private:
  void AppendText(uint16_t kind, const std::u16string& text);

  std::vector<uint8_t> bytes_;
};

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_QUERY_RECORD_H_

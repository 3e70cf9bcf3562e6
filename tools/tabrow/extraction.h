// Grids and rows taken from the document a response buffer holds, by a path and items.
#ifndef TABROW_TOOLS_TABROW_EXTRACTION_H_
#define TABROW_TOOLS_TABROW_EXTRACTION_H_

#include <string>
#include <vector>

#include "query_record.h"
#include "tabrow/grider.h"
#include "tabrow/httpbuffer.h"
#include "tabrow/rowbuffer.h"

namespace tabrow::cli {

struct Extraction {
  std::string path;              // UTF-8
  std::vector<QueryItem> items;  // none: the single value at the path
  std::string types;             // type letters, one per item (one without items); may be empty
  void* node = nullptr;          // where relative paths start: a grid line's binder, or null
};

// True when `types` holds only the letters I, S, F and T (the library would leave a cell of
// another letter null without a word). Otherwise false with `error`. How many letters there are
// is the library's to check: an XML query refuses a count other than the items', with its own
// message; a JSON query reads missing letters as none.
bool CheckTypeLetters(const Extraction& extraction, std::string* error);

// The column names: the items' names, or the path's last step without items.
std::vector<std::string> ColumnNamesOf(const Extraction& extraction);

// Fills `grid`: one column per item and one line per element found, or, without items, one
// column and one line holding the value at the path. False with `error` holding the library's
// message, or saying that the buffer holds no JSON or XML document.
bool ExtractGrid(XHttpBuffer* buffer, const Extraction& extraction, XRowGrider* grid,
                 std::string* error);
// Appends one cell per item (one for the value at the path without items) to `row`.
bool ExtractRow(XHttpBuffer* buffer, const Extraction& extraction, XRowBuffer* row,
                std::string* error);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_EXTRACTION_H_

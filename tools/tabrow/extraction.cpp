#include "extraction.h"

#include <vector>

#include "tabrow/dataunit.h"
#include "text.h"

namespace tabrow::cli {
namespace {

// The library's longest message with the path put in.
std::vector<XCHAR> ErrorBuffer(const std::u16string& path) {
  return std::vector<XCHAR>(path.size() + 1024, 0);
}

bool Prepare(const XHttpBuffer& buffer, const Extraction& extraction, QueryRecord* query,
             std::string* error) {
  if (buffer.GetJsonDoc() == nullptr && buffer.GetXmlDoc() == nullptr) {
    *error = "the answer holds no JSON or XML document (--content-type reads it as one)";
    return false;
  }
  return query->Build(ToUtf16(extraction.path), extraction.items, error);
}

const XCHAR* TypesOrNull(const std::u16string& types) {
  return types.empty() ? nullptr : types.c_str();
}

// A grid of one column and one line holding the row's first cell.
bool GridFromCell(const XDataUnit* cell, XRowGrider* grid) {
  if (cell == nullptr) return false;
  XDataUnit column;
  SetUnitNull(&column);
  column.Type = cell->Type;
  column.Size = cell->Size;
  return grid->SetItemDesc(&column, 1) != 0 && grid->AddItemLine(cell, 1, 0) != nullptr;
}

}  // namespace

bool CheckTypeLetters(const Extraction& extraction, std::string* error) {
  if (extraction.types.find_first_not_of("ISFT") == std::string::npos) return true;
  *error = "type letters are I, S, F and T, not '" + extraction.types + "'";
  return false;
}

std::vector<std::string> ColumnNamesOf(const Extraction& extraction) {
  std::vector<std::string> names;
  for (const QueryItem& item : extraction.items) names.push_back(ToUtf8(item.name));
  if (names.empty()) {
    std::string path = extraction.path;
    while (!path.empty() && path.back() == '/') path.pop_back();
    names.push_back(path.substr(path.find_last_of('/') + 1));
  }
  return names;
}

bool ExtractGrid(XHttpBuffer* buffer, const Extraction& extraction, XRowGrider* grid,
                 std::string* error) {
  if (extraction.items.empty()) {
    XRowBuffer row;
    if (!ExtractRow(buffer, extraction, &row, error)) return false;
    if (!GridFromCell(row.GetRowBuffer(), grid)) {
      *error = "the value could not be put into a grid";
      return false;
    }
    return true;
  }
  QueryRecord query;
  if (!Prepare(*buffer, extraction, &query, error)) return false;
  const std::u16string types = ToUtf16(extraction.types);
  std::vector<XCHAR> message = ErrorBuffer(ToUtf16(extraction.path));
  if (buffer->GetRowGrider(extraction.node, query.get(), grid, TypesOrNull(types),
                           message.data()) == 0) {
    *error = ToUtf8(message.data());
    return false;
  }
  return true;
}

bool ExtractRow(XHttpBuffer* buffer, const Extraction& extraction, XRowBuffer* row,
                std::string* error) {
  QueryRecord query;
  if (!Prepare(*buffer, extraction, &query, error)) return false;
  const std::u16string types = ToUtf16(extraction.types);
  std::vector<XCHAR> message = ErrorBuffer(ToUtf16(extraction.path));
  if (buffer->GetRowBuffer(extraction.node, query.get(), row, TypesOrNull(types), message.data()) ==
      0) {
    *error = ToUtf8(message.data());
    return false;
  }
  return true;
}

}  // namespace tabrow::cli

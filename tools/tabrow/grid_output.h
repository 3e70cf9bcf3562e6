// The output formats of a grid: an aligned table for people, the Rowset XML document, the
// pick-list text, JSON lines, and the grid's stored binary form.
#ifndef TABROW_TOOLS_TABROW_GRID_OUTPUT_H_
#define TABROW_TOOLS_TABROW_GRID_OUTPUT_H_

#include <cstdio>
#include <string>
#include <vector>

#include "tabrow/grider.h"

namespace tabrow::cli {

enum class OutputFormat { kTable, kRowset, kPickList, kJsonLines, kBinary };

struct OutputOptions {
  OutputFormat format = OutputFormat::kTable;
  bool null_line = false;  // pick list: start with the line "NULL;"
};

// The format of a name: "table", "xml", "pick", "jsonl" or "binary".
bool ParseOutputFormat(const std::string& name, OutputFormat* format);
// One line naming the formats, for help pages.
extern const char kFormatNames[];

// Column names: `names` as given, then "FD_n" (n from 1) for the columns they do not cover.
std::vector<std::string> ColumnNames(const XRowGrider& grid, std::vector<std::string> names);

// Each writer returns false with a one-line `error` when the grid has no form in that format
// or `out` refuses the bytes.

// Headers, a rule, one line per grid line, and a count of the lines. Columns are padded to
// their widest cell as a terminal shows it (wide characters take two columns); integer and
// double columns are right-aligned. Control characters show as escapes (\n, \t, \x01).
bool WriteTable(XRowGrider* grid, const std::vector<std::string>& names, std::FILE* out,
                std::string* error);
// The Rowset document (WriteXmlDoc) and a line break. Only integer, text, double and date-time
// columns have a form there.
bool WriteRowset(XRowGrider* grid, std::FILE* out, std::string* error);
// The pick-list text (MakeDatabase), lines ended by LF: "key;text" per line, or "n;text" for a
// one-column grid.
bool WritePickList(XRowGrider* grid, bool null_line, std::FILE* out, std::string* error);
// One JSON object per line, members named after the columns: numbers, strings (date-times as
// "2024-03-05 14:07:09"), null for empty cells and for non-finite doubles.
bool WriteJsonLines(XRowGrider* grid, const std::vector<std::string>& names, std::FILE* out,
                    std::string* error);
// The stored grid record, as Serialize writes it.
bool WriteBinary(XRowGrider* grid, std::FILE* out, std::string* error);

// Dispatches to the writer of `format`; the binary form is refused on a terminal.
bool WriteGrid(XRowGrider* grid, const std::vector<std::string>& names,
               const OutputOptions& options, std::FILE* out, std::string* error);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_GRID_OUTPUT_H_

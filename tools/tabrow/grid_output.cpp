#include "grid_output.h"

#include <unistd.h>

namespace tabrow::cli {

const char kFormatNames[] = "table (default), xml, pick, jsonl or binary";

bool ParseOutputFormat(const std::string& name, OutputFormat* format) {
  static const struct {
    const char* name;
    OutputFormat format;
  } kFormats[] = {
      {"table", OutputFormat::kTable},   {"xml", OutputFormat::kRowset},
      {"pick", OutputFormat::kPickList}, {"jsonl", OutputFormat::kJsonLines},
      {"binary", OutputFormat::kBinary},
  };
  for (const auto& entry : kFormats) {
    if (name == entry.name) {
      *format = entry.format;
      return true;
    }
  }
  return false;
}

std::vector<std::string> ColumnNames(const XRowGrider& grid, std::vector<std::string> names) {
  const size_t columns = static_cast<size_t>(grid.GetColCounter());
  for (size_t i = names.size(); i < columns; ++i) names.push_back("FD_" + std::to_string(i + 1));
  names.resize(columns);
  return names;
}

bool WriteGrid(XRowGrider* grid, const std::vector<std::string>& names,
               const OutputOptions& options, std::FILE* out, std::string* error) {
  switch (options.format) {
    case OutputFormat::kTable:
      return WriteTable(grid, names, out, error);
    case OutputFormat::kRowset:
      return WriteRowset(grid, out, error);
    case OutputFormat::kPickList:
      return WritePickList(grid, options.null_line, out, error);
    case OutputFormat::kJsonLines:
      return WriteJsonLines(grid, names, out, error);
    case OutputFormat::kBinary:
      if (isatty(fileno(out))) {
        *error = "the binary form is not written to a terminal; give --output FILE";
        return false;
      }
      return WriteBinary(grid, out, error);
  }
  return false;
}

}  // namespace tabrow::cli

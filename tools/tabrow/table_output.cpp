// The aligned table.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cell_text.h"
#include "grid_output.h"
#include "output_sink.h"
#include "text.h"

namespace tabrow::cli {
namespace {

// The text with its control characters written as escapes, so that a cell stays on one line.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02x", byte);
      out += escape;
    }
  }
  return out;
}

// One line of the table, without trailing blanks.
void AppendRow(const std::vector<std::string>& cells, const std::vector<int>& widths,
               const std::vector<bool>& right, std::string* out) {
  std::string row;
  for (size_t i = 0; i < cells.size(); ++i) {
    const std::string padding(static_cast<size_t>(widths[i] - DisplayWidth(cells[i])), ' ');
    if (i > 0) row += "  ";
    row += right[i] ? padding + cells[i] : cells[i] + padding;
  }
  row.erase(row.find_last_not_of(' ') + 1);
  *out += row + '\n';
}

}  // namespace

bool WriteTable(XRowGrider* grid, const std::vector<std::string>& names, std::FILE* out,
                std::string* error) {
  const int32_t columns = grid->GetColCounter();
  const uint16_t* types = grid->GetType();
  std::vector<std::string> header;
  std::vector<int> widths;
  std::vector<bool> right;
  for (int32_t i = 0; i < columns; ++i) {
    header.push_back(Printable(i < static_cast<int32_t>(names.size()) ? names[i] : ""));
    widths.push_back(DisplayWidth(header.back()));
    right.push_back(types != nullptr && (types[i] == XDT_LONG || types[i] == XDT_DOUBLE));
  }
  std::vector<std::vector<std::string>> rows;
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    std::vector<std::string> row;
    for (int32_t i = 0; i < columns; ++i) {
      row.push_back(Printable(ReadCell(grid, line, i).text));
      widths[i] = std::max(widths[i], DisplayWidth(row.back()));
    }
    rows.push_back(std::move(row));
  }
  std::string text;
  if (columns > 0) {
    AppendRow(header, widths, right, &text);
    std::vector<std::string> rule;
    for (const int width : widths) rule.emplace_back(static_cast<size_t>(width), '-');
    AppendRow(rule, widths, right, &text);
    for (const auto& row : rows) AppendRow(row, widths, right, &text);
  }
  text += "(" + std::to_string(rows.size()) + (rows.size() == 1 ? " row)\n" : " rows)\n");
  return WriteText(text, out, error);
}

}  // namespace tabrow::cli

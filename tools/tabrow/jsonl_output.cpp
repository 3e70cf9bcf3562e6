// JSON lines.
#include <cstdio>
#include <string>
#include <vector>

#include "cell_text.h"
#include "grid_output.h"
#include "output_sink.h"

namespace tabrow::cli {
namespace {

void AppendJsonString(const std::string& text, std::string* out) {
  *out += '"';
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (c == '\n') {
      *out += "\\n";
    } else if (c == '\r') {
      *out += "\\r";
    } else if (c == '\t') {
      *out += "\\t";
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
      *out += escape;
    } else {
      *out += c;
    }
  }
  *out += '"';
}

void AppendJsonValue(const CellText& cell, std::string* out) {
  const bool finite = cell.text.find_first_of("ni") == std::string::npos;  // nan, inf
  if (cell.kind == CellKind::kNull || (cell.kind == CellKind::kNumber && !finite)) {
    *out += "null";
  } else if (cell.kind == CellKind::kNumber) {
    *out += cell.text;
  } else {
    AppendJsonString(cell.text, out);
  }
}

}  // namespace

bool WriteJsonLines(XRowGrider* grid, const std::vector<std::string>& names, std::FILE* out,
                    std::string* error) {
  const int32_t columns = grid->GetColCounter();
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    std::string text = "{";
    for (int32_t i = 0; i < columns; ++i) {
      if (i > 0) text += ',';
      AppendJsonString(i < static_cast<int32_t>(names.size()) ? names[i] : "", &text);
      text += ':';
      AppendJsonValue(ReadCell(grid, line, i), &text);
    }
    text += "}\n";
    if (!WriteText(text, out, error)) return false;
  }
  return true;
}

}  // namespace tabrow::cli

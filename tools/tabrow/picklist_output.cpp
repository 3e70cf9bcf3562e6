// The pick-list text.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "cell_text.h"
#include "grid_output.h"
#include "output_sink.h"
#include "text.h"

namespace tabrow::cli {
namespace {

// Room for the whole list: every line's key and text (a UTF-8 text is never shorter than its
// UTF-16 form), its counter and separators, and the 320 characters the list keeps free.
int32_t ListRoom(XRowGrider* grid) {
  size_t room = 320 + 16;
  const int32_t columns = std::min(grid->GetColCounter(), 2);
  for (void* line = grid->GetNextLine(nullptr); line != nullptr; line = grid->GetNextLine(line)) {
    room += 24;
    for (int32_t i = 0; i < columns; ++i) room += ReadCell(grid, line, i).text.size();
  }
  return static_cast<int32_t>(std::min<size_t>(room, INT32_MAX));
}

}  // namespace

bool WritePickList(XRowGrider* grid, bool null_line, std::FILE* out, std::string* error) {
  std::vector<XCHAR> list(static_cast<size_t>(ListRoom(grid)), 0);
  const int32_t length =
      MakeDatabase(grid, list.data(), static_cast<int32_t>(list.size()), null_line ? 1 : 0);
  std::string text = UnixLines(ToUtf8(std::u16string(list.data(), static_cast<size_t>(length))));
  if (!text.empty()) text += '\n';
  return WriteText(text, out, error);
}

}  // namespace tabrow::cli

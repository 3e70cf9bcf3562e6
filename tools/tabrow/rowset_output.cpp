// The Rowset XML document.
#include "grid_output.h"
#include "output_sink.h"
#include "tabrow/archive.h"

namespace tabrow::cli {

bool WriteRowset(XRowGrider* grid, std::FILE* out, std::string* error) {
  XMemoArchive archive;
  if (grid->WriteXmlDoc(&archive) == 0) {
    *error =
        "the grid has a column without a Rowset form (only integer, text, double and "
        "date-time columns have one)";
    return false;
  }
  uint32_t length = 0;
  archive.GetLength(&length);
  return WriteBytes(archive.GetData(), length, out, error) && WriteText("\n", out, error);
}

}  // namespace tabrow::cli

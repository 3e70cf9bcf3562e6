// The stored binary form.
#include "grid_output.h"
#include "output_sink.h"
#include "tabrow/archive.h"

namespace tabrow::cli {

bool WriteBinary(XRowGrider* grid, std::FILE* out, std::string* error) {
  XMemoArchive archive;
  if (grid->Serialize(&archive, 1, 0) == 0) {
    *error = "the grid could not be stored";
    return false;
  }
  uint32_t length = 0;
  archive.GetLength(&length);
  return WriteBytes(archive.GetData(), length, out, error);
}

}  // namespace tabrow::cli

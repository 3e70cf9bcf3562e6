// Grids read from files.
#ifndef TABROW_TOOLS_TABROW_GRID_FILE_H_
#define TABROW_TOOLS_TABROW_GRID_FILE_H_

#include <string>

#include "tabrow/archive.h"
#include "tabrow/grider.h"

namespace tabrow::cli {

// Loads the grid stored in `archive`: a grid record (its binary form). False with `error` when
// the content is not one; a record that breaks off keeps the lines read before the break and
// is refused as well.
bool LoadGrid(IArchive* archive, XRowGrider* grid, std::string* error);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_GRID_FILE_H_

// Grids read from files.
#ifndef TABROW_TOOLS_TABROW_GRID_FILE_H_
#define TABROW_TOOLS_TABROW_GRID_FILE_H_

#include <string>

#include "tabrow/archive.h"
#include "tabrow/grider.h"

namespace tabrow::cli {

// Loads the grid stored in `archive`: a grid record (its binary form) or a Rowset XML
// document. False with `error` when the content is neither; a record that breaks off is
// refused as well.
bool LoadGrid(IArchive* archive, XRowGrider* grid, std::string* error);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_GRID_FILE_H_

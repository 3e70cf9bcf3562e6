#include "grid_file.h"

#include <cstring>

#include "tabrow/xmldoc.h"

namespace tabrow::cli {
namespace {

// The record's open header: GDI_GRID, XMF_OPEN.
bool StartsWithGridRecord(IArchive* archive) {
  uint32_t length = 0;
  archive->GetLength(&length);
  if (length < 8) return false;
  uint32_t header[2];
  std::memcpy(header, archive->GetData(), sizeof(header));
  return header[0] == GDI_GRID && header[1] == XMF_OPEN;
}

}  // namespace

bool LoadGrid(IArchive* archive, XRowGrider* grid, std::string* error) {
  archive->SeekToBegin();
  if (StartsWithGridRecord(archive)) {
    if (grid->Serialize(archive, 0, 0) != 0) return true;
    *error = "the stored grid is damaged or cut short";
    return false;
  }
  XML_Archive document;
  if (document.OpenArchive(archive) == 0) {
    *error = "neither a stored grid nor an XML document";
    return false;
  }
  if (grid->FromXmlDoc(&document) == 0) {
    *error = "not a Rowset document";
    return false;
  }
  return true;
}

}  // namespace tabrow::cli

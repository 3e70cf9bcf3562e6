// What the descriptor functions share: the Flags bits and how a descriptor's value storage is
// given back.
#ifndef TABROW_ROWS_DESC_VALUE_H_
#define TABROW_ROWS_DESC_VALUE_H_

#include "tabrow/itemdesc.h"

namespace tabrow {

constexpr int32_t kDescNull = 0x01;
constexpr int32_t kDescChanged = 0x10;

inline bool IsDescNull(const XItemDataDesc* desc) {
  return (desc->Flags & kDescNull) != 0;
}
// Types 2 and 14 keep their text in a buffer of Size characters that the descriptor owns.
inline bool IsTextDescType(uint32_t type) {
  return type == XDT_STRING || type == XDT_ALTSTRING;
}

// Gives back the archive or grid the descriptor holds and clears Value whole; other types are
// left alone.
void ReleaseDescObject(XItemDataDesc* desc);
// As ReleaseDescObject, and also frees a text buffer.
void ReleaseDescStorage(XItemDataDesc* desc);
// Number of units before the NUL, looking at most at `limit` units; `limit` when none is there.
size_t BoundedTextLength(const XCHAR* text, size_t limit);

}  // namespace tabrow

#endif  // TABROW_ROWS_DESC_VALUE_H_

// Heap data units for the row buffer's chain. Internal: not part of the exported interface.
#ifndef TABROW_VALUES_UNIT_ALLOC_H_
#define TABROW_VALUES_UNIT_ALLOC_H_

#include "tabrow/dataunit.h"

namespace tabrow {

// A unit on the heap (malloc), every field zero and Null 1; null when memory runs out.
XDataUnit* MallocDataUnit();
// Clears the unit (releasing what it owns) and frees the record. Ignores null.
void ReleaseDataUnit(XDataUnit* unit);

}  // namespace tabrow

#endif  // TABROW_VALUES_UNIT_ALLOC_H_

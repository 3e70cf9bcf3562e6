// The demonstration's query template, filled through the exchange buffers a host would use.
#ifndef TABROW_TOOLS_TABROW_DEMO_TEMPLATE_H_
#define TABROW_TOOLS_TABROW_DEMO_TEMPLATE_H_

#include "tabrow/query.h"

namespace tabrow::cli {

// Fields id, customer and total of object 7; the conditions customer = ':customer' AND
// total > :min AND date ISMONTH ':since' (each dropped when its reference has no value);
// ordered by total, descending. Null when memory runs out; give it back with Release.
XQueryTemplate* MakeDemoTemplate();

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_DEMO_TEMPLATE_H_

// Tabrow: the whole public interface.
#ifndef TABROW_TABROW_H_
#define TABROW_TABROW_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/datetime.h"
#include "tabrow/grider.h"
#include "tabrow/itemdesc.h"
#include "tabrow/rowbuffer.h"
#include "tabrow/httplinker.h"
#include "tabrow/query.h"

#endif  // TABROW_TABROW_H_

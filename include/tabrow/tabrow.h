// Tabrow: the whole public interface.
#ifndef TABROW_TABROW_H_
#define TABROW_TABROW_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/convert.h"
#include "tabrow/datameter.h"
#include "tabrow/dataunit.h"
#include "tabrow/datetime.h"
#include "tabrow/grider.h"
#include "tabrow/httpbuffer.h"
#include "tabrow/httpcall.h"
#include "tabrow/httplinker.h"
#include "tabrow/itemdesc.h"
#include "tabrow/jsondoc.h"
#include "tabrow/query.h"
#include "tabrow/rowbuffer.h"
#include "tabrow/variable.h"
#include "tabrow/variant.h"
#include "tabrow/varstacker.h"
#include "tabrow/xmldoc.h"

#endif  // TABROW_TABROW_H_

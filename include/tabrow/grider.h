// Tabrow: the grid XRowGrider, a table of typed columns and packed row lines.
#ifndef TABROW_GRIDER_H_
#define TABROW_GRIDER_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"

class TABROW_API XRowGrider {
 public:
  XRowGrider();
  virtual ~XRowGrider();
  XRowGrider(const XRowGrider&) = delete;
  XRowGrider& operator=(const XRowGrider&) = delete;

  // A new empty grid on the heap, or null when memory runs out.
  static XRowGrider* Malloc();
  // Destroys a grid made by Malloc.
  void Release();
  // Destroys a grid made by Malloc; ignores null.
  static void Release(XRowGrider* grider);
};

#endif  // TABROW_GRIDER_H_

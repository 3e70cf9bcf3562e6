#include "tabrow/grider.h"

#include <new>

XRowGrider::XRowGrider() = default;

XRowGrider::~XRowGrider() = default;

XRowGrider* XRowGrider::Malloc() { return new (std::nothrow) XRowGrider(); }

void XRowGrider::Release() { delete this; }

void XRowGrider::Release(XRowGrider* grider) {
  if (grider != nullptr) grider->Release();
}

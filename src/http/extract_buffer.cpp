// Rows and grids taken from the document a response buffer holds: a JSON document, else an XML
// document, decides which procedure reads it.
#include "http/extract.h"
#include "tabrow/grider.h"
#include "tabrow/httpbuffer.h"

int32_t XHttpBuffer::GetRowBuffer(void* node, const XVariable* query, XRowBuffer* row,
                                  const XCHAR* types, XCHAR* error) {
  if (row == nullptr) return 0;
  if (json_ != nullptr) return tabrow::JsonRowBuffer(json_, node, query, row, types, error);
  if (xml_ != nullptr) return tabrow::XmlRowBuffer(xml_, node, query, row, types, error);
  return 0;
}

int32_t XHttpBuffer::GetRowGrider(void* node, const XVariable* query, XRowGrider* grider,
                                  const XCHAR* types, XCHAR* error) {
  if (grider == nullptr) return 0;
  grider->SourceKind = XHTTPBUFFER_SOURCE;
  grider->Source = reinterpret_cast<uintptr_t>(this);
  if (json_ != nullptr) return tabrow::JsonRowGrider(json_, node, query, grider, types, error);
  if (xml_ != nullptr) return tabrow::XmlRowGrider(xml_, node, query, grider, types, error);
  return 0;
}

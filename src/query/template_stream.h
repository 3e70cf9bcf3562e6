// What the stored and the computed form of a template share: item identifiers, the top-level
// words, and section framing.
#ifndef TABROW_QUERY_TEMPLATE_STREAM_H_
#define TABROW_QUERY_TEMPLATE_STREAM_H_

#include "tabrow/archive.h"
#include "tabrow/dataunit.h"
#include "tabrow/query.h"

namespace tabrow {

constexpr uint32_t kFromTextItem = 16;
constexpr uint32_t kFieldSection = 0x10001;
constexpr uint32_t kWhereSection = 0x10002;
constexpr uint32_t kGroupSection = 0x10003;
constexpr uint32_t kOrderSection = 0x10004;
constexpr uint32_t kRecord = 0x1001;
constexpr uint32_t kStoredEnd = 0;
constexpr uint32_t kComputedEnd = 0x110011;

// Data items 1 to 5: the muster words and the template words.
inline void WriteTemplateWords(XMF_Serialize& out, const XQueryTemplate& query) {
  out.Write_Proper(1, &query.Muster1, 4);
  out.Write_Proper(2, &query.Muster2, 4);
  out.Write_Proper(3, &query.TemplateWord3, 4);
  out.Write_Proper(4, &query.TemplateWord4, 4);
  out.Write_Proper(5, &query.TemplateWord5, 4);
}

// A field's DataSize as stored: 4 for an integer, 8 for a double or a date, else as held.
inline uint16_t StoredDataSize(uint16_t type, uint16_t size) {
  if (type == XDT_LONG) return 4;
  if (type == XDT_DOUBLE || type == XDT_DATETIME) return 8;
  return size;
}

}  // namespace tabrow

#endif  // TABROW_QUERY_TEMPLATE_STREAM_H_

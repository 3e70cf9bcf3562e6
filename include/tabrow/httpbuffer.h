// Tabrow: the response buffer, which holds one HTTP answer as a plain UTF-16 text, an XML
// document or a JSON document, chosen by the answer's content type.
//
// SetMarkerDoc searches the content type, case-sensitively, for "/xml", then "/plain", then
// "/json"; the first found decides (the call procedures pass it in lower case). The answer is
// UTF-8 unless the content type names a charset other than utf-8 ("charset" without "utf-8"),
// in which case it is in code page 936. A content type with none of the three (an HTML page, for
// example) stores nothing.
//
// A buffer is meant to receive one answer: SetMarkerDoc keeps documents of the other kinds
// stored earlier, and replaces (frees) an earlier document of its own kind. Copying a buffer
// copies every document it holds deeply, so two buffers never share one.
#ifndef TABROW_HTTPBUFFER_H_
#define TABROW_HTTPBUFFER_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"
#include "tabrow/variable.h"

class XML_Archive;
class XJsonDoc;
class XRowBuffer;
class XRowGrider;

// The value GetType returns.
constexpr int32_t XHTTPBUFFER_TYPE = 0x04030201;
// The SourceKind GetRowGrider gives a grid (its Source being the buffer).
constexpr int32_t XHTTPBUFFER_SOURCE = 33;

// A response buffer. Made on the heap by Malloc and given back by Release, or used as a local
// object. A data unit of type XDT_OBJECT can hold one (it calls Release when cleared).
class TABROW_API XHttpBuffer : public IObjectVar {
 public:
  XHttpBuffer();
  XHttpBuffer(const XHttpBuffer& other);
  XHttpBuffer& operator=(const XHttpBuffer& other);
  virtual ~XHttpBuffer();

  // A new empty buffer on the heap, or null when memory runs out.
  static XHttpBuffer* Malloc();
  // Destroys a buffer made by Malloc.
  void Release() override;
  // Release that ignores null.
  static void Release(XHttpBuffer* buffer);
  // XHTTPBUFFER_TYPE.
  int32_t GetType() override;

  // Frees every document held. Safe on an empty buffer.
  void ClearBuffer();
  // The XML document, or null. The buffer keeps it.
  XML_Archive* GetXmlDoc() const { return xml_; }
  // The JSON document, or null. The buffer keeps it.
  XJsonDoc* GetJsonDoc() const { return json_; }
  // When the buffer holds an XML or JSON document: 0, *text unchanged. Otherwise *text gets the
  // plain text (null when there is none) and the result is 1. The buffer keeps the text.
  int32_t GetPlainDoc(const XCHAR** text) const;

  // Stores the answer in `archive` by its content type (8-bit or UTF-16, null reads as empty).
  // XML: the document's own declaration decides its encoding; the result is 1, or 0 when it is
  // not well-formed. Plain text: converted whole (an empty archive gives no text); result 1.
  // JSON: parsed into a document of the buffer's own; 1, or 0 on a parse error (the document,
  // with what was parsed, stays held). No marker: result 1.
  int32_t SetMarkerDoc(const char* contentType, IArchive* archive);
  int32_t SetMarkerDoc(const XCHAR* contentType, IArchive* archive);
  // As above for an answer of `length` bytes in memory. XML is read in the charset's encoding.
  // JSON is parsed in place: the block must stay alive and untouched while the document is held.
  int32_t SetMarkerDoc(const char* contentType, char* block, uint32_t length);

  // Row and grid extraction. The query is an XVariable record read byte for byte: offset 16 a
  // skip flag (non-zero: the first embedded record is passed over), 17 a list flag (item records
  // follow the path record), 18 the item count (0 to 255), and from 20 the embedded records one
  // after another, each an XVariable whose length word says where the next begins. Path and item
  // records are texts (data type XDT_STRING) held inline from their offset 8 whatever their
  // kind. An item record of kind XVAR_INLINE instead carries a value that a row takes as it is;
  // in XML queries one of kind 0x3200 names a child element and any other kind an attribute. The
  // type text holds one letter per item (one without the list flag): I, S, F, T for XDT_LONG,
  // XDT_STRING, XDT_DOUBLE, XDT_DATETIME. `node` is null (paths start at the document's root) or
  // a node of the held document, such as a grid line's binder set here. On failure a fixed
  // message, the path put in for "%s", is copied into `error` (null: none); it must hold the
  // longest message with the path, 1024 units at most.
  //
  // Choices made here:
  // - A buffer holding a JSON document reads it (a document without a root reports so), else
  //   one holding an XML document reads that (an empty one reports so); with neither the result
  //   is 0 and no message is written.
  // - A query whose records run past its own length word, whose records are shorter than their
  //   8-byte head, whose texts lack their NUL, or whose value records lack their value, is
  //   refused with the message for a path record that is not a text.
  // - JSON: letters missing at the end of a short type text count as no letter (the value keeps
  //   its own kind); a letter that names no type leaves the cell null. A grid without the list
  //   flag has exactly one column. A line the grid refuses (a value of another type than the
  //   column adopted) is left out and the result stays 1.
  // - XML: a type text must be as long as the item count. A grid path whose container part is
  //   empty ("/Item") looks among the children of `node`, or of the document when it is null.
  //   The texts of one grid line share 8192 units; once they are used up, values read as empty.

  // Appends cells to `row`: one for the node at the path without the list flag, else one per
  // item. Returns 1, or 0 (cells added before stay) with a message.
  int32_t GetRowBuffer(void* node, const XVariable* query, XRowBuffer* row, const XCHAR* types,
                       XCHAR* error);
  // Describes `grider` with one column per item and adds a line per element of the array (JSON)
  // or per child element of the path's last name (XML), each line's binder being that element.
  // Sets the grid's SourceKind (XHTTPBUFFER_SOURCE) and Source (this buffer) first, whatever
  // follows. Returns 1, or 0 (lines added before stay) with a message.
  int32_t GetRowGrider(void* node, const XVariable* query, XRowGrider* grider, const XCHAR* types,
                       XCHAR* error);

 private:
  XCHAR* plain_;
  XML_Archive* xml_;
  XJsonDoc* json_;
};

#endif  // TABROW_HTTPBUFFER_H_

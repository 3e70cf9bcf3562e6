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

class XML_Archive;
class XJsonDoc;

// The value GetType returns.
constexpr int32_t XHTTPBUFFER_TYPE = 0x04030201;

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

 private:
  XCHAR* plain_;
  XML_Archive* xml_;
  XJsonDoc* json_;
};

#endif  // TABROW_HTTPBUFFER_H_

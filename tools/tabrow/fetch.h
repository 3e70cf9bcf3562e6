// One HTTP or HTTPS exchange through the library's call procedures, its answer kept in a
// response buffer as a document chosen by its content type. The answer is collected in a
// ProgressArchive, so a long download shows its progress when asked to.
#ifndef TABROW_TOOLS_TABROW_FETCH_H_
#define TABROW_TOOLS_TABROW_FETCH_H_

#include <cstdint>
#include <string>

#include "tabrow/archive.h"
#include "tabrow/httpbuffer.h"

namespace tabrow::cli {

struct FetchRequest {
  std::string url;             // UTF-8
  std::string content_type;    // when not empty, stores the answer as this type instead
  IArchive* body = nullptr;    // POST its content (an empty one sends a GET); null: a GET
  bool soap = false;           // with a body: a SOAP call carrying `soap_action`
  std::string soap_action;     // UTF-8
  int32_t staple = 0;          // the post staple naming the body's content type
  bool show_progress = false;  // draw the download's progress on the error stream
};

// Sends the request and stores the answer in `buffer` (which should be empty); `bytes`, when
// not null, receives the answer's length. False with `error` holding the call procedure's own
// message when connecting, the exchange or storing the answer fails.
bool Fetch(const FetchRequest& request, XHttpBuffer* buffer, uint64_t* bytes, std::string* error);

// "xml", "json", "text" or "nothing": what the buffer holds.
std::string HeldDocument(const XHttpBuffer& buffer);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_FETCH_H_

// One HTTP or HTTPS exchange, its answer kept in a response buffer as a document chosen by its
// content type. The answer is collected in a ProgressArchive, so a long download shows its
// progress when the error stream is a terminal.
#ifndef TABROW_TOOLS_TABROW_FETCH_H_
#define TABROW_TOOLS_TABROW_FETCH_H_

#include <string>

#include "tabrow/httpbuffer.h"

namespace tabrow::cli {

struct FetchRequest {
  std::string url;             // UTF-8
  std::string content_type;    // when not empty, stores the answer as this type instead
  bool post = false;           // POST `body` instead of a GET
  bool soap = false;           // with `post`: a SOAP call carrying `soap_action`
  std::string soap_action;     // UTF-8
  std::string body;            // the request body's bytes
  int32_t staple = 0;          // the post staple naming the body's content type
  bool show_progress = false;  // draw the download's progress on the error stream
};

struct FetchResult {
  std::string content_type;  // the type the answer was stored by, in lower case
  uint64_t bytes = 0;        // the answer's length
};

// Sends the request and stores the answer in `buffer` (which should be empty). False with
// `error` when the URL names no host, the exchange fails, or the answer is not readable as the
// document its content type names.
bool Fetch(const FetchRequest& request, XHttpBuffer* buffer, FetchResult* result,
           std::string* error);

// "xml", "json", "text" or "nothing": what the buffer holds.
std::string HeldDocument(const XHttpBuffer& buffer);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_FETCH_H_

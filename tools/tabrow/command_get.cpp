// tabrow get: fetches an answer, extracts a grid from it and prints or stores it.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "extraction.h"
#include "fetch.h"
#include "files.h"
#include "grid_output.h"
#include "tabrow/archive.h"
#include "tabrow/grider.h"
#include "tabrow/httpbuffer.h"
#include "tabrow/httpcall.h"
#include "text.h"

namespace tabrow::cli {
namespace {

const std::vector<OptionInfo> kOptions = {
    {"path", 'p', "PATH", "where to look in the answer's document (required)"},
    {"items", 'i', "LIST", "comma-separated names to take; @NAME takes an XML child's text"},
    {"types", 't', "LETTERS", "a type letter per item: I integer, S text, F double, T date"},
    {"content-type", 'c', "TYPE",
     "read the answer as TYPE, whatever the server says (not for SOAP)"},
    {"data", 'd', "BODY", "POST the text BODY, or with @FILE the bytes of FILE"},
    {"staple", 's', "N", "the post staple naming the body's content type (below)"},
    {"soap-action", 0, "ACTION", "make a SOAP call with ACTION, the --data body its envelope"},
    {"format", 'f', "FORMAT", "output format"},
    {"output", 'o', "FILE", "write to FILE instead of standard output"},
    {"null-line", 0, nullptr, "pick list: start with the line NULL;"},
};

std::string Help() {
  return HelpText(
      "tabrow get [OPTIONS] --path PATH URL",
      "Fetches URL over HTTP or HTTPS, keeps the answer as a JSON or XML document by its\n"
      "content type, and takes a grid from it: a line per element of the JSON array at PATH\n"
      "(/data/items), or per XML element named by PATH's last step (/response/orders/order),\n"
      "with a column per item. Without --items it takes the single value at PATH.\n"
      "Without --types JSON values keep their own kind and XML values are texts; an XML\n"
      "answer takes exactly one letter per item (none without items).\n"
      "Texts in a --data BODY are sent in the staple's character set; a long download shows\n"
      "its progress when the error stream is a terminal. A failed call or extraction prints\n"
      "the library's message and exits with 1; a wrong command line exits with 2.",
      kOptions,
      std::string("Formats: ") + kFormatNames +
          ".\n\n"
          "Post staples: 0 application/x-www-form-urlencoded (default), 1 text/xml,\n"
          "3 text/html, 5 text/plain, 7 application/json (each in UTF-8); 2, 4, 6 and 8 are\n"
          "the same types in GB2312.\n\n"
          "Examples:\n"
          "  tabrow get -p /data/items -i id,title,price -t ISF http://host/catalogue\n"
          "  tabrow get -p /response/orders/order -i id,@customer -f xml http://host/orders\n");
}

bool ParseStaple(const std::string& text, int32_t* staple) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
      text.size() > 9) {
    return false;
  }
  *staple = std::stoi(text);
  return true;
}

// The body's bytes: a file's as they are, or a text in the staple's character set.
bool ReadBody(const std::string& data, int32_t staple, IArchive* body, std::string* error) {
  if (!data.empty() && data[0] == '@') return ReadFile(data.substr(1), body, error);
  if (HttpSetupDoc(body, ToUtf16(data).c_str(), staple) == 0) {
    *error = "the body could not be prepared";
    return false;
  }
  return true;
}

}  // namespace

int RunGet(const std::vector<std::string>& args) {
  CommandLine line;
  int status = kExitOk;
  if (!StartCommand("get", kOptions, Help, args, &line, &status)) return status;
  std::string error;
  if (line.operands().size() != 1) return UsageError("get", "expected one URL");
  if (!line.Has("path")) return UsageError("get", "give the --path to take from the answer");
  Extraction extraction;
  extraction.path = line.Get("path");
  for (const std::string& list : line.All("items")) {
    for (QueryItem& item : ParseItems(list)) extraction.items.push_back(std::move(item));
  }
  extraction.types = line.Get("types");
  if (!CheckTypeLetters(extraction, &error)) return UsageError("get", error);
  OutputOptions options;
  options.null_line = line.Has("null-line");
  if (!ParseOutputFormat(line.Get("format", "table"), &options.format)) {
    return UsageError("get", "unknown format '" + line.Get("format") + "'");
  }
  FetchRequest request;
  request.url = line.operands()[0];
  request.content_type = line.Get("content-type");
  if (line.Has("staple") && !ParseStaple(line.Get("staple"), &request.staple)) {
    return UsageError("get", "the staple is a number, not '" + line.Get("staple") + "'");
  }
  request.soap = line.Has("soap-action");
  request.soap_action = line.Get("soap-action");
  if (request.soap && !line.Has("data")) {
    return UsageError("get", "a SOAP call needs its envelope as --data");
  }
  if (request.soap && line.Has("content-type")) {
    return UsageError("get", "a SOAP answer is read by its own content type");
  }
  request.show_progress = isatty(STDERR_FILENO) != 0;
  XMemoArchive body;
  if (line.Has("data")) {
    if (!ReadBody(line.Get("data"), request.staple, &body, &error)) return Fail("get", error);
    request.body = &body;
  }

  XHttpBuffer buffer;
  XRowGrider grid;
  Output output;
  if (!Fetch(request, &buffer, nullptr, &error) ||
      !ExtractGrid(&buffer, extraction, &grid, &error) ||
      !output.Open(line.Get("output"), &error) ||
      !WriteGrid(&grid, ColumnNamesOf(extraction), options, output.stream(), &error) ||
      !output.Close(&error)) {
    return Fail("get", error);
  }
  return kExitOk;
}

}  // namespace tabrow::cli

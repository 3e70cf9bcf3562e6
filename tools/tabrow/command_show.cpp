// tabrow show: prints a stored grid (binary form or Rowset document) in any output format.
#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "files.h"
#include "grid_file.h"
#include "grid_output.h"
#include "tabrow/archive.h"
#include "tabrow/grider.h"

namespace tabrow::cli {
namespace {

const std::vector<OptionInfo> kOptions = {
    {"format", 'f', "FORMAT", "output format"},
    {"output", 'o', "FILE", "write to FILE instead of standard output"},
    {"null-line", 0, nullptr, "pick list: start with the line NULL;"},
};

std::string Help() {
  return HelpText(
      "tabrow show [OPTIONS] FILE",
      "Prints the grid stored in FILE: a grid record in its binary form, as '-f binary'\n"
      "writes it, or a Rowset XML document, as '-f xml' writes it. Columns are named\n"
      "FD_1, FD_2, ... in column order.",
      kOptions, std::string("Formats: ") + kFormatNames + ".\n");
}

}  // namespace

int RunShow(const std::vector<std::string>& args) {
  CommandLine line;
  int status = kExitOk;
  if (!StartCommand("show", kOptions, Help, args, &line, &status)) return status;
  std::string error;
  if (line.operands().size() != 1) return UsageError("show", "expected one FILE");
  OutputOptions options;
  options.null_line = line.Has("null-line");
  if (!ParseOutputFormat(line.Get("format", "table"), &options.format)) {
    return UsageError("show", "unknown format '" + line.Get("format") + "'");
  }
  const std::string& path = line.operands()[0];
  XMemoArchive archive;
  XRowGrider grid;
  if (!ReadFile(path, &archive, &error)) return Fail("show", error);
  if (!LoadGrid(&archive, &grid, &error)) return Fail("show", path + ": " + error);
  Output output;
  if (!output.Open(line.Get("output"), &error) ||
      !WriteGrid(&grid, ColumnNames(grid, {}), options, output.stream(), &error) ||
      !output.Close(&error)) {
    return Fail("show", error);
  }
  return kExitOk;
}

}  // namespace tabrow::cli

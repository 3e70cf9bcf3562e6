// tabrow: fetch an answer over HTTP or HTTPS, extract a grid from it, and show or store it; show
// stored grids; render stored query templates; or run the built-in demonstration.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace {

using tabrow::cli::kExitOk;
using tabrow::cli::kExitUsage;

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"demo", "run the library's main job against a built-in server (the default)",
     tabrow::cli::RunDemo},
    {"get", "fetch a URL, take a grid from the answer, print or store it", tabrow::cli::RunGet},
    {"show", "print a stored grid (binary form or Rowset document)", tabrow::cli::RunShow},
    {"sql", "print a stored query template and its bound SQL condition", tabrow::cli::RunSql},
};

void PrintHelp() {
  std::printf(
      "Usage: tabrow [<command> [options] [arguments]]\n\n"
      "Commands (without one, tabrow runs the demo):\n");
  for (const Command& command : kCommands)
    std::printf("  %-6s  %s\n", command.name, command.summary);
  std::printf("\nRun 'tabrow <command> --help' for the options of a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 1 ? 2 : argc), argv + argc);
  const std::string name = argc > 1 ? argv[1] : "";
  if (name.empty()) return tabrow::cli::RunDemo(args);
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp();
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (name == command.name) return command.run(args);
  }
  std::fprintf(stderr, "tabrow: unknown command '%s'\nTry 'tabrow --help'.\n", name.c_str());
  return kExitUsage;
}

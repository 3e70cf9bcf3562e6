#include <cstdio>

#include "commands.h"

namespace tabrow::cli {

int Fail(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "tabrow %s: %s\n", command.c_str(), message.c_str());
  return kExitFailure;
}

int UsageError(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "tabrow %s: %s\nTry 'tabrow %s --help'.\n", command.c_str(), message.c_str(),
               command.c_str());
  return kExitUsage;
}

}  // namespace tabrow::cli

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

bool StartCommand(const std::string& command, const std::vector<OptionInfo>& options,
                  std::string (*help)(), const std::vector<std::string>& args, CommandLine* line,
                  int* status) {
  std::string error;
  if (!ParseCommandLine(options, args, line, &error)) {
    *status = UsageError(command, error);
    return false;
  }
  if (line->help()) {
    std::fputs(help().c_str(), stdout);
    *status = kExitOk;
    return false;
  }
  return true;
}

}  // namespace tabrow::cli

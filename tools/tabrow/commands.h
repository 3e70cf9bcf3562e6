// The subcommands of the program. Each takes the arguments after its name and returns the exit
// status: kExitOk, kExitFailure (the work failed; the library's message or the program's own is
// on the error stream) or kExitUsage (the command line is wrong).
#ifndef TABROW_TOOLS_TABROW_COMMANDS_H_
#define TABROW_TOOLS_TABROW_COMMANDS_H_

#include <string>
#include <vector>

#include "args.h"

namespace tabrow::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int RunDemo(const std::vector<std::string>& args);
int RunGet(const std::vector<std::string>& args);
int RunShow(const std::vector<std::string>& args);
int RunSql(const std::vector<std::string>& args);

// "tabrow <command>: <message>" on the error stream; kExitFailure.
int Fail(const std::string& command, const std::string& message);
// The same followed by a pointer to the command's help; kExitUsage.
int UsageError(const std::string& command, const std::string& message);
// Parses a command's arguments into *line. False when the command is already done: its help was
// printed (*status kExitOk) or its command line is wrong (a usage error, *status kExitUsage).
bool StartCommand(const std::string& command, const std::vector<OptionInfo>& options,
                  std::string (*help)(), const std::vector<std::string>& args, CommandLine* line,
                  int* status);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_COMMANDS_H_

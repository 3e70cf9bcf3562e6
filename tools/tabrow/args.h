// Command-line options in the usual style: "--name value", "--name=value", "-n value", "-nvalue",
// flags without a value, operands anywhere, and "--" ending the options.
#ifndef TABROW_TOOLS_TABROW_ARGS_H_
#define TABROW_TOOLS_TABROW_ARGS_H_

#include <map>
#include <string>
#include <vector>

namespace tabrow::cli {

struct OptionInfo {
  const char* name;   // long name, without "--"
  char letter;        // short name, or 0
  const char* value;  // placeholder of its value ("PATH"), or null for a flag
  const char* help;   // one line
};

class CommandLine {
 public:
  // True when the option was given (a flag, or an option with any value).
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The last value given for the option, or `fallback`.
  std::string Get(const std::string& name, const std::string& fallback = "") const;
  // Every value given for the option, in order.
  std::vector<std::string> All(const std::string& name) const;
  const std::vector<std::string>& operands() const { return operands_; }
  // "--help" or "-h" was given.
  bool help() const { return help_; }

 private:
  friend bool ParseCommandLine(const std::vector<OptionInfo>&, const std::vector<std::string>&,
                               CommandLine*, std::string*);
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> operands_;
  bool help_ = false;
};

// Parses `args` (without the program and command names). "--help" and "-h" are always known.
// Returns false with a one-line `error` for an unknown option or a missing value.
bool ParseCommandLine(const std::vector<OptionInfo>& options, const std::vector<std::string>& args,
                      CommandLine* line, std::string* error);

// The help page: "Usage: <usage>", the description, the options in aligned columns (with
// -h, --help), then `after` when not empty.
std::string HelpText(const std::string& usage, const std::string& description,
                     const std::vector<OptionInfo>& options, const std::string& after);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_ARGS_H_

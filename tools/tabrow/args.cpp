#include "args.h"

#include <algorithm>

namespace tabrow::cli {
namespace {

const OptionInfo* FindLong(const std::vector<OptionInfo>& options, const std::string& name) {
  for (const OptionInfo& option : options) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

const OptionInfo* FindShort(const std::vector<OptionInfo>& options, char letter) {
  for (const OptionInfo& option : options) {
    if (option.letter != 0 && option.letter == letter) return &option;
  }
  return nullptr;
}

std::string Spelling(const OptionInfo& option) {
  std::string text = option.letter != 0 ? std::string("-") + option.letter + ", " : "    ";
  text += std::string("--") + option.name;
  if (option.value != nullptr) text += std::string(" ") + option.value;
  return text;
}

}  // namespace

std::string CommandLine::Get(const std::string& name, const std::string& fallback) const {
  const auto it = values_.find(name);
  return it == values_.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> CommandLine::All(const std::string& name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? std::vector<std::string>() : it->second;
}

bool ParseCommandLine(const std::vector<OptionInfo>& options, const std::vector<std::string>& args,
                      CommandLine* line, std::string* error) {
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      line->operands_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      line->help_ = true;
      continue;
    }
    const OptionInfo* option = nullptr;
    std::string value;
    bool has_value = false;
    if (arg[1] == '-') {
      const size_t equals = arg.find('=');
      option = FindLong(options, arg.substr(2, equals == std::string::npos ? equals : equals - 2));
      if (equals != std::string::npos) value = arg.substr(equals + 1), has_value = true;
    } else {
      option = FindShort(options, arg[1]);
      if (arg.size() > 2) value = arg.substr(2), has_value = true;
    }
    if (option == nullptr) {
      *error = "unknown option '" + arg + "'";
      return false;
    }
    if (option->value == nullptr) {
      if (has_value) {
        *error = "option '--" + std::string(option->name) + "' takes no value";
        return false;
      }
      line->values_[option->name];
      continue;
    }
    if (!has_value) {
      if (i + 1 == args.size()) {
        *error = "option '--" + std::string(option->name) + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    line->values_[option->name].push_back(value);
  }
  return true;
}

std::string HelpText(const std::string& usage, const std::string& description,
                     const std::vector<OptionInfo>& options, const std::string& after) {
  std::vector<OptionInfo> all = options;
  all.push_back({"help", 'h', nullptr, "show this help and exit"});
  size_t width = 0;
  for (const OptionInfo& option : all) width = std::max(width, Spelling(option).size());
  std::string text = "Usage: " + usage + "\n\n" + description + "\n\nOptions:\n";
  for (const OptionInfo& option : all) {
    const std::string spelling = Spelling(option);
    text += "  " + spelling + std::string(width - spelling.size() + 2, ' ') + option.help + "\n";
  }
  if (!after.empty()) text += "\n" + after;
  return text;
}

}  // namespace tabrow::cli

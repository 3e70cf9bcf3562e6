#include "args.h"

#include <algorithm>

namespace tabrow::cli {
namespace {

const OptionSpec* FindLong(const std::vector<OptionSpec>& specs, const std::string& name) {
  for (const OptionSpec& spec : specs) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

const OptionSpec* FindShort(const std::vector<OptionSpec>& specs, char letter) {
  for (const OptionSpec& spec : specs) {
    if (spec.letter != 0 && spec.letter == letter) return &spec;
  }
  return nullptr;
}

std::string Spelling(const OptionSpec& spec) {
  std::string text = spec.letter != 0 ? std::string("-") + spec.letter + ", " : "    ";
  text += std::string("--") + spec.name;
  if (spec.value != nullptr) text += std::string(" ") + spec.value;
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

bool ParseCommandLine(const std::vector<OptionSpec>& specs, const std::vector<std::string>& args,
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
    const OptionSpec* spec = nullptr;
    std::string value;
    bool has_value = false;
    if (arg[1] == '-') {
      const size_t equals = arg.find('=');
      spec = FindLong(specs, arg.substr(2, equals == std::string::npos ? equals : equals - 2));
      if (equals != std::string::npos) value = arg.substr(equals + 1), has_value = true;
    } else {
      spec = FindShort(specs, arg[1]);
      if (arg.size() > 2) value = arg.substr(2), has_value = true;
    }
    if (spec == nullptr) {
      *error = "unknown option '" + arg + "'";
      return false;
    }
    if (spec->value == nullptr) {
      if (has_value) {
        *error = "option '--" + std::string(spec->name) + "' takes no value";
        return false;
      }
      line->values_[spec->name];
      continue;
    }
    if (!has_value) {
      if (i + 1 == args.size()) {
        *error = "option '--" + std::string(spec->name) + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    line->values_[spec->name].push_back(value);
  }
  return true;
}

std::string HelpText(const std::string& usage, const std::string& description,
                     const std::vector<OptionSpec>& specs, const std::string& after) {
  std::vector<OptionSpec> all = specs;
  all.push_back({"help", 'h', nullptr, "show this help and exit"});
  size_t width = 0;
  for (const OptionSpec& spec : all) width = std::max(width, Spelling(spec).size());
  std::string text = "Usage: " + usage + "\n\n" + description + "\n\nOptions:\n";
  for (const OptionSpec& spec : all) {
    const std::string spelling = Spelling(spec);
    text += "  " + spelling + std::string(width - spelling.size() + 2, ' ') + spec.help + "\n";
  }
  if (!after.empty()) text += "\n" + after;
  return text;
}

}  // namespace tabrow::cli

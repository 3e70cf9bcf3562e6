// tabrow sql: prints a stored query template and its condition with values bound.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "files.h"
#include "tabrow/archive.h"
#include "tabrow/query.h"
#include "template_text.h"
#include "text.h"

namespace tabrow::cli {
namespace {

const std::vector<OptionInfo> kOptions = {};

std::string Help() {
  return HelpText(
      "tabrow sql [OPTIONS] FILE [NAME=VALUE...]",
      "Prints the query template stored in FILE as a readable SELECT statement, then its\n"
      "condition as SQL, with every :NAME reference in the template's texts replaced by\n"
      "VALUE (written as it should appear in SQL: quote texts yourself, or quote the\n"
      "reference in the template). A condition whose reference has no value is handled\n"
      "as the template says: dropped unless it asks otherwise.",
      kOptions, "Example:\n  tabrow sql orders.qt customer=\"'Anna'\" since=2024-03-01\n");
}

struct TemplateDeleter {
  void operator()(XQueryTemplate* query) const { XQueryTemplate::Release(query); }
};

bool ParseBindings(const std::vector<std::string>& operands, Bindings* bindings,
                   std::string* error) {
  for (size_t i = 1; i < operands.size(); ++i) {
    const std::string& operand = operands[i];
    const size_t equals = operand.find('=');
    const std::u16string name = ToUtf16(operand.substr(0, equals));
    if (equals == std::string::npos || !IsReferenceName(name)) {
      *error = "expected NAME=VALUE, not '" + operand + "'";
      return false;
    }
    (*bindings)[name] = ToUtf16(operand.substr(equals + 1));
  }
  return true;
}

std::string ConditionText(const BoundCondition& condition) {
  switch (condition.kind) {
    case ConditionKind::kSql:
      return condition.text;
    case ConditionKind::kNone:
      return "(none: every row qualifies)";
    case ConditionKind::kNever:
      return "(never holds: no row qualifies)";
  }
  return "";
}

}  // namespace

int RunSql(const std::vector<std::string>& args) {
  CommandLine line;
  int status = kExitOk;
  if (!StartCommand("sql", kOptions, Help, args, &line, &status)) return status;
  std::string error;
  Bindings bindings;
  if (line.operands().empty()) return UsageError("sql", "expected a template FILE");
  if (!ParseBindings(line.operands(), &bindings, &error)) return UsageError("sql", error);
  const std::string& path = line.operands()[0];
  XMemoArchive archive;
  if (!ReadFile(path, &archive, &error)) return Fail("sql", error);
  std::unique_ptr<XQueryTemplate, TemplateDeleter> query(XQueryTemplate::Malloc());
  if (query == nullptr) return Fail("sql", "out of memory");
  if (query->Serialize(&archive, 0) == 0)
    return Fail("sql", path + ": not a stored query template");
  std::printf("%s\n", DescribeTemplate(query.get()).c_str());
  std::fflush(stdout);
  BoundCondition condition;
  if (!BindCondition(query.get(), bindings, &condition, &error)) return Fail("sql", error);
  std::printf("\nCondition:\n%s\n", ConditionText(condition).c_str());
  return kExitOk;
}

}  // namespace tabrow::cli

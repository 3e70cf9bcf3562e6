// A query template as text: its readable description, and its condition as SQL once every
// ":name" reference in its texts is replaced by a value.
#ifndef TABROW_TOOLS_TABROW_TEMPLATE_TEXT_H_
#define TABROW_TOOLS_TABROW_TEMPLATE_TEXT_H_

#include <map>
#include <string>

#include "tabrow/query.h"

namespace tabrow::cli {

// Reference names (letters, digits and '_', not starting with a digit) and their values.
using Bindings = std::map<std::u16string, std::u16string>;

// True when `name` can follow ':' as a reference.
bool IsReferenceName(const std::u16string& name);

// The template's description (MakeTemplateDesc) in UTF-8, lines ended by "\n".
std::string DescribeTemplate(XQueryTemplate* query);

enum class ConditionKind {
  kSql,    // a condition: the text
  kNone,   // no condition is left: every row qualifies
  kNever,  // the condition never holds: no row qualifies
};

struct BoundCondition {
  ConditionKind kind = ConditionKind::kNone;
  std::string text;  // UTF-8, for kSql
};

// Binds the template with `bindings` (a reference without a value is unresolved, and its
// condition becomes what the condition's unbound mode says), simplifies the where tree and
// renders it. False with `error` when binding or rendering fails. Field, grouping and ordering
// texts of the template stay bound afterwards.
bool BindCondition(XQueryTemplate* query, const Bindings& bindings, BoundCondition* condition,
                   std::string* error);

}  // namespace tabrow::cli

#endif  // TABROW_TOOLS_TABROW_TEMPLATE_TEXT_H_

// The condition operators: how the template description shows them and how SQL text renders
// them.
#ifndef TABROW_QUERY_OPERATORS_H_
#define TABROW_QUERY_OPERATORS_H_

#include <cstdint>

namespace tabrow {

// How a Value is written after the operator's SQL text.
enum class ValueForm { kVerbatim, kContains, kStartsWith, kList, kYear, kMonth, kDay };

struct QueryOperator {
  uint32_t code;
  const char* shown;  // in the template description
  const char* sql;    // in SQL text, between Name and Value
  ValueForm form;
};

// The operator with `code`, or null when the code names none.
const QueryOperator* FindOperator(uint32_t code);

// The range operators stand in their own parentheses and compare the Name twice.
inline bool IsRange(ValueForm form) {
  return form == ValueForm::kYear || form == ValueForm::kMonth || form == ValueForm::kDay;
}

}  // namespace tabrow

#endif  // TABROW_QUERY_OPERATORS_H_

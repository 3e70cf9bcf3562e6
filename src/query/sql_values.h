// Writing a condition's Value in SQL text: verbatim, as a LIKE pattern, as a list in
// parentheses, or as the two bounds of a year, month or day range.
#ifndef TABROW_QUERY_SQL_VALUES_H_
#define TABROW_QUERY_SQL_VALUES_H_

#include "query/operators.h"
#include "query/text_out.h"

namespace tabrow {

// Writes `value` in the given form; a range repeats `name` for its upper bound. Returns 0, or
// QTE_FAIL for a value without the quotes its form needs (the output then holds a partial text).
int32_t RenderValue(TextOut& out, ValueForm form, const XCHAR* name, const XCHAR* value);

}  // namespace tabrow

#endif  // TABROW_QUERY_SQL_VALUES_H_

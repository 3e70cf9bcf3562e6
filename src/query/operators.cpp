#include "query/operators.h"

#include "tabrow/query.h"

namespace tabrow {

namespace {

constexpr QueryOperator kOperators[] = {
    {QOP_GT, " > ", " > ", ValueForm::kVerbatim},
    {QOP_EQ, " = ", " = ", ValueForm::kVerbatim},
    {QOP_LT, " < ", " < ", ValueForm::kVerbatim},
    {QOP_GE, " >= ", " >= ", ValueForm::kVerbatim},
    {QOP_LE, " <= ", " <= ", ValueForm::kVerbatim},
    {QOP_NE, " <> ", " <> ", ValueForm::kVerbatim},
    {QOP_INC, " INC ", " LIKE ", ValueForm::kContains},
    {QOP_LIKE, " LIKE ", " LIKE ", ValueForm::kVerbatim},
    {QOP_START, " START ", " LIKE ", ValueForm::kStartsWith},
    {QOP_IN, " IN ", " IN ", ValueForm::kList},
    {QOP_NOTIN, " NOT IN ", " NOT IN ", ValueForm::kList},
    {QOP_IS, " IS ", " IS ", ValueForm::kVerbatim},
    {QOP_ISNOT, " IS NOT ", " IS NOT ", ValueForm::kVerbatim},
    {QOP_EXISTS, " EXISTS ", " EXISTS ", ValueForm::kVerbatim},
    {QOP_NOTEXISTS, " NOT EXISTS ", " NOT EXISTS ", ValueForm::kVerbatim},
    {QOP_ISYEAR, " ISYEAR ", " >= ", ValueForm::kYear},
    {QOP_ISMONTH, " ISMONTH ", " >= ", ValueForm::kMonth},
    {QOP_ISDATE, " ISDATE ", " >= ", ValueForm::kDay},
};

}  // namespace

const QueryOperator* FindOperator(uint32_t code) {
  for (const QueryOperator& op : kOperators) {
    if (op.code == code) return &op;
  }
  return nullptr;
}

}  // namespace tabrow

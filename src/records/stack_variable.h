// The record of one named variable and the handling of its value by type. Internal to the
// variable stack.
#ifndef TABROW_RECORDS_STACK_VARIABLE_H_
#define TABROW_RECORDS_STACK_VARIABLE_H_

#include "tabrow/dataunit.h"

// One variable. Records are allocated zero-filled and pushed in front of the stack's Head.
struct StackVariable {
  uint16_t Type;           // unit type of the value; 0 after a set from no unit
  uint16_t Null;           // 1: no value
  XUnitValue Value;        // a scalar, or storage the variable owns; all zero when there is none
  XCHAR VariableName[32];  // at most 31 characters and a NUL
  StackVariable* Next;     // the next older variable
};

namespace tabrow {

constexpr int32_t kVariableNameRoom = 32;

// Fills the Type, Null and Value of `variable` (all zero on entry) from the unit: a value the
// unit owns is taken over (the unit's Owned becomes null), a borrowed one copied.
void BuildVariableValue(XDataUnit* unit, StackVariable* variable);
// Gives back the value that a non-null variable owns, then zeroes Value and sets Null.
void ReleaseVariableValue(StackVariable* variable);
// Clears the unit, sets its type to the variable's and lends it the value.
void LendVariableValue(const StackVariable& variable, XDataUnit* unit);

}  // namespace tabrow

#endif  // TABROW_RECORDS_STACK_VARIABLE_H_

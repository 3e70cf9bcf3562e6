// XVarStacker: the chain of named variables.
#include <cstdlib>

#include "platform/text.h"
#include "records/stack_variable.h"
#include "tabrow/varstacker.h"

namespace {

// The newest variable whose name equals `name` unit by unit, or null.
StackVariable* FindVariable(StackVariable* head, const XCHAR* name) {
  while (head != nullptr && tabrow::TextCompare(head->VariableName, name) != 0) head = head->Next;
  return head;
}

}  // namespace

XVarStacker::XVarStacker() : Head(nullptr) {}

XVarStacker::~XVarStacker() {
  ClearStacker();
}

XVarStacker::XVarStacker(XVarStacker&& other) noexcept : Head(other.Head) {
  other.Head = nullptr;
}

XVarStacker& XVarStacker::operator=(XVarStacker&& other) noexcept {
  if (this != &other) {
    ClearStacker();
    Head = other.Head;
    other.Head = nullptr;
  }
  return *this;
}

void XVarStacker::ClearStacker() {
  while (Head != nullptr) {
    StackVariable* next = Head->Next;
    tabrow::ReleaseVariableValue(Head);
    std::free(Head);
    Head = next;
  }
}

int32_t XVarStacker::SetVariable(const XCHAR* name, XDataUnit* unit) {
  XCHAR key[tabrow::kVariableNameRoom];
  tabrow::TextCopyN(key, name, tabrow::kVariableNameRoom);
  StackVariable* variable = FindVariable(Head, key);
  if (variable == nullptr) {
    variable = static_cast<StackVariable*>(std::calloc(1, sizeof(StackVariable)));
    if (variable == nullptr) return 0;
    tabrow::TextCopy(variable->VariableName, key);
    variable->Null = 1;
    variable->Next = Head;
    Head = variable;
  }
  // The new value is built first: the unit may be lending the old one.
  StackVariable built = {};
  tabrow::BuildVariableValue(unit, &built);
  tabrow::ReleaseVariableValue(variable);
  variable->Type = built.Type;
  variable->Null = built.Null;
  variable->Value = built.Value;
  return 1;
}

int32_t XVarStacker::GetVariable(const XCHAR* name, XDataUnit* unit) {
  if (unit == nullptr) return 0;
  const StackVariable* variable = FindVariable(Head, name);
  if (variable == nullptr) return 0;
  tabrow::LendVariableValue(*variable, unit);
  return 1;
}

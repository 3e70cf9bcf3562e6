// Tabrow: XVarStacker, named variables whose values are data units.
//
// The stack owns every value stored in it. SetVariable moves a value that the unit owns into
// the stack (the unit's Owned becomes null; its Value still points at the storage) and copies
// one that the unit only borrows: texts and blobs are copied, an archive's content goes into a
// new XMemoArchive, a grid into a deep copy. A borrowed object cannot be copied, so it is
// stored as a null object. GetVariable lends the value: the unit borrows it until the variable
// is set again or the stack is cleared. The newest variable is found first.
//
// Choices made here:
// - Names match by exact comparison of their UTF-16 units, both when set and when read. Names
//   are stored cut to 31 characters, and SetVariable looks them up cut the same way, so setting
//   a 40-character name twice replaces one variable; GetVariable compares the whole name given,
//   so only the first 31 characters find it. A null name is the empty name.
// - GetVariable first gives back what the unit owns (by the unit's own type), then lends.
// - SetVariable builds the new value before it gives back the old one, so a value that
//   GetVariable lent from the same variable can be stored again.
// - No implicit copies: copying is deleted; moving transfers the variables and leaves the source
//   empty.
#ifndef TABROW_VARSTACKER_H_
#define TABROW_VARSTACKER_H_

#include "tabrow/base.h"
#include "tabrow/dataunit.h"

struct StackVariable;

class TABROW_API XVarStacker {
 public:
  XVarStacker();
  // Clears the stack.
  virtual ~XVarStacker();
  XVarStacker(const XVarStacker&) = delete;
  XVarStacker& operator=(const XVarStacker&) = delete;
  XVarStacker(XVarStacker&& other) noexcept;
  // Clears this stack, then takes the other's variables.
  XVarStacker& operator=(XVarStacker&& other) noexcept;

  // Gives back every variable's value and record; the stack is empty afterwards.
  void ClearStacker();
  // Creates or replaces the variable `name` with the unit's value (see above). No unit stores a
  // null value of type 0; a null unit a null value of its type; a unit of a type no variable
  // holds, or whose copy cannot be made, a null value of its type. Returns 1, or 0 when memory
  // for a new variable runs out (nothing stored, the unit untouched).
  int32_t SetVariable(const XCHAR* name, XDataUnit* unit);
  // Clears the unit, gives it the variable's type and lends it the value (a null variable
  // leaves it null). Returns 1, or 0 when no variable has that name or the unit is null (the
  // unit untouched).
  int32_t GetVariable(const XCHAR* name, XDataUnit* unit);

 private:
  StackVariable* Head;  // the newest variable
};

#endif  // TABROW_VARSTACKER_H_

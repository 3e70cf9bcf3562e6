// The row buffer's adders: each makes one heap unit, sets it, and appends it to the chain.
#include "tabrow/rowbuffer.h"
#include "values/unit_alloc.h"

XDataUnit* XRowBuffer::AddNullUnit() {
  XDataUnit* unit = tabrow::MallocDataUnit();
  if (unit != nullptr) Append(unit);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(int32_t value) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, value);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(double value) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, value);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(const DATETIME& value) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, value);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(const XCHAR* text, int32_t copy) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, text, copy);
  return unit;
}

XDataUnit* XRowBuffer::AddUserUnit(const void* blob, int32_t copy) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUserValue(unit, blob, copy);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(IArchive* archive, int32_t own) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, archive, own);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(XRowGrider* grider, int32_t own) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, grider, own);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(IObjectVar* object, int32_t own) {
  XDataUnit* unit = AddNullUnit();
  if (unit != nullptr) SetUnitValue(unit, object, own);
  return unit;
}

XDataUnit* XRowBuffer::AddDataUnit(const XDataUnit* source) {
  if (source == nullptr) return nullptr;
  if ((source->Null & 1) != 0) return AddNullUnit();
  switch (source->Type) {
    case XDT_LONG:
      return AddDataUnit(source->Value.Long);
    case XDT_STRING:
      return AddDataUnit(source->Value.Text, 1);
    case XDT_DOUBLE:
      return AddDataUnit(source->Value.Double);
    case XDT_DATETIME:
      return AddDataUnit(source->Value.Time);
    default:
      return nullptr;
  }
}

XDataUnit* XRowBuffer::AddDataUnit(const XItemDataDesc* desc, uintptr_t binder) {
  if (desc == nullptr) return nullptr;
  XDataUnit* unit = AddNullUnit();
  if (unit == nullptr) return nullptr;
  GetDescValue(desc, unit);
  unit->Binder = binder;
  return unit;
}

XDataUnit* XRowBuffer::AddDataDesc(const XItemDataDesc* desc, uintptr_t binder) {
  if (desc == nullptr) return nullptr;
  XDataUnit* unit = AddNullUnit();
  if (unit == nullptr) return nullptr;
  unit->Binder = binder;
  unit->Code = desc->Code;
  unit->Extra = desc->Extra;
  unit->Type = desc->Type == XDT_ALTSTRING ? XDT_STRING : desc->Type;
  unit->Size = desc->Size;
  return unit;
}

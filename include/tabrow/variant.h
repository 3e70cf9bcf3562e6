// Tabrow: the VARIANT record and BSTR texts that hosts exchange with the conversions.
//
// A VARIANT is a 16-bit type word (VT_...), three reserved words, and the value at offset 8.
// Only the members the conversions use are declared, so the record is 16 bytes.
//
// A BSTR is an XCHAR text with a 32-bit byte count stored just before its first character and a
// NUL after its last one. BSTRs are made by SysAllocString and given back by SysFreeString.
#ifndef TABROW_VARIANT_H_
#define TABROW_VARIANT_H_

#include <cstddef>

#include "tabrow/base.h"

typedef XCHAR* BSTR;
typedef uint16_t VARTYPE;
typedef int16_t VARIANT_BOOL;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Type words.
enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,  // days since 1899-12-30 00:00:00, the fraction being the time of day
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
};

struct tagVARIANT {
  VARTYPE vt;
  uint16_t wReserved1;
  uint16_t wReserved2;
  uint16_t wReserved3;
  union {
    int32_t lVal;          // VT_I4
    int16_t iVal;          // VT_I2
    float fltVal;          // VT_R4
    double dblVal;         // VT_R8
    double date;           // VT_DATE
    BSTR bstrVal;          // VT_BSTR
    VARIANT_BOOL boolVal;  // VT_BOOL
    uint16_t uiVal;        // VT_UI2
    uint32_t ulVal;        // VT_UI4
    int32_t intVal;        // VT_INT
    uint32_t uintVal;      // VT_UINT
  };
};
typedef tagVARIANT VARIANT;
static_assert(offsetof(VARIANT, lVal) == 8, "VARIANT value at offset 8");
static_assert(sizeof(VARIANT) == 16, "VARIANT layout");

// A new BSTR holding a copy of `text` up to its NUL; null for a null text or when memory runs
// out. The caller gives it back with SysFreeString.
TABROW_API BSTR SysAllocString(const XCHAR* text);
// Gives back a BSTR made by SysAllocString; ignores null.
TABROW_API void SysFreeString(BSTR text);
// The number of characters of a BSTR (from its byte count); 0 for null.
TABROW_API uint32_t SysStringLen(BSTR text);

#endif  // TABROW_VARIANT_H_

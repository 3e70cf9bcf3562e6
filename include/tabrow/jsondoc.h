// Tabrow: JSON-like answers parsed into a tree of nodes, found by slash paths and read into
// data units; and 8-bit answers turned into UTF-16 text.
//
// The grammar is tolerant:
//  - commas between items are optional, and one may directly precede the closing bracket;
//    but blanks right after an opening bracket of an empty list, or between a trailing comma and
//    the closing bracket, are an error ("[ ]", "[1, ]");
//  - an object ends only at '}' and an array only at ']';
//  - null, true and false match regardless of case, comparing only their own 4 or 5 bytes;
//  - strings take double or single quotes (a member name only double quotes); the escapes are
//    \" \' \\ \r \n \t, \x with up to two hexadecimal digits, and \ with up to three digits from
//    0 to 8 read as value x 8 + digit (modulo 256); any other backslash stays as it is (so \u,
//    \b, \f and \/ keep theirs);
//  - numbers are decimal with an optional fraction and no exponent, or 0x hexadecimal; a
//    minus sign may be followed by blanks; a lone minus sign is 0; a number without a fraction
//    up to 2147483647 is an integer, above that a double (decimal and hexadecimal
//    accumulators wrap around at 64 bits);
//  - blanks are the bytes 1 to 32; the text ends at its first NUL or its length; text after the
//    first complete value is ignored; nesting deeper than 1000 lists is an error.
// A failed parse keeps the nodes built so far: a document with a root counts as loaded.
//
// Parsing works in place: strings are unescaped over their own bytes and NUL-terminated there,
// and nodes point into the text, which must stay writable and alive as long as the tree.
#ifndef TABROW_JSONDOC_H_
#define TABROW_JSONDOC_H_

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"

// Node kinds besides XDT_LONG (integers, true and false), XDT_STRING and XDT_DOUBLE.
constexpr int32_t XJT_NULL = 64;
constexpr int32_t XJT_OBJECT = 0x1001;
constexpr int32_t XJT_ARRAY = 0x1002;

// A node of a document tree. Texts are 8-bit, in the document's code page.
struct XJsonNode {
  int32_t Kind;
  char* Name;  // member name inside an object, else null
  union {
    int32_t Long;   // XDT_LONG
    char* Text;     // XDT_STRING
    double Double;  // XDT_DOUBLE
  } Value;
  XJsonNode* Child;  // first member or element of an object or array
  XJsonNode* Next;   // next member or element of the same parent
};

// A parsed document. Its texts are UTF-8 when IsUtf8(), else in code page 936. The document
// owns its nodes, and the text when it read or converted it itself.
class TABROW_API XJsonDoc {
 public:
  XJsonDoc();
  virtual ~XJsonDoc();
  XJsonDoc(const XJsonDoc&) = delete;
  XJsonDoc& operator=(const XJsonDoc&) = delete;

  // Reads the whole archive into a text of the document's own and loads it. An empty archive
  // leaves an empty document with result 1. Returns 1, or 0 on a parse error (or null archive).
  int32_t LoadArchive(int32_t utf8, IArchive* archive);
  // Loads `length` bytes of `text` in place. A text starting with FF FE is UTF-16LE: it is
  // converted into a UTF-8 text of the document's own. One starting with EF BB BF is parsed
  // after those bytes. Either mark makes the document UTF-8 whatever `utf8` says. An empty text
  // leaves an empty document with result 1. Returns 1, or 0 on a parse error.
  int32_t LoadText(int32_t utf8, char* text, uint32_t length);
  // Replaces this document by a deep copy of `source`: the tree and every name and string are
  // copied into storage of its own. Returns 1, or 0 when memory runs out (left empty).
  int32_t CopyFrom(const XJsonDoc& source);

  int32_t IsUtf8() const { return utf8_; }
  // The root node, or null for an empty document.
  XJsonNode* GetRoot() const { return root_; }

  // The node a slash path of member names leads to from `start`, or null. An empty (or null)
  // path gives `start`; an empty name ("a//b") gives null; a trailing slash is allowed. Each
  // name (its first 319 units) is converted to the document's code page and compared byte for
  // byte with the members' names; the first match is taken. Array elements have no name and
  // cannot be reached.
  static XJsonNode* FindNode(XJsonNode* start, int32_t utf8, const XCHAR* path);

  // Sets `unit` from `node`, wanted as type 0 (as it is), XDT_LONG, XDT_STRING, XDT_DOUBLE or
  // XDT_DATETIME. Returns 1 when the unit was set, 0 when there is no conversion (unit left
  // alone): objects, arrays, numbers wanted as date-times, other wanted types.
  //  - integers and doubles convert among integer (doubles truncated toward zero), double and
  //    text ("%ld", or eight decimals with trailing zeros trimmed);
  //  - a string becomes text (its first 8191 units), an integer or a double read from its start
  //    (0 when none starts it), or a date-time read with the default mask; an empty string, or
  //    one that is not a date-time text when one is wanted, leaves the unit null (the latter
  //    with type XDT_DATETIME);
  //  - null clears the unit's data (ClearUnitData).
  static int32_t NodeToUnit(const XJsonNode* node, int32_t utf8, XDataUnit* unit, uint16_t wanted);

 private:
  struct Pool;

  void Reset();
  int32_t Parse(char* text, const char* end);

  int32_t utf8_;
  char* text_;  // the document's own text, or null
  XJsonNode* root_;
  Pool* pool_;  // the nodes
};

// The whole content of `archive` as a new NUL-terminated UTF-16 text, converted from UTF-8 when
// `utf8` is non-zero, else from code page 936; a byte order mark is kept. Null for an empty
// (or null) archive or when memory runs out. Give the text back with XMem_Free.
TABROW_API XCHAR* MallocTextDoc(IArchive* archive, int32_t utf8);

#endif  // TABROW_JSONDOC_H_

// Tabrow: query templates, their where tree and their SQL text.
//
// An XQueryTemplate holds one database query in pieces: four descriptor lists (fields,
// conditions, grouping, ordering), a from text, two data muster words naming the queried object,
// three carried template words, a binder callback that substitutes references inside texts, and
// the where tree built from the conditions. The template owns every record, every text of a
// record and the tree's nodes; all of them are allocated with malloc and freed with free.
//
// Exchange buffers. SetDesc reads and GetNextDesc writes one record as a packed buffer without
// padding, at any address: a text slot is a fixed array of UTF-16 units holding a NUL-terminated
// text, a number a 32-bit little-endian word. Byte offsets:
//   fields      (9328 bytes): Expression 0 (512 units), ShortText 1024 (48), DataType 1120,
//                             DataSize 1124, FieldWord5 1128, FieldWord6 1132, LongText 1136 (4096)
//   conditions  (9392 bytes): opening parentheses 0 (16), Name 32 (256), operator 544, Value 548
//                             (256), closing parentheses 1060 (16), junction 1092, UnboundMode
//                             1096, ShortText 1100 (48), WhereWord7 1196, LongText 1200 (4096)
//   grouping     (608 bytes): Expression 0 (256), ShortText 512 (48)
//   ordering     (612 bytes): Expression 0 (256), Descending 512, ShortText 516 (48)
// Reading takes at most a slot's width of units from a text slot (a slot without a NUL gives a
// text of the full width) and stores an empty text as null; a parenthesis slot counts the "(" (or
// ")") characters in its text. Writing puts only each slot's text and its NUL into the buffer,
// cut to the slot width less one (a parenthesis count above 15 shows as 15); the rest of a slot
// is left alone.
//
// Condition lists are read the way SQL reads them: parentheses group, AND binds tighter than OR.
// A group opened by "(" ends the junction climb, so y AND (a AND b OR c) builds
// AND (y, OR (AND (a, b), c)). A ")" with no open group fails building. Junction values other
// than QJN_OR and QJN_AND are compared by number while building, count as AND when simplifying
// and render as OR in SQL text.
//
// Running out of memory: Malloc returns null. SetDesc and InsertSuber then add nothing, a text
// that cannot be copied is stored as null, and building a tree gives QTE_FAIL.
//
// Working buffers. ReplaceTemplate trusts the caller's buffer to be large enough. ComputeTemplate
// binds conditions in its own 8192-unit buffer; a condition text that does not fit what is left
// of it gives QTE_FAIL. Field, grouping and ordering texts longer than a 1024-unit working text
// (4096 for the from text) are cut to fit it.
//
// Copying a template is not allowed: the records belong to exactly one template.
//
// A null cursor or buffer makes GetNextDesc do nothing, as a null buffer does SetDesc; a null
// archive makes Serialize return 0 (after loading has emptied the lists) and ComputeTemplate
// return QTE_FAIL.
#ifndef TABROW_QUERY_H_
#define TABROW_QUERY_H_

#include <cstddef>

#include "tabrow/archive.h"
#include "tabrow/base.h"

// List numbers of the descriptor list operations.
constexpr int32_t QDL_FIELD = 0;
constexpr int32_t QDL_WHERE = 1;
constexpr int32_t QDL_GROUP = 2;
constexpr int32_t QDL_ORDER = 3;
constexpr int32_t QDL_WHERETREE = 8;  // GetDescList only: the where tree root

// Junctions (high half of a condition's OpJunction) and group states of the where tree.
constexpr uint32_t QJN_OR = 1;
constexpr uint32_t QJN_AND = 2;

// Operator codes (low half of a condition's OpJunction).
constexpr uint32_t QOP_GT = 1;
constexpr uint32_t QOP_EQ = 2;
constexpr uint32_t QOP_LT = 3;
constexpr uint32_t QOP_GE = 4;
constexpr uint32_t QOP_LE = 5;
constexpr uint32_t QOP_NE = 6;
constexpr uint32_t QOP_INC = 7;  // contains: 'abc' is rendered LIKE '%abc%'
constexpr uint32_t QOP_LIKE = 8;
constexpr uint32_t QOP_START = 9;  // starts with: 'abc' is rendered LIKE 'abc%'
constexpr uint32_t QOP_IN = 10;
constexpr uint32_t QOP_NOTIN = 11;
constexpr uint32_t QOP_IS = 12;
constexpr uint32_t QOP_ISNOT = 13;
constexpr uint32_t QOP_EXISTS = 16;
constexpr uint32_t QOP_NOTEXISTS = 17;
constexpr uint32_t QOP_ISYEAR = 33;   // same year as the quoted date
constexpr uint32_t QOP_ISMONTH = 34;  // same month
constexpr uint32_t QOP_ISDATE = 35;   // same day

// What a condition becomes when the binder cannot resolve it. Every other value acts as QUB_DROP.
constexpr int32_t QUB_DROP = 0;
constexpr int32_t QUB_FALSE = 1;
constexpr int32_t QUB_FAIL = 2;
constexpr int32_t QUB_TRUE = 3;
constexpr int32_t QUB_LITERAL =
    4;  // keep the text as written when unresolved; drop it when resolved

// Constant states of where tree nodes.
constexpr uint32_t XWT_TRUE = 0x10000001u;   // always holds
constexpr uint32_t XWT_FALSE = 0x10000002u;  // never holds
constexpr uint32_t XWT_VOID = 0x10000003u;   // dropped

// Result codes; all negative as int32_t.
constexpr int32_t QTE_FAIL = static_cast<int32_t>(0x80000001u);
constexpr int32_t QTE_NOFIELDS = static_cast<int32_t>(0x80050302u);
constexpr int32_t QTE_FIELDTEXT = static_cast<int32_t>(0x80050303u);
constexpr int32_t QTE_WHEREVALUE = static_cast<int32_t>(0x80050304u);
constexpr int32_t QTE_GROUPTEXT = static_cast<int32_t>(0x80050305u);
constexpr int32_t QTE_ORDERTEXT = static_cast<int32_t>(0x80050306u);
constexpr int32_t QTE_WHEREBUILD = static_cast<int32_t>(0x80050309u);
constexpr int32_t QTE_WHERESHAPE = static_cast<int32_t>(0x8005030au);
constexpr int32_t QTE_NOMUSTER = static_cast<int32_t>(0x8005030bu);
constexpr int32_t QTE_UNBOUND = static_cast<int32_t>(0x80030021u);  // binder: unresolved reference

// One selected field.
struct XQueryFieldDesc {
  XCHAR* Expression;  // the select-list expression
  XCHAR* ShortText;   // carried; takes no part in binding or text generation
  uint16_t DataType;  // data unit type code
  uint16_t DataSize;  // value size in bytes; storing forces 4 for XDT_LONG, 8 for double and date
  int32_t FieldWord5;
  int32_t FieldWord6;
  XCHAR* LongText;
  XQueryFieldDesc* Next;
};
static_assert(offsetof(XQueryFieldDesc, DataType) == 16, "XQueryFieldDesc layout");
static_assert(offsetof(XQueryFieldDesc, LongText) == 32, "XQueryFieldDesc layout");
static_assert(sizeof(XQueryFieldDesc) == 48, "XQueryFieldDesc layout");

// One condition.
struct XQueryWhereDesc {
  XCHAR* Name;   // left operand; may be null only for QOP_EXISTS and QOP_NOTEXISTS
  XCHAR* Value;  // right operand as it appears in SQL, strings in single quotes
  XCHAR* ShortText;
  uint32_t Parens;      // low half: "(" before the condition; high half: ")" after it
  uint32_t OpJunction;  // low half: operator code; high half: junction to the next, 0 on the last
  int32_t UnboundMode;  // QUB_...
  int32_t WhereWord7;
  XCHAR* LongText;
  XQueryWhereDesc* Next;
};
static_assert(offsetof(XQueryWhereDesc, Parens) == 24, "XQueryWhereDesc layout");
static_assert(offsetof(XQueryWhereDesc, LongText) == 40, "XQueryWhereDesc layout");
static_assert(sizeof(XQueryWhereDesc) == 56, "XQueryWhereDesc layout");

// One grouping expression.
struct XQueryGroupDesc {
  XCHAR* Expression;
  XCHAR* ShortText;
  XQueryGroupDesc* Next;
};
static_assert(sizeof(XQueryGroupDesc) == 24, "XQueryGroupDesc layout");

// One ordering expression.
struct XQueryOrderDesc {
  XCHAR* Expression;
  XCHAR* ShortText;
  int32_t Descending;  // non-zero sorts descending
  XQueryOrderDesc* Next;
};
static_assert(offsetof(XQueryOrderDesc, Descending) == 16, "XQueryOrderDesc layout");
static_assert(sizeof(XQueryOrderDesc) == 32, "XQueryOrderDesc layout");

// One node of a where tree: a leaf is a condition, a node with a Child is an AND or OR group.
// Name and Value point into the template's condition records or into the caller's working
// buffer; the tree is valid only while both stay unchanged.
struct XWhereTree {
  uint32_t State;         // leaf: 0 (live) or XWT_...; group: QJN_OR, QJN_AND, 0 until a junction
                          // reaches it, or XWT_TRUE / XWT_FALSE once reduced to a constant
  uint32_t Level;         // leaf: the caller's; group: aggregated by simplification
  int32_t Mark;           // leaf: the caller's; group: aggregated, 0x7F000000 when children differ
  const XCHAR* Name;      // left operand after binding; null when dropped or absent
  const XCHAR* Value;     // right operand after binding; null when dropped
  XQueryWhereDesc* Desc;  // the condition the leaf was built from; null for groups
  XWhereTree* Next;
  XWhereTree* Child;
  XWhereTree* Parent;
};
static_assert(offsetof(XWhereTree, Name) == 16, "XWhereTree layout");
static_assert(offsetof(XWhereTree, Next) == 40, "XWhereTree layout");
static_assert(sizeof(XWhereTree) == 64, "XWhereTree layout");

// The binder: called with the binder context and a working text holding a NUL-terminated copy of
// one template text. Returns 0 when the text needs no substitution (left as it was), a positive
// value after rewriting it in place, QTE_UNBOUND when a reference cannot be resolved, or another
// negative value for an error that the calling operation passes back at once. Room it may use
// (units, NUL included): 1024 for grouping and ordering texts in ReplaceTemplate and for field,
// grouping and ordering texts in ComputeTemplate; 4096 for the from text; the rest of the working
// buffer for field texts in ReplaceTemplate and for condition texts.
typedef int32_t (*XQueryBinder)(void* context, XCHAR* text);

class TABROW_API XQueryTemplate {
 public:
  XQueryTemplate(const XQueryTemplate&) = delete;
  XQueryTemplate& operator=(const XQueryTemplate&) = delete;

  // A new empty template (every field zero or null), or null when memory runs out.
  static XQueryTemplate* Malloc();
  // Destroys the template with its lists, from text and where tree.
  void Release();
  // As Release; ignores null.
  static void Release(XQueryTemplate* query);

  // Lists 0 to 3: releases every record of the list. Any other index does nothing.
  void ClearDesc(int32_t list);
  // The first record of list 0 to 3, the where tree root for QDL_WHERETREE, else null.
  void* GetDescList(int32_t list);
  // Frees `first` and every record linked after it (the caller unlinks the chain first). Lists
  // other than 0 to 3 are ignored.
  void ReleaseDesc(int32_t list, void* first);
  // Keeps a copy of `text` without its leading characters 1 to 32; a null, empty or blank text
  // leaves no from text.
  void SetFromClause(const XCHAR* text);
  void SetDataMuster(uint32_t first, uint32_t second);
  // Stores the binder context and function (null: none).
  void SetBinder(void* context, XQueryBinder binder);
  // The same with the function as an untyped pointer.
  void SetBinder(void* context, const void* binder);
  void SetBinder(void* context, std::nullptr_t);

  // With a null record, appends a new record read from `buffer` to the list; with a record,
  // refills it from `buffer` in place. Lists other than 0 to 3 and a null buffer are ignored.
  void SetDesc(int32_t list, void* record, const void* buffer);
  // Moves *cursor to the record after it (the first when *cursor is null) and writes that record
  // into `buffer`; at the end sets *cursor to null and leaves the buffer alone.
  void GetNextDesc(int32_t list, void** cursor, void* buffer);

  // Field list only, 0-based. Inserts an empty field before field n (at the head for n <= 0, at
  // the end when there are n fields or fewer).
  void InsertSuber(int32_t n);
  // Unlinks and frees field n, if there is one.
  void DeleteSuber(int32_t n);
  // Exchanges the contents of fields a and b (links stay) when both exist.
  void SwitchSuber(int32_t a, int32_t b);

  // Releases this template's lists and from text, then takes over the other's lists and from
  // text and copies its muster words. Template words, binders and where trees stay. Displacing a
  // template by itself or by null does nothing.
  void Displace(XQueryTemplate* other);
  // Puts `text` into `held` when held is at least as long, else frees held and returns a new
  // copy; a null text frees held and returns null. `held` must come from this library.
  static XCHAR* ReplaceName(XCHAR* held, const XCHAR* text);

  // Resolves field, grouping and ordering texts through the binder (in place) and builds and binds
  // the where tree in `buffer`, which must outlive every use of the tree. Returns 0 or a QTE_ code
  // or the binder's own negative result. A failure while binding leaves the tree partly bound.
  int32_t ReplaceTemplate(XCHAR* buffer);
  // Simplifies the where tree. Returns 1 when the condition never holds (the tree stays), else 0;
  // a condition that always holds, or a dropped one, leaves no tree.
  int32_t ComputeWhereTree();

  // Writes the readable SELECT statement into `out`, NUL-terminated; `unused` has no effect. The
  // buffer must hold the whole text. A null text shows as empty (a condition without Name shows
  // as its operator and Value), an operator outside the table as " ?? ".
  void MakeTemplateDesc(XCHAR* out, int32_t unused);

  // Stores the template (storing non-zero) or loads it. Storing returns the result of writing the
  // final closing header; loading empties the four lists first and returns 1 when the stream
  // ended with a closing header, 0 on any failure (keeping what was read). Loading skips items
  // and sections it does not know and stores an empty text as null.
  int32_t Serialize(IArchive* archive, int32_t storing);
  // Writes the computed form: every text resolved through the binder and the conditions
  // simplified. Returns 0, 1 when the condition never holds, a QTE_ code or the binder's negative
  // result; after a failure the archive holds an unfinished stream (a section's opening header
  // is written before its records are checked). A template with conditions holds no where tree
  // afterwards, whatever the result.
  int32_t ComputeTemplate(IArchive* archive);

  // The fields. The template words are set only by loading; the list heads, from text and tree
  // change only through the operations above.
  uint32_t Muster1;
  uint32_t Muster2;
  int32_t TemplateWord4;
  int32_t TemplateWord3;
  int32_t TemplateWord5;
  void* BinderContext;
  XCHAR* FromText;
  XQueryFieldDesc* FieldList;
  XQueryWhereDesc* WhereList;
  XQueryGroupDesc* GroupList;
  XQueryOrderDesc* OrderList;
  XWhereTree* WhereTree;
  XQueryBinder Binder;

 protected:
  XQueryTemplate();
  virtual ~XQueryTemplate();
};

// Renders the tree under `root` as an SQL condition into `out` (which must hold the whole text)
// and returns its length; 0 when there is no condition (a null root, or one that always holds or
// is dropped), QTE_FAIL for a root that never holds or a fault in the tree, in which case the
// buffer holds an unterminated partial text. Contains, starts-with and range Values need both
// their quotes; a quoted IN list needs its closing quote.
TABROW_API int32_t MakeWhereClause(const XWhereTree* root, XCHAR* out);

#endif  // TABROW_QUERY_H_

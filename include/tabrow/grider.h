// Tabrow: the grid XRowGrider, a table of typed columns and packed row lines.
//
// Columns are four parallel arrays (types, declared sizes, codes, merge keys called kapes); lines
// are RowLine records in a singly linked list. A line's data is one block: an end offset table of
// ColCounter 16-bit entries, then the cells packed in column order with no alignment. Entry i is
// where cell i ends, counted from the first byte after the table; cell i starts where cell i - 1
// ends. A cell of length 0 is empty (null). Cells: integer 4 bytes, double 8, DATETIME 8, text
// the UTF-16 characters and a NUL, archive the raw bytes (below 65536). A line's cells total at
// most 65535 bytes.
//
// A grid either owns its arrays and lines or borrows them from another grid (a reference). A
// referencing grid reads the borrowed storage but changes none of it and must not outlive the
// grid it borrows from. Line handles are untyped pointers to RowLine records and must belong to
// the grid they are passed to.
//
// Stored form (XMF_Serialize items): open GDI_GRID; GDI_COLCOUNTER (4 bytes); GDI_TYPES, GDI_SIZES
// (2 bytes a column), GDI_CODES, GDI_KAPES (4 bytes a column), each only when the grid has that
// array and at least one column; one GDI_LINE item per line holding the 16-byte line header
// (Marker, Proper, DataSize, Binder's low 32 bits) and the line data; close GDI_GRID.
//
// Choices made here:
// - No implicit copies: copying is deleted, CloneGrider is the explicit deep copy. Moving
//   transfers the description, lines and borrowing state and leaves the source empty; each object
//   keeps its own CellArchive.
// - ClearBuffer ends any borrowing: Reference becomes 0 and Current null. So a described or
//   loaded grid always owns what it holds.
// - A description beyond 256 columns, a negative count, and AddItemDesc on arrays that another
//   description operation made, are refused (0). ColCapacity remembers which arrays AddItemDesc
//   made (room for 256 columns).
// - A line whose cells would total 65536 bytes or more is refused (0).
// - GetValue lends only NUL-terminated text: a text cell whose last character is not a NUL reads
//   as null. A cell shorter than its column type's width reads as null too. A line that holds no
//   data (DataSize 0) reads as all cells empty; SetValue on it first lays out an empty table.
// - A line whose table does not match ColCounter (possible only in loaded streams) is read cell
//   by cell: a cell that does not lie inside the data reads as empty. SetValue and ConfirmType
//   refuse such a line (0); ConfirmType also refuses a double cell that is not 8 bytes long.
// - The by-column GetValue and the header accessors without a current line return 0 and change
//   nothing; GetValue with a null line handle likewise. Negative columns are out of range.
// - SeekSuber stores the cell's length in its out value.
// - CloneGrider and both paths of AttachGrider carry SourceKind and Source.
// - The writer stops at the first write that fails (0); the reader refuses a column count outside
//   0..256, a column count that differs from arrays already read, array items whose length does
//   not match the column count, and line items whose byte count is below 16 or, above 16, is not
//   16 + DataSize (a count of exactly 16 gives a line with DataSize 0 and no data), or whose data
//   is larger than a full table and 65535 bytes of cells.
// - Serialize given an IArchive whose content lies in memory (GetData) takes runs of line items
//   straight from that memory; given an XMF_Serialize it reads item by item. Both read alike.
// - Line binders are pointer-sized in memory and stored as their low 32 bits, zero-extended when
//   read back.
//
// Building and reading whole lines:
// - Cell lengths: integer 4, double 8, date-time 8, archive the archive's length (empty when it
//   has no archive or 65536 bytes or more), text its characters and a NUL. A text that does not
//   fit a non-zero column size with its NUL takes 2 x size bytes and keeps size - 1 characters
//   and the NUL, so every text cell ends in a NUL. A line whose cells would total 65536 bytes or
//   more is refused (null).
// - Record buffers: fields follow each other with no alignment; a field is as wide as its size
//   in bytes, twice that for text (size characters). In the database form a date-time field is
//   a 16-byte DbTimestamp and an archive field a 44-byte block holding an IArchive pointer at
//   offset 16. A text field is read up to its NUL but never beyond its slot of size characters
//   (a slot of 0 gives an empty text). A field narrower than the value read from it or written
//   into it (integer 4 bytes, double and date-time 8) fails the call. A null `nulls` or
//   `status` array means no field is null; a null array for GetItemLine and GetDataLine's null
//   entries means none are written.
// - Unit pointer arrays may hold null pointers, which count as null values. A grid loaded
//   without a type array has columns of type 0, which adopt nothing: such a grid takes only
//   null values.
// - AddGrider refuses a referencing destination, a null source and the grid itself. A
//   same-layout merge from a referencing source copies the lines (through CloneGrider) instead
//   of moving lines that the source does not own. The key-mapped path builds its lines apart
//   and links them once, so merging from a source that borrows this grid's own lines ends;
//   lines merged before a refused cell stay. When several source columns map to one destination
//   column, the last non-empty one fills it. Source cells that are shorter than their type's width,
//   or lie outside their line's data, count as empty.
// - GetTreeRooter clears every line's FirstChild and NextSibling before it builds, so calling it
//   twice gives the same forest. It returns null, touching no link, for fewer than two columns,
//   key columns of different types, or no lines. Integer keys need a 4-byte cell; text keys
//   compare up to the NUL or the end of the cell, whichever comes first.
#ifndef TABROW_GRIDER_H_
#define TABROW_GRIDER_H_

#include <cstddef>

#include "tabrow/archive.h"
#include "tabrow/base.h"
#include "tabrow/dataunit.h"

struct XItemDataDesc;
class XML_Archive;
class XRowBuffer;

// Identifiers of the stored grid record.
constexpr uint32_t GDI_GRID = 0x20001u;  // the record's open and close headers
constexpr uint32_t GDI_COLCOUNTER = 1;   // column count, signed 32-bit
constexpr uint32_t GDI_TYPES = 17;       // 16-bit type a column
constexpr uint32_t GDI_SIZES = 18;       // 16-bit declared size a column
constexpr uint32_t GDI_CODES = 19;       // 32-bit code a column
constexpr uint32_t GDI_KAPES = 20;       // 32-bit merge key a column
constexpr uint32_t GDI_LINE = 0x1001u;   // one line: 16-byte header, then the line data

// The record behind a line handle. Allocated zero-filled; Data is a separate block of exactly
// DataSize bytes (null when DataSize is 0): resizing a cell, shrinking included, moves the line
// into a block of its new size. Callers may write Marker, Proper and Binder; the other fields
// belong to the grid, which frees Data by DataSize.
struct RowLine {
  uint32_t Marker;       // caller's word
  uint32_t Proper;       // caller's word; StoreBacker keeps lines whose Proper is 0
  uint32_t DataSize;     // byte length of the line data
  uintptr_t Binder;      // caller's opaque word, stored as its low 32 bits
  uint8_t* Data;         // end offset table, then the cells
  RowLine* Next;         // next line of the grid
  RowLine* FirstChild;   // tree links, set only by the tree view
  RowLine* NextSibling;  //
};
static_assert(offsetof(RowLine, DataSize) == 8, "RowLine layout");
static_assert(offsetof(RowLine, Binder) == 16, "RowLine layout");
static_assert(offsetof(RowLine, Data) == 24, "RowLine layout");
static_assert(offsetof(RowLine, Next) == 32, "RowLine layout");
static_assert(sizeof(RowLine) == 56, "RowLine layout");

// A field of a database record, as SaveGriderLine reads it. A chain linked by Next.
struct XFieldDesc {
  uint32_t Word1;
  uint32_t Word2;
  uint16_t Type;  // a unit type code
  uint16_t Size;  // characters for text, bytes otherwise
  uint32_t Word3;
  uint32_t Word4;
  uint32_t Word5;
  XFieldDesc* Next;  // null ends the chain
};
static_assert(offsetof(XFieldDesc, Type) == 8, "XFieldDesc layout");
static_assert(offsetof(XFieldDesc, Size) == 10, "XFieldDesc layout");
static_assert(offsetof(XFieldDesc, Next) == 24, "XFieldDesc layout");
static_assert(sizeof(XFieldDesc) == 32, "XFieldDesc layout");

class TABROW_API XRowGrider {
 public:
  XRowGrider();
  virtual ~XRowGrider();
  XRowGrider(const XRowGrider&) = delete;
  XRowGrider& operator=(const XRowGrider&) = delete;
  XRowGrider(XRowGrider&& other) noexcept;
  XRowGrider& operator=(XRowGrider&& other) noexcept;

  // A new empty grid on the heap, or null when memory runs out.
  static XRowGrider* Malloc();
  // Destroys a grid made by Malloc.
  void Release();
  // Destroys a grid made by Malloc; ignores null.
  static void Release(XRowGrider* grider);

  // An owning grid frees its arrays and lines; a referencing grid forgets them. Afterwards no
  // columns, no lines, Reference 0, Current null. SourceKind, Source and CellArchive stay.
  void ClearBuffer();

  // Column description. Each Set... form clears the grid first and returns 1, or 0 (grid left
  // empty) for a count outside 0..256, a missing array or a failed allocation.
  // Column i takes unit i's Type, Size and Code.
  int32_t SetItemDesc(const XDataUnit* units, int32_t count);
  // Types and sizes only.
  int32_t SetItemDesc(const uint16_t* types, const uint16_t* sizes, int32_t count);
  // One column per descriptor of the chain: Type (14 read as 2) and Size only.
  int32_t SetDataDesc(const XItemDataDesc* chain);
  // Column i takes descriptor i's Code, Size and Type (14 read as 2) and kape i; all four arrays.
  int32_t SetDataDesc(const XItemDataDesc* const* descs, const uint32_t* kapes, int32_t count);
  // Appends one column (Code, Size, Type with 14 read as 2, and the kape) without clearing. The
  // first call on a grid without arrays makes room for 256 columns. Returns 0 on a referencing
  // grid, a grid whose arrays another operation made, a 257th column or a null descriptor.
  int32_t AddItemDesc(const XItemDataDesc* desc, uint32_t kape);
  // Sets kape i (i < ColCounter) to kapes[i], or to i when kapes is null, making a zero-filled
  // kape array when there is none. Returns 0 when count < ColCounter or the grid is a reference.
  int32_t SetDescKape(const uint32_t* kapes, int32_t count);

  // The column arrays themselves (ColCounter entries each), or null.
  const uint16_t* GetType() const { return Types; }
  const uint16_t* GetSize() const { return Sizes; }
  const uint32_t* GetCode() const { return Codes; }
  const uint32_t* GetKape() const { return Kapes; }
  int32_t GetColCounter() const { return ColCounter; }
  // Number of lines, counted along the list.
  int32_t GetRowCounter() const;
  // The largest byte size a line can take: 24 + the sum of (2 + Size) + Size once more for
  // every text column.
  int32_t GetRowMaxSize() const;

  // Flag 0: Current becomes Head; otherwise Current moves to its Next (null stays null).
  // Returns the new Current.
  void* MoveNextLine(int32_t flag);
  // The line after `line`, or Head for null. Current is not touched.
  void* GetNextLine(const void* line) const;
  // A header field of `line`, or of Current when line is null; 0 when there is neither.
  uint32_t GetLineMarker(const void* line) const;
  uint32_t GetLineProper(const void* line) const;
  uintptr_t GetLineBinder(const void* line) const;
  // Writes a header field of `line`, or of Current when line is null; 0 when there is neither.
  int32_t SetLineMarker(void* line, uint32_t marker);
  int32_t SetLineProper(void* line, uint32_t proper);
  int32_t SetLineBinder(void* line, uintptr_t binder);
  // Unlinks and frees a line (Tail and Current kept right). 0 for a referencing grid or a line
  // not in the list.
  int32_t DeleteRowLine(void* line);

  // Reads a cell of Current (first form) or of `line` into `unit`: the unit is made null, then
  // gets the value (text lent, pointing into the line; archive lent as CellArchive aimed at the
  // cell) and the column's Type and Size. 0 for a column out of range or a failed allocation.
  // A lent value stays valid while its line is unchanged; only the latest archive is valid.
  int32_t GetValue(int32_t column, XDataUnit* unit);
  int32_t GetValue(void* line, int32_t column, XDataUnit* unit);
  // Writes a unit into a cell: a null unit empties it (1); a unit of another type than the column
  // changes nothing (1); integer, text (never cut), double and date-time values are stored (1).
  // 0 for a referencing grid, a column out of range, an archive or other type, or a failure.
  int32_t SetValue(void* line, int32_t column, const XDataUnit* unit);
  // Changes a column's type. Only double to integer converts (truncated toward zero, empty cells
  // stay empty); the same type gives 1; any other pair, a column out of range or a referencing
  // grid gives 0 and changes nothing.
  int32_t ConfirmType(int32_t column, uint16_t type);

  // Non-zero when this grid borrows its arrays and lines.
  int32_t IsReference() const { return Reference; }
  // Clears this grid and borrows the source's arrays, lines (Tail stays null), SourceKind and
  // Source; Reference 1. 0 for a null source or this grid itself.
  int32_t SetReference(XRowGrider* source);
  // Clears this grid. From a referencing source: becomes a deep copy of it. Otherwise takes its
  // arrays, lines, SourceKind and Source and owns them, and the source becomes a reference to
  // them. 0 for a null source, this grid itself or a failed copy.
  int32_t AttachGrider(XRowGrider* source);
  // Clears this grid and takes the grid of the row's first unit: no unit, or one with no grid,
  // gives 1 and an empty grid; a first unit of a non-grid type gives 0. A grid the unit owns and
  // that is no reference is taken over (the unit's grid is left empty); otherwise it is borrowed.
  int32_t SetGrider(XRowBuffer* row);
  // Makes this grid a deep, owning copy of the source's description and lines (tree links not
  // copied), with its SourceKind and Source. Walking the source leaves its Current null. 0 for a
  // null source, this grid itself or a failed allocation (this grid left empty).
  int32_t CloneGrider(XRowGrider* source);

  // Line builders. Each returns the new line, appended at Tail with empty tree links, or null
  // (nothing added) for a referencing grid, a wrong count, a value whose type does not match
  // its column, a column type that holds no values, cells of 65536 bytes or more, or a failed
  // allocation.
  // One unit per column (count must equal ColCounter); a column of type 0 adopts the type of
  // the first non-null value of integer, text, double, date-time or archive (adopted types stay
  // when the line is refused later). Marker and proper 0.
  void* AddItemLine(const XDataUnit* units, int32_t count, uintptr_t binder);
  // The same with the units reached through pointers.
  void* AddUnitLine(const XDataUnit* const* units, int32_t count, uintptr_t binder);
  // The row's chain from its first unit gives one unit per column (further units are ignored);
  // types must equal the columns' and the chain must not end early.
  void* AddItemLine(const XRowBuffer* row, uint32_t marker, uint32_t proper, uintptr_t binder);
  // A plain record (integer, text, double, DATETIME fields), one null-flag byte per column
  // (non-zero: null). Refused for a grid with no columns.
  void* AddItemLine(const void* record, const uint8_t* nulls, uint32_t marker, uint32_t proper,
                    uintptr_t binder);
  // A database record (date-times as DbTimestamps, archives too), one 32-bit status word per
  // column (3: null). Proper and binder 0. Refused for a grid with no columns.
  void* AddDataLine(const void* record, const int32_t* status, uint32_t marker);

  // Copies `count` cells of Current into a record: cell columns[i] goes into a field of type
  // types[i] and size sizes[i] with GetUnitBuffer, and nulls[i] becomes 1 for an empty cell, else
  // 0. Returns 1, or 0 for no current line, more than 256 fields, a column out of range, a value
  // that does not convert or a field too narrow; fields written before a failure stay.
  int32_t GetItemLine(void* record, uint8_t* nulls, const int32_t* columns, const uint16_t* types,
                      const uint16_t* sizes, int32_t count);
  // The same into a database record with GetUnitDbBuffer: a type 4 field is a 16-byte
  // DbTimestamp; a type 14 field is size bytes holding at most size / 2 - 1 characters and a NUL.
  int32_t GetDataLine(void* record, int32_t* nulls, const int32_t* columns, const uint16_t* types,
                      const uint16_t* sizes, int32_t count);

  // Merges the source's lines into this grid. Each source column maps to the first column here
  // whose key equals its key (the kape when the grid has kapes, else the column number). With
  // the same layout (same count, column i to column i, equal types) the source's lines move over
  // in constant time and the source is left without lines. Otherwise every source line is
  // copied: integer and double cells convert to an integer or double column (truncated toward
  // zero), other cells need equal types and are copied byte for byte; unmapped columns stay
  // empty. Returns 1, or 0 for a source wider than this grid, a key with no match, no columns
  // here, a cell that does not fit its column, or a failed allocation. Walking the source leaves
  // its Current null.
  int32_t AddGrider(XRowGrider* source);

  // Links the lines into a forest by their keys (column 0 a line's own key, column 1 its
  // parent's; integer or text) through FirstChild and NextSibling and returns the first root.
  // A line's parent is the first other line whose own key equals its parent key; a line whose
  // parent key is empty or matches none is a root. Children and roots keep list order. Null when
  // there are fewer than two columns, the two types differ, there are no lines or no root. The
  // forest stays valid until lines are added or deleted.
  void* GetTreeRooter();
  // The line's first child (flag non-zero) or next sibling (flag 0); null for a null line.
  void* GetTreeNode(const void* line, int32_t flag) const;

  // Direction non-zero writes the record, zero reads one (replacing description and lines).
  // Nested non-zero: the open header is the caller's (not written; already read). Non-zero on
  // success. A failed read keeps what was read.
  int32_t Serialize(XMF_Serialize* serializer, int32_t direction, int32_t nested);
  int32_t Serialize(IArchive* archive, int32_t direction, int32_t nested);
  // Writes a record of no columns holding, for each line whose Proper is 0, its header with
  // DataSize 0. The close header's result, or 0.
  int32_t StoreBacker(IArchive* archive);

 protected:
  // Resizes cell `column` of a laid-out line to `length` bytes and returns its start; the first
  // min(old, new) bytes keep their content, and the line's data moves to a block of its new
  // size. Null when memory runs out (line unchanged).
  uint8_t* ChangeSize(RowLine* line, int32_t column, uint32_t length);
  // The start of a column's cell in line data whose table has ColCounter entries, its length in
  // *length (may be null); null for a column out of range.
  uint8_t* SeekSuber(uint8_t* data, int32_t column, uint32_t* length) const;

  int32_t SourceKind;  // kind of the source the grid was filled from; never interpreted
  uintptr_t Source;    // that source; never dereferenced
  uint16_t* Types;     // ColCounter type codes
  uint16_t* Sizes;     // ColCounter declared sizes (characters for text), 0 = no limit
  uint32_t* Codes;     // ColCounter codes, or null
  uint32_t* Kapes;     // ColCounter merge keys, or null
  int32_t ColCounter;
  int32_t Reference;  // non-zero: arrays and lines are borrowed
  RowLine* Head;
  RowLine* Tail;
  RowLine* Current;
  XCakeArchive* CellArchive;  // lent out by GetValue for archive cells
  int32_t ColCapacity;        // 256 when AddItemDesc made the arrays, else 0

 private:
  bool DescribeColumns(int32_t count, bool with_codes, bool with_kapes);
  void TakeStorage(XRowGrider* source);
  void AppendLine(RowLine* line);
  RowLine* LineOrCurrent(const void* line) const;
  int32_t SerializeOut(XMF_Serialize* serializer, int32_t nested);
  int32_t SerializeIn(XMF_Serialize* serializer, int32_t nested);
  int32_t ReadColumnCounter(XMF_Serialize* serializer);
  int32_t ReadLine(XMF_Serialize* serializer);
  void AppendRun(RowLine* head, RowLine* tail);
  // Units in column order: the array `units`, or, when it is null, the pointers `chain`.
  void* AddUnits(const XDataUnit* units, const XDataUnit* const* chain, bool adopt, uint32_t marker,
                 uint32_t proper, uintptr_t binder);
  void* AddRecord(const void* record, const uint8_t* nulls, const int32_t* status, bool database,
                  uint32_t marker, uint32_t proper, uintptr_t binder);
  void* LinkNewLine(RowLine* line, uint32_t marker, uint32_t proper, uintptr_t binder);
  int32_t MoveLines(XRowGrider* source);
  int32_t MergeMapped(XRowGrider* source, const int32_t* map);

  // The XML "Rowset" document:
  //   <?xml version="1.0" encoding="utf-8" ?>CRLF<Rowset Type="ISFT">
  //   CRLF<Row><FD_1>7</FD_1><FD_2>a&lt;b</FD_2><FD_3>2.5</FD_3><FD_4>2008-03-07 09:05:00</FD_4>
  //   CRLF</Row></Rowset>
  // One letter per column (I integer, S text, F double, T date-time), a Row per line, an FD_n
  // per cell numbered from 1, empty for a null cell. Integers as "%ld", texts as escaped UTF-8,
  // doubles with eight decimals and their trailing zeros trimmed (3.0, 2.5), date-times as
  // "%04hd-%02hd-%02hd %02hd:%02hd:%02hd". No line break ends the document.
  //
  // Choices made here:
  // - FromXmlDoc reads the Type attribute before the rows and describes the grid even when there
  //   are none, so a grid without lines reads back with its columns. Rows and cells are the
  //   element children, in order, whatever their names; a row with no cells gives an all-null
  //   line and extra cells are ignored. The texts of one row share 8192 units; once they are
  //   used up, values read as empty.
 public:
  // Appends the document to `archive`, writing it a few kilobytes at a time. Returns the result
  // of the last append (1 on success), or 0 when a column has a type without a letter (only
  // the declaration is written then) or the archive is null.
  int32_t WriteXmlDoc(IArchive* archive);
  // Replaces the description and lines with those of the document's /Rowset element: one column
  // per letter (sizes and codes 0), one line per row whose binder is the row's node (valid while
  // the document lives). Returns 1, or 0 for a null or empty document, no /Rowset, or a Type
  // that is missing, empty, longer than 256 letters or holds another letter.
  int32_t FromXmlDoc(XML_Archive* document);

 private:
  friend class XHttpBuffer;  // GetRowGrider marks the grid with its source
};

// Writes one GDI_LINE item for a database record: fields as the chain describes them (integer
// and double Size bytes holding a 4- or 8-byte value, text a field of 2 x Size bytes, date-time a
// 16-byte DbTimestamp stored as a DATETIME, archive a 44-byte block holding an IArchive pointer at
// offset 16), status word 3 meaning null (status may be null: nothing null). Nothing is read past
// a field: a non-null integer field of Size below 4 or double field below 8 is refused, and a
// text is read up to its NUL or the end of its field, whichever comes first, and stored whole
// with a NUL (never cut). Returns 1, or 0 (nothing written) for an unsupported non-null field
// type, a number field too narrow for its value, more than 256 fields or cells that would total
// 65536 bytes or more; 0 too when an append fails (the item may be partly written).
TABROW_API int32_t SaveGriderLine(IArchive* archive, const XFieldDesc* fields, const void* record,
                                  const int32_t* status);

// Writes a grid's pick-list text into `buffer` (capacity in characters, the NUL included) and
// returns its length: lines ended by CRLF, the last one without. With `nullLine` non-zero the
// first line is "NULL;". A one-column grid gives "k;text" per line, k counting the lines from 0
// (from 1 after the null line), the text empty for a null cell; a line of another type than text
// writes nothing but is counted. Other grids give "key;text": column 0 as the key (an integer,
// a double truncated toward zero, or a text; empty when null or of another type) and column 1
// as the text (empty unless it is a text). Lines are written while 320 characters of room are
// left and the whole line fits with the NUL; the first that does not ends the list. Moves the
// grid's Current: it is null after the last line, else at the line that ended the list. A null
// buffer or a capacity below 1 gives 0 and writes nothing; a null grid gives the null line only.
// Choices made here: a key of another type than integer, double or text is left empty rather
// than printed from the raw bits of its value; a text is copied whole (not cut at 1024
// characters) and every line's real length is checked against the room, the null line's too.
TABROW_API int32_t MakeDatabase(XRowGrider* grider, XCHAR* buffer, int32_t capacity,
                                int32_t nullLine);

#endif  // TABROW_GRIDER_H_

// Lines built from data units: an array of units, an array of unit pointers, or a row's chain.
#include <cstring>
#include <memory>
#include <new>

#include "grid/lines_build.h"
#include "platform/text.h"
#include "tabrow/grider.h"
#include "tabrow/rowbuffer.h"

namespace {

// Texts of this many characters or more never fit a cell.
constexpr size_t kLongestText = tabrow::kMaxCellBytes / 2;

inline bool HoldsCellValue(uint16_t type) {
  constexpr uint32_t kHeld =
      1u << XDT_LONG | 1u << XDT_STRING | 1u << XDT_DOUBLE | 1u << XDT_DATETIME | 1u << XDT_ARCHIVE;
  return type < 32 && ((kHeld >> type) & 1) != 0;
}

// Characters before the NUL of a unit's text (any address), but at most `limit`; reads nothing
// past the NUL or the limit.
inline size_t TextUnits(const XCHAR* text, size_t limit) {
  size_t length = 0;
  for (; length + 4 <= limit; length += 4) {
    if (tabrow::LoadUnit(text + length) == 0) return length;
    if (tabrow::LoadUnit(text + length + 1) == 0) return length + 1;
    if (tabrow::LoadUnit(text + length + 2) == 0) return length + 2;
    if (tabrow::LoadUnit(text + length + 3) == 0) return length + 3;
  }
  while (length < limit && tabrow::LoadUnit(text + length) != 0) ++length;
  return length;
}

// Bytes the cell of a non-null text or archive unit takes in a column of declared `size`; above
// kMaxCellBytes when it can never fit. A text is counted no further than the characters its cell
// can keep, or than makes it too long for any cell.
inline uint32_t VariableCellLength(const XDataUnit& unit, uint16_t size) {
  if (unit.Type != XDT_STRING) return tabrow::ArchiveCell(unit.Value.Archive).length;
  if (unit.Value.Text == nullptr) return 0;
  const size_t characters = TextUnits(unit.Value.Text, size != 0 ? size - 1u : kLongestText);
  return tabrow::TextCell(unit.Value.Text, characters, size).length;
}

// Writes the cell of a text or archive unit, `length` bytes (non-zero), at `cell`: a text keeps
// length / 2 - 1 characters and a NUL.
inline void FillVariableCell(const XDataUnit& unit, uint32_t length, uint8_t* cell) {
  if (unit.Type == XDT_STRING) {
    tabrow::CopyBytes(cell, reinterpret_cast<const uint8_t*>(unit.Value.Text), length - 2);
    std::memset(cell + length - 2, 0, 2);
  } else {
    tabrow::FillCell(tabrow::CellPlan{tabrow::CellFill::kArchive, length, unit.Value.Archive},
                     cell);
  }
}

// A line's end table and cells are laid out in a stage, each unit read once, before the line is
// allocated at its exact size and the stage copied into it. A stage on the stack takes the usual
// line; a longer one is laid out again in a stage from the heap that takes the longest line.
// Either stage holds a full table and a number or date cell in every column, so only text and
// archive cells need their room checked.
constexpr uint32_t kStackStageBytes = 4096;
constexpr uint32_t kFullStageBytes = tabrow::kMaxDataSize + 8 * tabrow::kMaxColumns;
static_assert(kStackStageBytes >= 10 * tabrow::kMaxColumns, "room for every fixed-size cell");

// The grid's columns as the units' cells are laid out in them.
struct Columns {
  int32_t count;
  uint16_t* types;  // may be null when no column was described
  const uint16_t* sizes;
  bool adopt;  // a column of type 0 takes the type of its first unit
};

enum class Layout { kDone, kRefused, kNoRoom };

// Lays out the cells of `units` (the array, or when null the pointers `chain`) in `stage` of
// `room` bytes: the end table, then the cells. *size receives the bytes laid out. kRefused when a
// unit's type does not fit its column or the cells total more than a line can hold; kNoRoom when
// the stage is too small for them. Inlined into both callers: as a call it costs a tenth of a
// line's time.
[[gnu::always_inline]] inline Layout LayOutUnits(const XDataUnit* units,
                                                 const XDataUnit* const* chain, Columns columns,
                                                 uint8_t* stage, uint32_t room, uint32_t* size) {
  // Writes to the stage may alias anything; the columns copied here stay in registers.
  uint16_t* const types = columns.types;
  const uint16_t* const sizes = columns.sizes;
  const int32_t count = columns.count;
  const uint32_t table = 2 * static_cast<uint32_t>(count);
  uint8_t* cells = stage + table;
  // Room for text and archive cells, keeping 8 bytes for every column's fixed-size cell.
  const uint32_t variable_room = room - table - 8 * static_cast<uint32_t>(count);
  uint32_t end = 0;
  for (int32_t c = 0; c < count; ++c) {
    const XDataUnit* unit = units != nullptr ? &units[c] : chain[c];
    if (unit != nullptr && (unit->Null & 1) == 0) {
      const uint16_t type = unit->Type;
      if (!HoldsCellValue(type) || types == nullptr) return Layout::kRefused;
      if (types[c] != type) {
        if (!columns.adopt || types[c] != 0) return Layout::kRefused;
        types[c] = type;
      }
      if (type == XDT_LONG) {
        std::memcpy(cells + end, &unit->Value.Long, 4);
        end += 4;
      } else if (type == XDT_DOUBLE || type == XDT_DATETIME) {
        std::memcpy(cells + end, &unit->Value, 8);
        end += 8;
      } else {
        const uint32_t length = VariableCellLength(*unit, sizes != nullptr ? sizes[c] : 0);
        if (end + length > tabrow::kMaxCellBytes) return Layout::kRefused;
        if (end + length > variable_room) return Layout::kNoRoom;
        if (length > 0) FillVariableCell(*unit, length, cells + end);
        end += length;
      }
    }
    tabrow::StoreEnd(stage, c, end);
  }
  if (end > tabrow::kMaxCellBytes) return Layout::kRefused;
  *size = table + end;
  return Layout::kDone;
}

// A line laid out in `stage`, `size` bytes of it, copied into a new line; null when memory runs
// out.
RowLine* CopyLine(const uint8_t* stage, uint32_t size) {
  RowLine* line = tabrow::AllocLine(size);
  if (line != nullptr && size > 0) tabrow::CopyBytes(line->Data, stage, size);
  return line;
}

// The new line of units too long for the stack's stage, or null when they are refused or memory
// runs out.
RowLine* LongLineFromUnits(const XDataUnit* units, const XDataUnit* const* chain, Columns columns) {
  std::unique_ptr<uint8_t[]> stage(new (std::nothrow) uint8_t[kFullStageBytes]);
  uint32_t size = 0;
  if (stage == nullptr ||
      LayOutUnits(units, chain, columns, stage.get(), kFullStageBytes, &size) != Layout::kDone) {
    return nullptr;
  }
  return CopyLine(stage.get(), size);
}

}  // namespace

void* XRowGrider::AddUnits(const XDataUnit* units, const XDataUnit* const* chain, bool adopt,
                           uint32_t marker, uint32_t proper, uintptr_t binder) {
  const Columns columns{ColCounter, Types, Sizes, adopt};
  alignas(16) uint8_t stage[kStackStageBytes];
  uint32_t size = 0;
  RowLine* line = nullptr;
  switch (LayOutUnits(units, chain, columns, stage, sizeof stage, &size)) {
    case Layout::kDone:
      line = CopyLine(stage, size);
      break;
    case Layout::kNoRoom:
      line = LongLineFromUnits(units, chain, columns);
      break;
    case Layout::kRefused:
      break;
  }
  return LinkNewLine(line, marker, proper, binder);
}

void* XRowGrider::AddItemLine(const XDataUnit* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  return AddUnits(units, nullptr, true, 0, 0, binder);
}

void* XRowGrider::AddUnitLine(const XDataUnit* const* units, int32_t count, uintptr_t binder) {
  if (Reference != 0 || count != ColCounter || (count > 0 && units == nullptr)) return nullptr;
  return AddUnits(nullptr, units, true, 0, 0, binder);
}

void* XRowGrider::AddItemLine(const XRowBuffer* row, uint32_t marker, uint32_t proper,
                              uintptr_t binder) {
  if (Reference != 0 || row == nullptr) return nullptr;
  const XDataUnit* pointers[tabrow::kMaxColumns];
  const XDataUnit* unit = row->GetRowBuffer();
  for (int32_t c = 0; c < ColCounter; ++c, unit = unit->Next) {
    if (unit == nullptr) return nullptr;
    pointers[c] = unit;
  }
  return AddUnits(nullptr, pointers, false, marker, proper, binder);
}

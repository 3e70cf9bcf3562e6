// The tree view: lines linked into a forest by their own key (column 0) and their parent's key
// (column 1), through the FirstChild and NextSibling fields of the line records.
#include <cstring>

#include "grid/line_layout.h"
#include "tabrow/grider.h"

namespace {

// A parent key: the bytes a matching own key must start with.
struct Key {
  const uint8_t* bytes;
  uint32_t length;
};

// The cell of `column` and its length; null when the cell is empty or lies outside the data.
const uint8_t* CellOf(const RowLine* line, int32_t columns, int32_t column, uint32_t* length) {
  if (!tabrow::CellInside(line, columns, column)) return nullptr;
  uint32_t start = column > 0 ? tabrow::LoadEnd(line->Data, column - 1) : 0;
  *length = tabrow::LoadEnd(line->Data, column) - start;
  return *length > 0 ? line->Data + 2 * columns + start : nullptr;
}

// An integer key is its 4 bytes; a text key its characters before the NUL or the end of the
// cell. False for an empty or short cell and for other types, which never match.
bool ReadKey(const uint8_t* cell, uint32_t length, uint16_t type, Key* key) {
  if (cell == nullptr) return false;
  if (type == XDT_LONG) {
    *key = Key{cell, 4};
    return length >= 4;
  }
  if (type != XDT_STRING) return false;
  uint32_t end = 0;
  while (end + 1 < length && (cell[end] != 0 || cell[end + 1] != 0)) end += 2;
  *key = Key{cell, end};
  return true;
}

// The own-key cell (column 0) of a line: it starts right after the table, so only its end needs
// checking. Null when it is empty or lies outside the data.
const uint8_t* OwnKeyCell(const RowLine* line, uint32_t table, uint32_t* length) {
  if (line->Data == nullptr || line->DataSize < table) return nullptr;
  *length = tabrow::LoadEnd(line->Data, 0);
  return *length > 0 && *length <= line->DataSize - table ? line->Data + table : nullptr;
}

// True when an own-key cell holds exactly `key`.
bool HoldsKey(const uint8_t* cell, uint32_t length, uint16_t type, const Key& key) {
  if (cell == nullptr || length < key.length) return false;
  if (type == XDT_LONG) return tabrow::Load32(cell) == tabrow::Load32(key.bytes);
  if (std::memcmp(cell, key.bytes, key.length) != 0) return false;
  uint32_t rest = length - key.length;
  return rest < 2 || (cell[key.length] == 0 && cell[key.length + 1] == 0);
}

void AppendChild(RowLine* parent, RowLine* child) {
  if (parent->FirstChild == nullptr) {
    parent->FirstChild = child;
    return;
  }
  RowLine* last = parent->FirstChild;
  while (last->NextSibling != nullptr) last = last->NextSibling;
  last->NextSibling = child;
}

}  // namespace

void* XRowGrider::GetTreeRooter() {
  if (ColCounter < 2 || Head == nullptr) return nullptr;
  uint16_t type = Types != nullptr ? Types[0] : 0;
  if (Types != nullptr && Types[1] != type) return nullptr;
  for (RowLine* line = Head; line != nullptr; line = line->Next) {
    line->FirstChild = nullptr;
    line->NextSibling = nullptr;
  }
  RowLine* first_root = nullptr;
  RowLine* last_root = nullptr;
  for (RowLine* line = Head; line != nullptr; line = line->Next) {
    uint32_t length = 0;
    const uint8_t* cell = CellOf(line, ColCounter, 1, &length);
    Key key;
    RowLine* parent = nullptr;
    if (ReadKey(cell, length, type, &key)) {
      uint32_t table = 2 * static_cast<uint32_t>(ColCounter);
      for (parent = Head; parent != nullptr; parent = parent->Next) {
        if (parent == line) continue;
        cell = OwnKeyCell(parent, table, &length);
        if (HoldsKey(cell, length, type, key)) break;
      }
    }
    if (parent != nullptr) {
      AppendChild(parent, line);
    } else {
      if (last_root != nullptr) {
        last_root->NextSibling = line;
      } else {
        first_root = line;
      }
      last_root = line;
    }
  }
  return first_root;
}

void* XRowGrider::GetTreeNode(const void* line, int32_t flag) const {
  if (line == nullptr) return nullptr;
  const RowLine* node = static_cast<const RowLine*>(line);
  return flag != 0 ? node->FirstChild : node->NextSibling;
}

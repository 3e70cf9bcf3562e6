// XRowBuffer::AddItemLine: units read from a packed line whose items a descriptor chain
// describes. Items follow each other with no alignment, so every read goes through memcpy.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "tabrow/rowbuffer.h"

namespace {

// Walks a descriptor chain by position. Positions usually grow from one item to the next, so
// the walk resumes from the last descriptor found instead of the head when it can.
class DescCursor {
 public:
  explicit DescCursor(const XItemDataDesc* head) : head_(head), at_(head), position_(0) {}

  // The descriptor at `position` (0 is the head), or null past the end or for a negative one.
  const XItemDataDesc* Seek(int32_t position) {
    if (position < 0) return nullptr;
    if (position < position_ || at_ == nullptr) {
      at_ = head_;
      position_ = 0;
    }
    while (at_ != nullptr && position_ < position) {
      at_ = at_->Next;
      ++position_;
    }
    return at_;
  }

 private:
  const XItemDataDesc* head_;
  const XItemDataDesc* at_;
  int32_t position_;
};

// Bytes an item takes in the line: a date-time is always a 16-byte database timestamp.
size_t ItemWidth(const XItemDataDesc* desc) {
  if (desc->Type == XDT_DATETIME) return sizeof(DbTimestamp);
  return static_cast<size_t>(SizeOfDesc(desc));
}

// A copy of the text at `at`, up to its NUL but never beyond `slot` units, owned by the unit.
void ReadText(XDataUnit* unit, const uint8_t* at, size_t slot) {
  const auto* text = reinterpret_cast<const XCHAR*>(at);
  size_t length = 0;
  while (length < slot && tabrow::LoadUnit(text + length) != 0) ++length;
  auto* copy = static_cast<XCHAR*>(std::malloc((length + 1) * sizeof(XCHAR)));
  if (copy == nullptr) return;
  std::memcpy(copy, at, length * sizeof(XCHAR));
  copy[length] = 0;
  unit->Type = XDT_STRING;
  unit->Null = 0;
  unit->Value.Text = copy;
  unit->Owned = copy;
}

void ReadItem(XDataUnit* unit, const XItemDataDesc* desc, const uint8_t* at) {
  switch (desc->Type) {
    case XDT_LONG: {
      int32_t value;
      std::memcpy(&value, at, sizeof value);
      SetUnitValue(unit, value);
      break;
    }
    case XDT_STRING:
      ReadText(unit, at, desc->Size);
      break;
    case XDT_DOUBLE: {
      double value;
      std::memcpy(&value, at, sizeof value);
      SetUnitValue(unit, value);
      break;
    }
    case XDT_DATETIME: {
      DbTimestamp stamp;
      std::memcpy(&stamp, at, sizeof stamp);
      DATETIME time;
      TimeTransfer(&time, &stamp);
      SetUnitValue(unit, time);
      break;
    }
    default:
      break;
  }
}

}  // namespace

int32_t XRowBuffer::AddItemLine(const void* line, const uint8_t* nulls, const XItemDataDesc* descs,
                                const int32_t* indexes, int32_t count) {
  if (count < 1) return 1;
  if (line == nullptr || indexes == nullptr) return 0;
  const auto* at = static_cast<const uint8_t*>(line);
  DescCursor cursor(descs);
  for (int32_t i = 0; i < count; ++i) {
    const XItemDataDesc* desc = cursor.Seek(indexes[i]);
    if (desc == nullptr) return 0;
    XDataUnit* unit = AddNullUnit();
    if (unit == nullptr) return 0;
    if (nulls == nullptr || nulls[i] == 0) ReadItem(unit, desc, at);
    at += ItemWidth(desc);
  }
  return 1;
}

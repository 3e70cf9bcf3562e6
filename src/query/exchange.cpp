// The exchange buffers: one descriptor record as packed slots, read by SetDesc and written by
// GetNextDesc. Buffers may sit at any address, so every slot is accessed with memcpy.
#include <algorithm>
#include <cstring>

#include "platform/text.h"
#include "query/desc_records.h"

namespace tabrow {

namespace {

// Slot widths in UTF-16 units.
constexpr size_t kFieldExpression = 512;
constexpr size_t kExpression = 256;
constexpr size_t kShortText = 48;
constexpr size_t kLongText = 4096;
constexpr size_t kOperand = 256;
constexpr size_t kParens = 16;

class SlotReader {
 public:
  explicit SlotReader(const void* buffer) : at_(static_cast<const uint8_t*>(buffer)) {}

  // The slot's text (at most `width` units), null when empty.
  XCHAR* Text(size_t width) {
    size_t length = 0;
    while (length < width && Unit(length) != 0) ++length;
    XCHAR* text = StoredText(at_, length);
    at_ += width * sizeof(XCHAR);
    return text;
  }
  // The number of `mark` units in the slot's text.
  uint32_t Count(XCHAR mark, size_t width) {
    uint32_t count = 0;
    for (size_t i = 0; i < width && Unit(i) != 0; ++i) count += Unit(i) == mark ? 1 : 0;
    at_ += width * sizeof(XCHAR);
    return count;
  }
  uint32_t Word() {
    uint32_t word;
    std::memcpy(&word, at_, sizeof word);
    at_ += sizeof word;
    return word;
  }

 private:
  XCHAR Unit(size_t index) const {
    XCHAR unit;
    std::memcpy(&unit, at_ + index * sizeof(XCHAR), sizeof unit);
    return unit;
  }

  const uint8_t* at_;
};

class SlotWriter {
 public:
  explicit SlotWriter(void* buffer) : at_(static_cast<uint8_t*>(buffer)) {}

  // The text cut to width - 1 units and its NUL; a null text leaves an empty slot.
  void Text(const XCHAR* text, size_t width) {
    size_t length = std::min(TextLength(text), width - 1);
    if (length > 0) std::memcpy(at_, text, length * sizeof(XCHAR));
    Terminate(length);
    at_ += width * sizeof(XCHAR);
  }
  // `count` marks (at most width - 1) and a NUL.
  void Repeat(XCHAR mark, uint32_t count, size_t width) {
    size_t length = std::min<size_t>(count, width - 1);
    for (size_t i = 0; i < length; ++i) std::memcpy(at_ + i * sizeof(XCHAR), &mark, sizeof mark);
    Terminate(length);
    at_ += width * sizeof(XCHAR);
  }
  void Word(uint32_t word) {
    std::memcpy(at_, &word, sizeof word);
    at_ += sizeof word;
  }

 private:
  void Terminate(size_t length) {
    const XCHAR nul = 0;
    std::memcpy(at_ + length * sizeof(XCHAR), &nul, sizeof nul);
  }

  uint8_t* at_;
};

void Read(SlotReader& in, XQueryFieldDesc* record) {
  record->Expression = in.Text(kFieldExpression);
  record->ShortText = in.Text(kShortText);
  record->DataType = static_cast<uint16_t>(in.Word());
  record->DataSize = static_cast<uint16_t>(in.Word());
  record->FieldWord5 = static_cast<int32_t>(in.Word());
  record->FieldWord6 = static_cast<int32_t>(in.Word());
  record->LongText = in.Text(kLongText);
}

void Write(SlotWriter& out, const XQueryFieldDesc* record) {
  out.Text(record->Expression, kFieldExpression);
  out.Text(record->ShortText, kShortText);
  out.Word(record->DataType);
  out.Word(record->DataSize);
  out.Word(static_cast<uint32_t>(record->FieldWord5));
  out.Word(static_cast<uint32_t>(record->FieldWord6));
  out.Text(record->LongText, kLongText);
}

void Read(SlotReader& in, XQueryWhereDesc* record) {
  uint32_t opens = in.Count(u'(', kParens);
  record->Name = in.Text(kOperand);
  uint32_t op = in.Word() & 0xFFFFu;
  record->Value = in.Text(kOperand);
  uint32_t closes = in.Count(u')', kParens);
  uint32_t junction = in.Word() & 0xFFFFu;
  record->Parens = opens | closes << 16;
  record->OpJunction = op | junction << 16;
  record->UnboundMode = static_cast<int32_t>(in.Word());
  record->ShortText = in.Text(kShortText);
  record->WhereWord7 = static_cast<int32_t>(in.Word());
  record->LongText = in.Text(kLongText);
}

void Write(SlotWriter& out, const XQueryWhereDesc* record) {
  out.Repeat(u'(', record->Parens & 0xFFFFu, kParens);
  out.Text(record->Name, kOperand);
  out.Word(record->OpJunction & 0xFFFFu);
  out.Text(record->Value, kOperand);
  out.Repeat(u')', record->Parens >> 16, kParens);
  out.Word(record->OpJunction >> 16);
  out.Word(static_cast<uint32_t>(record->UnboundMode));
  out.Text(record->ShortText, kShortText);
  out.Word(static_cast<uint32_t>(record->WhereWord7));
  out.Text(record->LongText, kLongText);
}

void Read(SlotReader& in, XQueryGroupDesc* record) {
  record->Expression = in.Text(kExpression);
  record->ShortText = in.Text(kShortText);
}

void Write(SlotWriter& out, const XQueryGroupDesc* record) {
  out.Text(record->Expression, kExpression);
  out.Text(record->ShortText, kShortText);
}

void Read(SlotReader& in, XQueryOrderDesc* record) {
  record->Expression = in.Text(kExpression);
  record->Descending = static_cast<int32_t>(in.Word());
  record->ShortText = in.Text(kShortText);
}

void Write(SlotWriter& out, const XQueryOrderDesc* record) {
  out.Text(record->Expression, kExpression);
  out.Word(static_cast<uint32_t>(record->Descending));
  out.Text(record->ShortText, kShortText);
}

// Refills `record` in place, or appends a new record to the list at *head when it is null.
template <typename Record>
void SetRecord(Record** head, void* record, const void* buffer) {
  SlotReader in(buffer);
  auto* target = static_cast<Record*>(record);
  if (target != nullptr) {
    FreeTexts(target);
    Read(in, target);
    return;
  }
  target = NewRecord<Record>();
  if (target == nullptr) return;
  Read(in, target);
  AppendRecord(head, target);
}

template <typename Record>
void NextRecord(Record* head, void** cursor, void* buffer) {
  Record* next = *cursor == nullptr ? head : static_cast<Record*>(*cursor)->Next;
  *cursor = next;
  if (next == nullptr) return;
  SlotWriter out(buffer);
  Write(out, next);
}

}  // namespace

}  // namespace tabrow

void XQueryTemplate::SetDesc(int32_t list, void* record, const void* buffer) {
  if (buffer == nullptr) return;
  switch (list) {
    case QDL_FIELD:
      tabrow::SetRecord(&FieldList, record, buffer);
      break;
    case QDL_WHERE:
      tabrow::SetRecord(&WhereList, record, buffer);
      break;
    case QDL_GROUP:
      tabrow::SetRecord(&GroupList, record, buffer);
      break;
    case QDL_ORDER:
      tabrow::SetRecord(&OrderList, record, buffer);
      break;
    default:
      break;
  }
}

void XQueryTemplate::GetNextDesc(int32_t list, void** cursor, void* buffer) {
  if (cursor == nullptr || buffer == nullptr) return;
  switch (list) {
    case QDL_FIELD:
      tabrow::NextRecord(FieldList, cursor, buffer);
      break;
    case QDL_WHERE:
      tabrow::NextRecord(WhereList, cursor, buffer);
      break;
    case QDL_GROUP:
      tabrow::NextRecord(GroupList, cursor, buffer);
      break;
    case QDL_ORDER:
      tabrow::NextRecord(OrderList, cursor, buffer);
      break;
    default:
      break;
  }
}

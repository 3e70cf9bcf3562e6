// The stored form of a template: written whole and read back unchanged.
#include <cstdlib>

#include "query/desc_records.h"
#include "query/template_stream.h"

namespace tabrow {

namespace {

constexpr uint32_t kTextRoom = 1024;
constexpr uint32_t kLongTextRoom = 4096;

void WriteText(XMF_Serialize& out, uint32_t id, const XCHAR* text) {
  if (text != nullptr) out.Write_Proper(id, text);
}

void WriteRecord(XMF_Serialize& out, XQueryFieldDesc* field) {
  WriteText(out, 1, field->Expression);
  WriteText(out, 2, field->ShortText);
  out.Write_Proper(3, &field->DataType, 2);
  field->DataSize = StoredDataSize(field->DataType, field->DataSize);
  out.Write_Proper(4, &field->DataSize, 2);
  out.Write_Proper(5, &field->FieldWord5, 4);
  out.Write_Proper(6, &field->FieldWord6, 4);
  WriteText(out, 7, field->LongText);
}

void WriteRecord(XMF_Serialize& out, XQueryWhereDesc* desc) {
  WriteText(out, 1, desc->Name);
  WriteText(out, 2, desc->Value);
  WriteText(out, 3, desc->ShortText);
  out.Write_Proper(4, &desc->Parens, 4);
  out.Write_Proper(5, &desc->OpJunction, 4);
  out.Write_Proper(6, &desc->UnboundMode, 4);
  out.Write_Proper(7, &desc->WhereWord7, 4);
  WriteText(out, 8, desc->LongText);
}

void WriteRecord(XMF_Serialize& out, XQueryGroupDesc* group) {
  WriteText(out, 1, group->Expression);
  WriteText(out, 2, group->ShortText);
}

void WriteRecord(XMF_Serialize& out, XQueryOrderDesc* order) {
  WriteText(out, 1, order->Expression);
  WriteText(out, 2, order->ShortText);
  out.Write_Proper(3, &order->Descending, 4);
}

// A section with one record per list member; nothing for an empty list.
template <typename Record>
void WriteSection(XMF_Serialize& out, uint32_t id, Record* first) {
  if (first == nullptr) return;
  out.WriteHeader(id, XMF_OPEN);
  for (Record* record = first; record != nullptr; record = record->Next) {
    out.WriteHeader(kRecord, XMF_OPEN);
    WriteRecord(out, record);
    out.WriteHeader(kRecord, XMF_CLOSE);
  }
  out.WriteHeader(id, XMF_CLOSE);
}

// Reads a text item into *text (replacing what it held); an empty text gives null.
bool ReadText(XMF_Serialize& in, uint32_t capacity, XCHAR** text) {
  XCHAR buffer[kLongTextRoom];
  uint32_t length = 0;
  if (in.ReadStrBuffer(buffer, capacity, &length) == 0) return false;
  length = length > capacity ? capacity : length;
  std::free(*text);
  *text = buffer[0] == 0 ? nullptr : StoredText(buffer, length > 0 ? length - 1 : 0);
  return true;
}

bool ReadNumber(XMF_Serialize& in, void* number, uint32_t size) {
  return in.ReadProper(number, size, nullptr) != 0;
}

// Reads data item `id` of a record; false on a failed read. Unknown items are skipped.
bool ReadItem(XMF_Serialize& in, uint32_t id, XQueryFieldDesc* field) {
  switch (id) {
    case 1:
      return ReadText(in, kTextRoom, &field->Expression);
    case 2:
      return ReadText(in, kTextRoom, &field->ShortText);
    case 3:
      return ReadNumber(in, &field->DataType, 2);
    case 4:
      if (!ReadNumber(in, &field->DataSize, 2)) return false;
      field->DataSize = StoredDataSize(field->DataType, field->DataSize);
      return true;
    case 5:
      return ReadNumber(in, &field->FieldWord5, 4);
    case 6:
      return ReadNumber(in, &field->FieldWord6, 4);
    case 7:
      return ReadText(in, kLongTextRoom, &field->LongText);
    default:
      return in.SkipProper() != 0;
  }
}

bool ReadItem(XMF_Serialize& in, uint32_t id, XQueryWhereDesc* desc) {
  switch (id) {
    case 1:
      return ReadText(in, kTextRoom, &desc->Name);
    case 2:
      return ReadText(in, kTextRoom, &desc->Value);
    case 3:
      return ReadText(in, kTextRoom, &desc->ShortText);
    case 4:
      return ReadNumber(in, &desc->Parens, 4);
    case 5:
      return ReadNumber(in, &desc->OpJunction, 4);
    case 6:
      return ReadNumber(in, &desc->UnboundMode, 4);
    case 7:
      return ReadNumber(in, &desc->WhereWord7, 4);
    case 8:
      return ReadText(in, kLongTextRoom, &desc->LongText);
    default:
      return in.SkipProper() != 0;
  }
}

bool ReadItem(XMF_Serialize& in, uint32_t id, XQueryGroupDesc* group) {
  switch (id) {
    case 1:
      return ReadText(in, kTextRoom, &group->Expression);
    case 2:
      return ReadText(in, kTextRoom, &group->ShortText);
    default:
      return in.SkipProper() != 0;
  }
}

bool ReadItem(XMF_Serialize& in, uint32_t id, XQueryOrderDesc* order) {
  switch (id) {
    case 1:
      return ReadText(in, kTextRoom, &order->Expression);
    case 2:
      return ReadText(in, kTextRoom, &order->ShortText);
    case 3:
      return ReadNumber(in, &order->Descending, 4);
    default:
      return in.SkipProper() != 0;
  }
}

// Reads a record's data items up to its closing header.
template <typename Record>
bool ReadRecord(XMF_Serialize& in, Record* record) {
  for (;;) {
    uint32_t id = 0;
    uint32_t kind = 0;
    if (in.ReadHeader(&id, &kind) == 0) return false;
    if (kind == XMF_CLOSE) return true;
    if (kind != XMF_DATA || !ReadItem(in, id, record)) return false;
  }
}

// Reads a section's records up to its closing header, appending them to the list at *head.
template <typename Record>
bool ReadSection(XMF_Serialize& in, Record** head) {
  Record** tail = head;
  while (*tail != nullptr) tail = &(*tail)->Next;
  for (;;) {
    uint32_t id = 0;
    uint32_t kind = 0;
    if (in.ReadHeader(&id, &kind) == 0) return false;
    if (kind == XMF_CLOSE) return true;
    if (kind == XMF_DATA) {
      if (in.SkipProper() == 0) return false;
      continue;
    }
    if (kind != XMF_OPEN) return false;
    Record* record = NewRecord<Record>();
    if (record == nullptr) return false;
    *tail = record;
    tail = &record->Next;
    if (!ReadRecord(in, record)) return false;
  }
}

bool ReadTopSection(XMF_Serialize& in, uint32_t id, XQueryTemplate* query) {
  switch (id) {
    case kFieldSection:
      return ReadSection(in, &query->FieldList);
    case kWhereSection:
      return ReadSection(in, &query->WhereList);
    case kGroupSection:
      return ReadSection(in, &query->GroupList);
    case kOrderSection:
      return ReadSection(in, &query->OrderList);
    default:
      return in.SkipMarker() != 0;
  }
}

bool ReadTopItem(XMF_Serialize& in, uint32_t id, XQueryTemplate* query) {
  switch (id) {
    case 1:
      in.ReadProper(&query->Muster1, 4, nullptr);
      return true;
    case 2:
      in.ReadProper(&query->Muster2, 4, nullptr);
      return true;
    case 3:
      in.ReadProper(&query->TemplateWord3, 4, nullptr);
      return true;
    case 4:
      in.ReadProper(&query->TemplateWord4, 4, nullptr);
      return true;
    case 5:
      in.ReadProper(&query->TemplateWord5, 4, nullptr);
      return true;
    case kFromTextItem:
      return ReadText(in, kLongTextRoom, &query->FromText);
    default:
      return in.SkipProper() != 0;
  }
}

int32_t Store(XMF_Serialize& out, XQueryTemplate* query) {
  WriteTemplateWords(out, *query);
  WriteText(out, kFromTextItem, query->FromText);
  WriteSection(out, kFieldSection, query->FieldList);
  WriteSection(out, kWhereSection, query->WhereList);
  WriteSection(out, kGroupSection, query->GroupList);
  WriteSection(out, kOrderSection, query->OrderList);
  return out.WriteHeader(kStoredEnd, XMF_CLOSE);
}

int32_t Load(XMF_Serialize& in, XQueryTemplate* query) {
  for (;;) {
    uint32_t id = 0;
    uint32_t kind = 0;
    if (in.ReadHeader(&id, &kind) == 0) return 0;
    if (kind == XMF_DATA) {
      if (!ReadTopItem(in, id, query)) return 0;
    } else if (kind == XMF_OPEN) {
      if (!ReadTopSection(in, id, query)) return 0;
    } else {
      return kind == XMF_CLOSE ? 1 : 0;
    }
  }
}

}  // namespace

}  // namespace tabrow

int32_t XQueryTemplate::Serialize(IArchive* archive, int32_t storing) {
  if (storing == 0) {
    for (int32_t list = QDL_FIELD; list <= QDL_ORDER; ++list) ClearDesc(list);
  }
  if (archive == nullptr) return 0;
  XMF_Serialize stream(archive);
  return storing != 0 ? tabrow::Store(stream, this) : tabrow::Load(stream, this);
}

// Writes a database record described by fuzzed field descriptors as a stored grid line, appended
// to a grid record whose columns match the fields, and checks that the grid loads with that line
// and that every cell reads what the record held.
//
// Input: a flag byte (bit 0: no status words), then per field a type byte, a size byte and a
// status byte; after the fields, each field's value in record order.
#include <cstring>

#include "fuzz_check.h"

namespace {

constexpr uint32_t kArchiveBlock = 44;
constexpr uint32_t kArchivePointerAt = 16;
constexpr uint16_t kTypes[] = {XDT_LONG,    XDT_STRING, XDT_DOUBLE, XDT_DATETIME,
                               XDT_ARCHIVE, XDT_USER,   0,          XDT_STRING};

struct Field {
  uint16_t type;
  uint16_t size;
  int32_t status;
  size_t offset;  // in the record
  std::u16string text;
  XMemoArchive* archive = nullptr;
};

bool Supported(uint16_t type) {
  return (type >= XDT_LONG && type <= XDT_DATETIME) || type == XDT_ARCHIVE;
}

// Appends field `f`'s slot to the record: texts end inside their slot, archive blocks point at a
// memory archive (or at none).
void AddSlot(fuzz::Input& in, Field& f, std::vector<uint8_t>& record) {
  f.offset = record.size();
  switch (f.type) {
    case XDT_STRING: {
      std::u16string text = in.Text();
      f.text = text.substr(0, f.size - 1u);
      record.resize(record.size() + 2u * f.size, 0);
      std::memcpy(&record[f.offset], f.text.data(), 2 * f.text.size());
      return;
    }
    case XDT_DATETIME:
      for (int i = 0; i < 16; ++i) record.push_back(in.Byte());
      return;
    case XDT_ARCHIVE: {
      record.resize(record.size() + kArchiveBlock, 0);
      uint16_t length = in.Value<uint16_t>();
      if (length % 7 == 0) return;  // no archive
      std::vector<uint8_t> content(length);
      for (uint32_t i = 0; i < length; ++i) content[i] = static_cast<uint8_t>(i * 31 + length);
      f.archive = XMemoArchive::Malloc();
      f.archive->Append(content.data(), length);
      std::memcpy(&record[f.offset + kArchivePointerAt], &f.archive, sizeof f.archive);
      return;
    }
    default:
      for (uint32_t i = 0; i < f.size; ++i) record.push_back(in.Byte());
  }
}

std::vector<uint8_t> GridPrefix(const std::vector<Field>& fields) {
  XMemoArchive archive;
  XMF_Serialize out(&archive);
  int32_t count = static_cast<int32_t>(fields.size());
  std::vector<uint16_t> types, sizes;
  for (const Field& f : fields) {
    types.push_back(f.type);
    sizes.push_back(f.size);
  }
  out.WriteHeader(GDI_GRID, XMF_OPEN);
  out.Write_Proper(GDI_COLCOUNTER, &count, 4);
  out.Write_Proper(GDI_TYPES, types.data(), 2 * count);
  out.Write_Proper(GDI_SIZES, sizes.data(), 2 * count);
  return fuzz::Contents(&archive);
}

// The cell of field `f` must read what the record held.
void CheckCell(const Field& f, const uint8_t* slot, bool null, const XDataUnit& unit) {
  bool no_content = f.archive == nullptr || fuzz::Contents(f.archive).empty();
  bool empty = null || (f.type == XDT_ARCHIVE && no_content);
  fuzz::Require(((unit.Null & 1) != 0) == empty, "a cell is empty exactly when its field was");
  if (empty) return;
  switch (f.type) {
    case XDT_LONG:
    case XDT_DOUBLE:
      fuzz::Require(std::memcmp(&unit.Value, slot, f.type == XDT_LONG ? 4 : 8) == 0,
                    "a number cell holds the record's bytes");
      return;
    case XDT_DATETIME: {
      DbTimestamp stamp;
      std::memcpy(&stamp, slot, sizeof stamp);
      DATETIME expected;
      TimeTransfer(&expected, &stamp);
      fuzz::Require(std::memcmp(&unit.Value.Time, &expected, 8) == 0,
                    "a date-time cell holds the converted timestamp");
      return;
    }
    case XDT_STRING:
      fuzz::Require(f.text == fuzz::Copy(unit.Value.Text), "a text cell holds the whole text");
      return;
    default:
      fuzz::Require(fuzz::Contents(unit.Value.Archive) == fuzz::Contents(f.archive),
                    "an archive cell holds the archive's content");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  uint8_t flags = in.Byte();
  std::vector<Field> fields(1 + in.Byte() % 8);
  for (Field& f : fields) {
    f.type = kTypes[in.Byte() % 8];
    f.size = in.Byte();
    // The record must hold each value: a NUL inside a text's slot, a whole number in its slot.
    if (f.type == XDT_STRING && f.size == 0) f.size = 1;
    if (f.type == XDT_LONG && f.size < 4) f.size = 4;
    if (f.type == XDT_DOUBLE && f.size < 8) f.size = 8;
    f.status = in.Byte() % 4;
  }
  std::vector<uint8_t> record;
  for (Field& f : fields) AddSlot(in, f, record);
  std::vector<XFieldDesc> descs(fields.size());
  std::vector<int32_t> status;
  bool supported = true;
  for (size_t i = 0; i < fields.size(); ++i) {
    descs[i] = XFieldDesc{0, 0, fields[i].type, fields[i].size, 0, 0, 0, nullptr};
    if (i > 0) descs[i - 1].Next = &descs[i];
    status.push_back(fields[i].status);
    bool null = (flags & 1) == 0 && fields[i].status == 3;
    if (!null && !Supported(fields[i].type)) supported = false;
  }
  const int32_t* words = (flags & 1) != 0 ? nullptr : status.data();

  std::vector<uint8_t> prefix = GridPrefix(fields);
  XMemoArchive archive;
  archive.Append(prefix.data(), static_cast<uint32_t>(prefix.size()));
  int32_t saved = SaveGriderLine(&archive, descs.data(), record.data(), words);
  fuzz::Require(saved == 0 || saved == 1, "SaveGriderLine gives 1 or 0");
  if (!supported) fuzz::Require(saved == 0, "an unsupported field type is refused");
  if (saved == 0) {
    fuzz::Require(fuzz::Contents(&archive) == prefix, "a refused record writes nothing");
  } else {
    XMF_Serialize(&archive).WriteHeader(GDI_GRID, XMF_CLOSE);
    XRowGrider grider;
    fuzz::Require(grider.Serialize(&archive, 0, 0) == 1, "the line loads with its grid");
    void* line = grider.GetNextLine(nullptr);
    fuzz::Require(line != nullptr && grider.GetNextLine(line) == nullptr, "one line loads");
    for (size_t i = 0; i < fields.size(); ++i) {
      XDataUnit unit;
      grider.GetValue(line, static_cast<int32_t>(i), &unit);
      bool null = words != nullptr && words[i] == 3;
      CheckCell(fields[i], &record[fields[i].offset], null, unit);
    }
  }
  for (Field& f : fields) {
    if (f.archive != nullptr) f.archive->Release();
  }
  return 0;
}

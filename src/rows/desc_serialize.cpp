// The stored form of a descriptor chain: one record (identifier 1) per descriptor holding its
// fields as data items and its value as item 257 or a nested grid record, and a closing header
// with identifier 0 after the last.
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "rows/desc_value.h"
#include "tabrow/grider.h"
#include "tabrow/itemdesc.h"

namespace {

constexpr uint32_t kDescRecord = 1;
constexpr uint32_t kChainEnd = 0;
constexpr uint32_t kItemCode = 1;
constexpr uint32_t kItemExtra = 2;
constexpr uint32_t kItemType = 4;
constexpr uint32_t kItemSize = 5;
constexpr uint32_t kItemName = 6;
constexpr uint32_t kItemWord7 = 7;
constexpr uint32_t kItemFlags = 8;
constexpr uint32_t kItemWord9 = 9;
constexpr uint32_t kItemText1 = 18;
constexpr uint32_t kItemText2 = 19;
constexpr uint32_t kItemValue = 257;
constexpr size_t kNameUnits = 32;

// Integers, doubles and dates always travel with their natural width.
void NormalizeSize(XItemDataDesc* desc) {
  if (desc->Type == XDT_LONG) desc->Size = 4;
  if (desc->Type == XDT_DOUBLE || desc->Type == XDT_DATETIME) desc->Size = 8;
}

// How many bytes of Value a plain value item carries: Size, never more than Value holds.
uint32_t PlainValueBytes(const XItemDataDesc* desc) {
  return desc->Size < sizeof desc->Value ? desc->Size : sizeof desc->Value;
}

// A text item of the first `length` units of `text` (any address) and a NUL.
bool WriteTextItem(XMF_Serialize* out, uint32_t identifier, const XCHAR* text, size_t length) {
  const XCHAR nul = 0;
  uint32_t bytes = static_cast<uint32_t>((length + 1) * sizeof(XCHAR));
  return out->WriteHeader(identifier, XMF_DATA) && out->Write(&bytes, sizeof bytes) &&
         (length == 0 || out->Write(text, bytes - sizeof nul)) && out->Write(&nul, sizeof nul);
}

bool WriteText(XMF_Serialize* out, const XItemDataDesc* desc) {
  const XCHAR* text = desc->Value.Text;
  if (text == nullptr) return WriteTextItem(out, kItemValue, text, 0);
  size_t limit = desc->Size != 0 ? desc->Size - 1u : SIZE_MAX;
  return WriteTextItem(out, kItemValue, text, tabrow::BoundedTextLength(text, limit));
}

bool WriteArchive(XMF_Serialize* out, IArchive* archive) {
  uint32_t length = 0;
  archive->SeekToBegin();
  archive->GetLength(&length);
  return out->WriteHeader(kItemValue, XMF_DATA) && out->Write(&length, sizeof length) &&
         out->WriteDoc(archive);
}

bool WriteValue(XMF_Serialize* out, XItemDataDesc* desc) {
  if (desc->Type <= 15) {
    if (tabrow::IsDescNull(desc)) return true;
    if (tabrow::IsTextDescType(desc->Type)) return WriteText(out, desc);
    return out->Write_Proper(kItemValue, &desc->Value, PlainValueBytes(desc));
  }
  if (desc->Type == XDT_ARCHIVE && desc->Value.Archive != nullptr) {
    return WriteArchive(out, desc->Value.Archive);
  }
  if (IsGriderType(desc->Type) && desc->Value.Grider != nullptr) {
    return desc->Value.Grider->Serialize(out, 1, 0) != 0;
  }
  return true;
}

bool WriteDesc(XMF_Serialize* out, XItemDataDesc* desc) {
  XCHAR name[kNameUnits];
  size_t length = tabrow::BoundedTextLength(desc->Name, kNameUnits - 1);
  std::memcpy(name, desc->Name, length * sizeof(XCHAR));
  name[length] = 0;
  NormalizeSize(desc);
  return out->WriteHeader(kDescRecord, XMF_OPEN) &&
         out->Write_Proper(kItemCode, &desc->Code, sizeof desc->Code) &&
         out->Write_Proper(kItemExtra, &desc->Extra, sizeof desc->Extra) &&
         out->Write_Proper(kItemType, &desc->Type, sizeof desc->Type) &&
         out->Write_Proper(kItemSize, &desc->Size, sizeof desc->Size) &&
         out->Write_Proper(kItemName, name) &&
         out->Write_Proper(kItemWord7, &desc->DescWord7, sizeof desc->DescWord7) &&
         out->Write_Proper(kItemFlags, &desc->Flags, sizeof desc->Flags) &&
         out->Write_Proper(kItemWord9, &desc->DescWord9, sizeof desc->DescWord9) &&
         (desc->Text1 == nullptr || out->Write_Proper(kItemText1, desc->Text1)) &&
         (desc->Text2 == nullptr || out->Write_Proper(kItemText2, desc->Text2)) &&
         WriteValue(out, desc) && out->WriteHeader(kDescRecord, XMF_CLOSE);
}

int32_t StoreChain(XItemDataDesc* desc, IArchive* archive) {
  XMF_Serialize out(archive);
  for (XItemDataDesc* record = desc; record != nullptr; record = record->Next) {
    if (!WriteDesc(&out, record)) return 0;
  }
  return out.WriteHeader(kChainEnd, XMF_CLOSE);
}

// Reads descriptor records off one stream. Every value is checked against the descriptor's
// type as read so far, so no descriptor ends up holding a pointer it does not own.
class DescReader {
 public:
  explicit DescReader(IArchive* archive) : in_(archive) {}

  int32_t ReadChain(XItemDataDesc* first) {
    XItemDataDesc* last = nullptr;
    for (;;) {
      uint32_t identifier = 0;
      uint32_t kind = 0;
      if (!in_.ReadHeader(&identifier, &kind)) return 0;
      if (kind == XMF_CLOSE) return 1;
      if (kind == XMF_DATA) {
        if (!in_.SkipProper()) return 0;
        continue;
      }
      if (kind != XMF_OPEN || identifier != kDescRecord) return 0;
      XItemDataDesc* desc = StartDesc(first, last);
      if (desc == nullptr || !ReadDesc(desc)) return 0;
      last = desc;
    }
  }

 private:
  // The first record read goes into the holder's record, every later one into a new record
  // linked after the previous.
  static XItemDataDesc* StartDesc(XItemDataDesc* first, XItemDataDesc* last) {
    if (last == nullptr) {
      first->Next = nullptr;
      first->Flags = tabrow::kDescNull;
      return first;
    }
    XItemDataDesc* desc = MallocItemDesc();
    if (desc != nullptr) last->Next = desc;
    return desc;
  }

  bool ReadDesc(XItemDataDesc* desc) {
    for (;;) {
      uint32_t identifier = 0;
      uint32_t kind = 0;
      if (!in_.ReadHeader(&identifier, &kind)) return false;
      if (kind == XMF_CLOSE) return true;
      bool read = kind == XMF_DATA   ? ReadItem(desc, identifier)
                  : kind == XMF_OPEN ? ReadNested(desc, identifier)
                                     : false;
      if (!read) return false;
    }
  }

  bool ReadItem(XItemDataDesc* desc, uint32_t identifier) {
    switch (identifier) {
      case kItemCode:
        return in_.ReadProper(&desc->Code, sizeof desc->Code, nullptr);
      case kItemExtra:
        return in_.ReadProper(&desc->Extra, sizeof desc->Extra, nullptr);
      case kItemType:
        // A new type makes the value read so far meaningless; drop it before it is misread.
        tabrow::ReleaseDescStorage(desc);
        std::memset(&desc->Value, 0, sizeof desc->Value);
        return in_.ReadProper(&desc->Type, sizeof desc->Type, nullptr);
      case kItemSize:
        // A text buffer is as large as Size says; a new Size needs a new buffer.
        if (tabrow::IsTextDescType(desc->Type)) tabrow::ReleaseDescStorage(desc);
        if (!in_.ReadProper(&desc->Size, sizeof desc->Size, nullptr)) return false;
        NormalizeSize(desc);
        return true;
      case kItemName:
        return in_.ReadStrBuffer(desc->Name, kNameUnits, nullptr);
      case kItemWord7:
        return in_.ReadProper(&desc->DescWord7, sizeof desc->DescWord7, nullptr);
      case kItemFlags:
        return in_.ReadProper(&desc->Flags, sizeof desc->Flags, nullptr);
      case kItemWord9:
        return in_.ReadProper(&desc->DescWord9, sizeof desc->DescWord9, nullptr);
      case kItemText1:
        return ReadText(&desc->Text1);
      case kItemText2:
        return ReadText(&desc->Text2);
      case kItemValue:
        return ReadValue(desc);
      default:
        return in_.SkipProper();
    }
  }

  bool ReadText(XCHAR** text) {
    XMem_Free(*text);
    *text = nullptr;
    return in_.AllocStrBuffer(text);
  }

  bool ReadValue(XItemDataDesc* desc) {
    if (tabrow::IsTextDescType(desc->Type)) {
      MallocDescSpace(desc);
      if (desc->Value.Text == nullptr) return in_.SkipProper();
      tabrow::StoreUnit(desc->Value.Text, 0);
      return in_.ReadStrBuffer(desc->Value.Text, desc->Size, nullptr);
    }
    if (desc->Type <= 15) return in_.ReadProper(&desc->Value, PlainValueBytes(desc), nullptr);
    if (desc->Type == XDT_ARCHIVE) return ReadArchive(desc);
    return in_.SkipProper();
  }

  bool ReadArchive(XItemDataDesc* desc) {
    uint32_t count = 0;
    if (!in_.Read(&count, sizeof count)) return false;
    tabrow::ReleaseDescObject(desc);
    XMemoArchive* archive = XMemoArchive::Malloc();
    if (archive == nullptr) return false;
    desc->Value.Archive = archive;
    return in_.ReadDoc(archive, count);
  }

  bool ReadNested(XItemDataDesc* desc, uint32_t identifier) {
    if (identifier != GDI_GRID) return in_.SkipMarker();
    if (!IsGriderType(desc->Type)) return false;
    tabrow::ReleaseDescObject(desc);
    XRowGrider* grider = XRowGrider::Malloc();
    if (grider == nullptr) return false;
    if (grider->Serialize(&in_, 0, 1) == 0) {
      XRowGrider::Release(grider);
      return false;
    }
    desc->Value.Grider = grider;
    return true;
  }

  XMF_Serialize in_;
};

}  // namespace

int32_t SerializeItemDesc(XItemDataDesc* desc, IArchive* archive, int32_t store) {
  if (archive == nullptr) return 0;
  if (store != 0) return StoreChain(desc, archive);
  if (desc == nullptr) return 0;
  return DescReader(archive).ReadChain(desc);
}

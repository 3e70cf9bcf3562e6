// Loads a stored descriptor chain from the fuzzer's bytes, reads every descriptor the ways a host
// does (as a unit, copied, its slot width), and checks that what loaded stores, loads back and
// stores the same bytes again.
#include "fuzz_check.h"
#include "grid_walk.h"

namespace {

// The first record of a chain, given back whole when it goes out of scope.
struct Chain {
  Chain() : head(MallocItemDesc()) {}
  ~Chain() {
    ReleaseItemDesc(head);
    std::free(head);
  }
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;
  XItemDataDesc* head;
};

void ReadDescs(XItemDataDesc* head) {
  XItemDataDesc* copy = MallocItemDesc();
  for (XItemDataDesc* desc = head; desc != nullptr; desc = desc->Next) {
    XDataUnit unit;
    SetUnitNull(&unit);
    fuzz::Require(GetDescValue(desc, &unit) == 1, "GetDescValue gives 1");
    fuzz::TouchValue(unit);
    ClearUnitData(&unit);  // borrowed values are left alone
    SizeOfDesc(desc);
    if (IsGriderType(desc->Type) && desc->Value.Grider != nullptr) {
      fuzz::ReadEveryCell(desc->Value.Grider);
    }
    if (desc->Text1 != nullptr) fuzz::Length(desc->Text1);
    if (desc->Text2 != nullptr) fuzz::Length(desc->Text2);
    fuzz::Require(fuzz::Length(desc->Name) < 32, "a loaded name ends inside its 32 units");
    CopyDataDesc(copy, desc);
    bool text = copy->Type == XDT_STRING || copy->Type == XDT_ALTSTRING;
    if (text && copy->Value.Text != nullptr) fuzz::Length(copy->Value.Text);
  }
  ReleaseItemDesc(copy);
  std::free(copy);
}

std::vector<uint8_t> Store(XItemDataDesc* head) {
  XMemoArchive archive;
  fuzz::Require(SerializeItemDesc(head, &archive, 1) != 0, "a chain stores into memory");
  return fuzz::Contents(&archive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XCakeArchive input;
  input.SetBuffer(data, static_cast<uint32_t>(size));
  Chain chain;
  SerializeItemDesc(chain.head, &input, 0);  // what a failed load kept must store too
  ReadDescs(chain.head);

  std::vector<uint8_t> stored = Store(chain.head);
  XCakeArchive reader;
  reader.SetBuffer(stored.data(), static_cast<uint32_t>(stored.size()));
  Chain again;
  fuzz::Require(SerializeItemDesc(again.head, &reader, 0) == 1, "a stored chain loads");
  ReadDescs(again.head);
  fuzz::Require(Store(again.head) == stored, "a loaded chain stores the same bytes again");
  return 0;
}

// Loads a stored query template from the fuzzer's bytes and checks that it stores, loads back and
// stores the same bytes again. Then runs what a host runs on a loaded template, with a binder that
// rewrites, fails or leaves texts alone by their content: the computed form (which must load), the
// readable description, and the where tree rendered as SQL before and after simplification.
#include "fuzz_check.h"

namespace {

constexpr int32_t kBinderError = -7;

// '!' in a text is an unresolved reference, '#' a binder error; '$' is rewritten as '1' in place.
int32_t Binder(void*, XCHAR* text) {
  int32_t result = 0;
  for (XCHAR* c = text; *c != 0; ++c) {
    if (*c == u'!') return QTE_UNBOUND;
    if (*c == u'#') return kBinderError;
    if (*c == u'$') {
      *c = u'1';
      result = 1;
    }
  }
  return result;
}

size_t TextUnits(const XCHAR* text) {
  return text == nullptr ? 0 : fuzz::Length(text);
}

// Units that every text of the template takes together, and the number of conditions and of
// their parentheses: enough to size the caller's buffers that the template operations trust.
struct Extent {
  size_t texts = 0;
  size_t conditions = 0;
  size_t parens = 0;
};

Extent Measure(const XQueryTemplate& query) {
  Extent e;
  for (const XQueryFieldDesc* f = query.FieldList; f != nullptr; f = f->Next) {
    e.texts += TextUnits(f->Expression) + 8;
  }
  for (const XQueryWhereDesc* w = query.WhereList; w != nullptr; w = w->Next) {
    e.texts += TextUnits(w->Name) + TextUnits(w->Value) + 2;
    e.parens += (w->Parens & 0xFFFFu) + (w->Parens >> 16);
    ++e.conditions;
  }
  for (const XQueryGroupDesc* g = query.GroupList; g != nullptr; g = g->Next) {
    e.texts += TextUnits(g->Expression) + 8;
  }
  for (const XQueryOrderDesc* o = query.OrderList; o != nullptr; o = o->Next) {
    e.texts += TextUnits(o->Expression) + 8;
  }
  return e;
}

std::vector<uint8_t> Store(XQueryTemplate* query) {
  XMemoArchive archive;
  fuzz::Require(query->Serialize(&archive, 1) != 0, "a template stores into memory");
  return fuzz::Contents(&archive);
}

int32_t Load(XQueryTemplate* query, const uint8_t* data, size_t size) {
  XCakeArchive archive;
  archive.SetBuffer(data, static_cast<uint32_t>(size));
  return query->Serialize(&archive, 0);
}

void CheckComputed(XQueryTemplate* query) {
  XMemoArchive computed;
  int32_t result = query->ComputeTemplate(&computed);
  fuzz::Require(fuzz::OneOf(result, {0, 1, QTE_FAIL, QTE_NOFIELDS, QTE_NOMUSTER, QTE_FIELDTEXT,
                                     QTE_GROUPTEXT, QTE_ORDERTEXT, QTE_WHEREVALUE, QTE_WHEREBUILD,
                                     QTE_WHERESHAPE, QTE_UNBOUND, kBinderError}),
                "ComputeTemplate gives a designed result");
  fuzz::Require(query->WhereList == nullptr || query->WhereTree == nullptr,
                "computing leaves no where tree");
  if (result != 0) return;
  XQueryTemplate* loaded = XQueryTemplate::Malloc();
  std::vector<uint8_t> bytes = fuzz::Contents(&computed);
  fuzz::Require(Load(loaded, bytes.data(), bytes.size()) == 1, "a computed form loads");
  XQueryTemplate::Release(loaded);
}

// Gives every leaf a Mark and Level drawn from its condition, as a host may before simplifying.
void MarkLeaves(XWhereTree* root) {
  std::vector<XWhereTree*> pending{root};
  while (!pending.empty()) {
    XWhereTree* node = pending.back();
    pending.pop_back();
    if (node == nullptr) continue;
    pending.push_back(node->Next);
    pending.push_back(node->Child);
    if (node->Child == nullptr && node->Desc != nullptr) {
      node->Mark = node->Desc->WhereWord7 % 3;
      node->Level = static_cast<uint32_t>(node->Desc->WhereWord7) / 3 % 5;
    }
  }
}

void CheckClause(const XWhereTree* root, std::vector<XCHAR>& out) {
  std::fill(out.begin(), out.end(), u'\xFFFF');
  int32_t length = MakeWhereClause(root, out.data());
  fuzz::Require(length >= 0 || length == QTE_FAIL, "MakeWhereClause gives a length or QTE_FAIL");
  if (length < 0) return;
  fuzz::Require(static_cast<size_t>(length) < out.size(), "the clause fits its bound");
  if (length == 0 && out[0] == u'\xFFFF') return;  // no condition: nothing written
  fuzz::Require(out[length] == 0 && fuzz::Length(out.data()) == static_cast<size_t>(length),
                "the clause is its length long");
}

void CheckWhereTree(XQueryTemplate* query, const Extent& e) {
  std::vector<XCHAR> buffer(e.texts + 2048);
  int32_t result = query->ReplaceTemplate(buffer.data());
  fuzz::Require(fuzz::OneOf(result, {0, QTE_FAIL, QTE_NOFIELDS, QTE_NOMUSTER, QTE_FIELDTEXT,
                                     QTE_GROUPTEXT, QTE_ORDERTEXT, QTE_WHEREVALUE, QTE_WHEREBUILD,
                                     QTE_WHERESHAPE, QTE_UNBOUND, kBinderError}),
                "ReplaceTemplate gives a designed result");
  XWhereTree* root = static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE));
  if (root == nullptr) return;
  // Date ranges name the field twice and add two bounds; every group adds its parentheses.
  std::vector<XCHAR> clause(3 * (e.texts + 2 * e.parens) + 128 * (e.conditions + 1));
  CheckClause(root, clause);
  if (result != 0) return;
  MarkLeaves(root);
  fuzz::Require(fuzz::OneOf(query->ComputeWhereTree(), {0, 1}), "ComputeWhereTree gives 0 or 1");
  CheckClause(static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE)), clause);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XQueryTemplate* query = XQueryTemplate::Malloc();
  int32_t loaded = Load(query, data, size);
  fuzz::Require(loaded == 0 || loaded == 1, "loading gives 1 or 0");

  std::vector<uint8_t> stored = Store(query);
  XQueryTemplate* again = XQueryTemplate::Malloc();
  fuzz::Require(Load(again, stored.data(), stored.size()) == 1, "a stored template loads");
  fuzz::Require(Store(again) == stored, "a loaded template stores the same bytes again");
  XQueryTemplate::Release(again);

  Extent e = Measure(*query);
  std::vector<XCHAR> description(e.texts + 4 * e.parens + 32 * e.conditions + 256);
  query->MakeTemplateDesc(description.data(), 0);
  fuzz::Require(fuzz::Length(description.data()) < description.size(), "the description fits");

  query->SetBinder(nullptr, Binder);
  CheckComputed(query);
  CheckWhereTree(query, e);
  XQueryTemplate::Release(query);
  return 0;
}

#include "template_text.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "text.h"

namespace tabrow::cli {
namespace {

// A bound text may take this many characters: the room every template text is given.
constexpr size_t kBoundRoom = 1023;
// What the binder returns for a bound text longer than kBoundRoom.
constexpr int32_t kTooLong = QTE_FAIL;

size_t Length(const XCHAR* text) {
  return text == nullptr ? 0 : std::char_traits<char16_t>::length(text);
}

bool IsNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsNamePart(char16_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9');
}

struct Binder {
  const Bindings* bindings;
  std::u16string unresolved;  // the last reference without a value
  bool too_long = false;

  // Replaces every reference in `text`. "::" is kept as written.
  static int32_t Bind(void* context, XCHAR* text) {
    Binder* self = static_cast<Binder*>(context);
    std::u16string out;
    bool replaced = false;
    for (const XCHAR* p = text; *p != 0;) {
      if (p[0] == u':' && p[1] == u':') {
        out.append(p, 2);
        p += 2;
        continue;
      }
      if (p[0] != u':' || !IsNameStart(p[1])) {
        out += *p++;
        continue;
      }
      const XCHAR* end = p + 1;
      while (IsNamePart(*end)) ++end;
      const std::u16string name(p + 1, end);
      const auto it = self->bindings->find(name);
      if (it == self->bindings->end()) {
        self->unresolved = name;
        return QTE_UNBOUND;
      }
      out += it->second;
      replaced = true;
      p = end;
    }
    if (!replaced) return 0;
    if (out.size() > kBoundRoom) {
      self->too_long = true;
      return kTooLong;
    }
    std::copy(out.c_str(), out.c_str() + out.size() + 1, text);
    return 1;
  }
};

// Room for everything ReplaceTemplate copies into its working buffer: each condition's name
// and value, each bound to at most kBoundRoom characters, or the field expression at its start.
size_t WorkingRoom(const XQueryTemplate& query) {
  size_t longest = kBoundRoom;
  size_t texts = 2;
  for (const XQueryFieldDesc* f = query.FieldList; f != nullptr; f = f->Next) {
    longest = std::max(longest, Length(f->Expression));
  }
  for (const XQueryWhereDesc* w = query.WhereList; w != nullptr; w = w->Next) {
    longest = std::max({longest, Length(w->Name), Length(w->Value)});
    texts += 2;
  }
  return texts * (longest + 1);
}

size_t DescriptionRoom(const XQueryTemplate& query) {
  size_t room = 128;
  for (const XQueryFieldDesc* f = query.FieldList; f != nullptr; f = f->Next) {
    room += Length(f->Expression) + 2;
  }
  for (const XQueryWhereDesc* w = query.WhereList; w != nullptr; w = w->Next) {
    room += (w->Parens & 0xFFFF) + (w->Parens >> 16) + Length(w->Name) + Length(w->Value) + 20;
  }
  for (const XQueryGroupDesc* g = query.GroupList; g != nullptr; g = g->Next) {
    room += Length(g->Expression) + 2;
  }
  for (const XQueryOrderDesc* o = query.OrderList; o != nullptr; o = o->Next) {
    room += Length(o->Expression) + 7;
  }
  return room;
}

// A range condition writes its name and value twice, with two bounds and its parentheses.
size_t ClauseRoom(const XWhereTree* node) {
  size_t room = 16;
  for (; node != nullptr; node = node->Next) {
    room += node->Child != nullptr ? ClauseRoom(node->Child)
                                   : 2 * (Length(node->Name) + Length(node->Value)) + 96;
  }
  return room;
}

std::string Explain(int32_t code, const Binder& binder) {
  switch (code) {
    case QTE_NOFIELDS:
      return "the template has no fields";
    case QTE_FIELDTEXT:
      return "a field of the template has no expression";
    case QTE_WHEREVALUE:
      return "a condition of the template has no value";
    case QTE_GROUPTEXT:
      return "a grouping of the template has no expression";
    case QTE_ORDERTEXT:
      return "an ordering of the template has no expression";
    case QTE_WHEREBUILD:
      return "the conditions' parentheses and junctions do not nest";
    case QTE_WHERESHAPE:
      return "a parenthesised group of the template holds a single condition";
    case QTE_NOMUSTER:
      return "the template names no queried object";
    case QTE_UNBOUND:
      return "no value for the reference :" + ToUtf8(binder.unresolved);
  }
  if (binder.too_long) {
    return "a bound text is longer than " + std::to_string(kBoundRoom) + " characters";
  }
  char hex[16];
  std::snprintf(hex, sizeof(hex), "0x%08x", static_cast<uint32_t>(code));
  return std::string("the template could not be bound (") + hex + ")";
}

}  // namespace

bool IsReferenceName(const std::u16string& name) {
  return !name.empty() && IsNameStart(name[0]) && std::all_of(name.begin(), name.end(), IsNamePart);
}

std::string DescribeTemplate(XQueryTemplate* query) {
  std::vector<XCHAR> text(DescriptionRoom(*query));
  query->MakeTemplateDesc(text.data(), 0);
  return UnixLines(ToUtf8(text.data()));
}

bool BindCondition(XQueryTemplate* query, const Bindings& bindings, BoundCondition* condition,
                   std::string* error) {
  Binder binder{&bindings, u"", false};
  query->SetBinder(&binder, &Binder::Bind);
  std::vector<XCHAR> working(WorkingRoom(*query));
  const int32_t replaced = query->ReplaceTemplate(working.data());
  query->SetBinder(nullptr, nullptr);
  if (replaced != 0) {
    *error = Explain(replaced, binder);
    return false;
  }
  if (query->ComputeWhereTree() == 1) {
    condition->kind = ConditionKind::kNever;
    return true;
  }
  const XWhereTree* root = query->WhereTree;
  std::vector<XCHAR> clause(root == nullptr ? 1 : ClauseRoom(root));
  const int32_t length = MakeWhereClause(root, clause.data());
  if (length < 0) {
    *error = "the condition could not be written as SQL";
    return false;
  }
  condition->kind = length == 0 ? ConditionKind::kNone : ConditionKind::kSql;
  condition->text = ToUtf8(clause.data());
  if (!condition->text.empty() && condition->text[0] == ' ') condition->text.erase(0, 1);
  return true;
}

}  // namespace tabrow::cli

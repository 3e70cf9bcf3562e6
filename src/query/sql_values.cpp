#include "query/sql_values.h"

#include "tabrow/datetime.h"
#include "tabrow/query.h"

namespace tabrow {

namespace {

constexpr XCHAR kQuote = u'\'';

bool IsBlank(XCHAR c) {
  return c >= 1 && c <= 32;
}

// The white space "%hd" passes over.
bool IsSpace(XCHAR c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

const XCHAR* SkipBlanks(const XCHAR* text) {
  while (IsBlank(LoadUnit(text))) ++text;
  return text;
}

// The first `mark` in `text`, or null.
const XCHAR* FindUnit(const XCHAR* text, XCHAR mark) {
  for (XCHAR c = LoadUnit(text); c != 0; c = LoadUnit(++text)) {
    if (c == mark) return text;
  }
  return nullptr;
}

// Writes units up to the next quote or the end; returns where it stopped.
const XCHAR* PutUntilQuote(TextOut& out, const XCHAR* text) {
  for (XCHAR c = LoadUnit(text); c != 0 && c != kQuote; c = LoadUnit(++text)) out.Put(c);
  return text;
}

// 'abc' becomes '%abc%' (contains) or 'abc%' (starts with); text after the closing quote is
// kept up to a further quote.
int32_t RenderPattern(TextOut& out, const XCHAR* value, bool contains) {
  const XCHAR* p = SkipBlanks(value);
  if (LoadUnit(p) != kQuote) return QTE_FAIL;
  out.PutAscii(contains ? "'%" : "'");
  p = PutUntilQuote(out, p + 1);
  out.Put(u'%');
  if (LoadUnit(p) != kQuote) return QTE_FAIL;
  out.Put(kQuote);
  PutUntilQuote(out, p + 1);
  return 0;
}

// A quoted list '1,2,3' (a trailing comma allowed) becomes (1,2,3); anything not starting with a
// quote is a list or sub-select already and is written as it stands.
int32_t RenderList(TextOut& out, const XCHAR* value) {
  const XCHAR* p = SkipBlanks(value);
  if (LoadUnit(p) != kQuote) {
    out.PutText(value);
    return 0;
  }
  size_t open = out.length();
  out.Put(u'(');
  out.PutText(p + 1);
  size_t end = out.length();
  while (end > open + 1 && IsBlank(out.Get(end - 1))) --end;
  if (end == open + 1 || out.Get(end - 1) != kQuote) return QTE_FAIL;
  size_t reached = end - 1;
  while (reached > open + 1 && IsBlank(out.Get(reached - 1))) --reached;
  if (out.Get(reached - 1) == u',') {
    out.Set(reached - 1, u')');
    out.Truncate(reached);
  } else {
    out.Set(reached, u')');
    out.Truncate(reached + 1);
  }
  return 0;
}

// One "%0<width>hd" conversion: white space, a sign and digits, at most `width` units after the
// white space. False when no digit is found.
bool ScanShort(const XCHAR** text, int width, int16_t* value) {
  const XCHAR* p = *text;
  while (IsSpace(LoadUnit(p))) ++p;
  bool negative = false;
  int used = 0;
  if (LoadUnit(p) == u'+' || LoadUnit(p) == u'-') {
    negative = LoadUnit(p) == u'-';
    ++p;
    ++used;
  }
  int32_t number = 0;
  int digits = 0;
  for (XCHAR c = LoadUnit(p); used < width && c >= u'0' && c <= u'9'; c = LoadUnit(++p)) {
    number = number * 10 + (c - u'0');
    ++used;
    ++digits;
  }
  if (digits == 0) return false;
  *value = static_cast<int16_t>(negative ? -number : number);
  *text = p;
  return true;
}

struct ShortDate {
  int16_t year = 1900;
  int16_t month = 1;
  int16_t day = 1;
};

// Reads "%04hd-%02hd-%02hd"; the parts the text lacks keep their defaults.
ShortDate ScanDate(const XCHAR* text) {
  ShortDate date;
  if (!ScanShort(&text, 4, &date.year) || LoadUnit(text) != u'-') return date;
  ++text;
  if (!ScanShort(&text, 2, &date.month) || LoadUnit(text) != u'-') return date;
  ++text;
  ScanShort(&text, 2, &date.day);
  return date;
}

// Writes the lower and upper bounds of the range that holds `date`.
void FormatBounds(ValueForm form, const ShortDate& date, XCHAR* lower, XCHAR* upper) {
  int32_t year = date.year;
  int32_t month = date.month;
  if (form == ValueForm::kYear) {
    FormatText(lower, "%04hd-01-01 00:00:00", {year});
    FormatText(upper, "%04hd-01-01 00:00:00", {year + 1});
  } else if (form == ValueForm::kMonth) {
    FormatText(lower, "%04hd-%02hd-01 00:00:00", {year, month});
    if (month == 12) {
      FormatText(upper, "%04hd-01-01 00:00:00", {year + 1});
    } else {
      FormatText(upper, "%04hd-%02hd-01 00:00:00", {year, month + 1});
    }
  } else {
    FormatText(lower, "%04hd-%02hd-%02hd 00:00:00", {year, month, int32_t{date.day}});
    DATETIME next{static_cast<uint16_t>(date.year),
                  static_cast<int8_t>(date.month),
                  static_cast<int8_t>(date.day),
                  0,
                  0,
                  0,
                  0};
    AddDateTime(&next, XDP_DAY, 1);
    FormatText(upper, "%04hd-%02hd-%02hd 00:00:00",
               {int32_t{next.Year}, int32_t{next.Month}, int32_t{next.Day}});
  }
}

// F >= 'lower' AND F < 'upper', keeping whatever stands before the first quote and from the
// second quote on around each bound.
int32_t RenderRange(TextOut& out, ValueForm form, const XCHAR* name, const XCHAR* value) {
  const XCHAR* open = FindUnit(value, kQuote);
  if (open == nullptr) return QTE_FAIL;
  const XCHAR* rest = FindUnit(open + 1, kQuote);
  if (rest == nullptr) return QTE_FAIL;
  XCHAR lower[kFormatLimit];
  XCHAR upper[kFormatLimit];
  FormatBounds(form, ScanDate(open + 1), lower, upper);
  size_t prefix = static_cast<size_t>(open - value);
  out.PutText(value, prefix);
  out.Put(kQuote);
  out.PutText(lower);
  out.PutText(rest);
  out.PutAscii(" AND ");
  out.PutText(name);
  out.PutAscii(" < ");
  out.PutText(value, prefix);
  out.Put(kQuote);
  out.PutText(upper);
  out.PutText(rest);
  return 0;
}

}  // namespace

int32_t RenderValue(TextOut& out, ValueForm form, const XCHAR* name, const XCHAR* value) {
  switch (form) {
    case ValueForm::kVerbatim:
      out.PutText(value);
      return 0;
    case ValueForm::kContains:
      return RenderPattern(out, value, true);
    case ValueForm::kStartsWith:
      return RenderPattern(out, value, false);
    case ValueForm::kList:
      return RenderList(out, value);
    default:
      return RenderRange(out, form, name, value);
  }
}

}  // namespace tabrow

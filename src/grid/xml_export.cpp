// The grid written as an XML "Rowset" document: a Type attribute of one letter per column, then
// one Row element per line holding one FD_n element per cell.
#include <charconv>
#include <cstring>

#include "platform/format.h"
#include "tabrow/grider.h"
#include "values/type_letters.h"

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
const char kRowsetStart[] = "\r\n<Rowset Type=\"";
const char kRowStart[] = "\r\n<Row>";
const char kRowEnd[] = "\r\n</Row>";
const char kRowsetEnd[] = "</Rowset>";

// Collects pieces of 8-bit text in a fixed buffer and appends them to the archive a buffer at a
// time, so that a document of many small pieces costs few appends.
class PieceWriter {
 public:
  // The longest piece Put takes: an element tag pair around a double's text.
  static constexpr size_t kLargestPiece = 2 * sizeof "</FD_2147483647>" + tabrow::kFixed8Room;

  explicit PieceWriter(IArchive* archive) : archive_(archive) {}

  // Makes room for a piece of up to kLargestPiece bytes and returns where it goes.
  char* Room() {
    if (used_ + kLargestPiece > sizeof buffer_) Flush();
    return buffer_ + used_;
  }
  // Takes `count` bytes written at Room().
  void Commit(size_t count) { used_ += count; }
  void Put(const char* text, size_t count) {
    std::memcpy(Room(), text, count);
    Commit(count);
  }
  template <size_t N>
  void Put(const char (&text)[N]) {
    Put(text, N - 1);
  }
  // Appends what was collected; the result of that append (1 when there was nothing).
  int32_t Flush() {
    if (used_ > 0) result_ = HTM_Write(archive_, buffer_, uint32_t(used_));
    used_ = 0;
    return result_;
  }
  // Appends a text cell as escaped character data, after what was collected.
  void PutText(const XCHAR* text) {
    Flush();
    result_ = XMT_Text(archive_, text);
  }

 private:
  IArchive* archive_;
  int32_t result_ = 1;
  size_t used_ = 0;
  char buffer_[8192];
};

// Writes "<FD_n>" or "</FD_n>" at `out`; returns the bytes written.
size_t WriteTag(char* out, int32_t number, bool end) {
  char* p = out;
  *p++ = '<';
  if (end) *p++ = '/';
  std::memcpy(p, "FD_", 3);
  p = std::to_chars(p + 3, p + 16, number).ptr;
  *p++ = '>';
  return size_t(p - out);
}

// Writes the text form of a non-text cell value at `out`; returns the bytes written.
size_t WriteValue(char* out, const XDataUnit& unit) {
  switch (unit.Type) {
    case XDT_LONG:
      return size_t(std::to_chars(out, out + 16, unit.Value.Long).ptr - out);
    case XDT_DOUBLE: {
      int32_t length = tabrow::FormatFixed8(unit.Value.Double, out);
      // Trailing zeros go, one staying after a bare point; "nan" and "inf" have no point.
      if (length >= 10 && out[length - 9] == '.') {
        while (out[length - 1] == '0') --length;
        if (out[length - 1] == '.') ++length;
      }
      return size_t(length);
    }
    case XDT_DATETIME: {
      const DATETIME& t = unit.Value.Time;
      return size_t(tabrow::FormatText(out, "%04hd-%02hd-%02hd %02hd:%02hd:%02hd",
                                       {int32_t(t.Year), int32_t(t.Month), int32_t(t.Day),
                                        int32_t(t.Hour), int32_t(t.Minute), int32_t(t.Second)}));
    }
    default:
      return 0;
  }
}

}  // namespace

int32_t XRowGrider::WriteXmlDoc(IArchive* archive) {
  if (HTM_Write(archive, kDeclaration) == 0) return 0;
  PieceWriter out(archive);
  out.Put(kRowsetStart);
  for (int32_t column = 0; column < ColCounter; ++column) {
    const char letter = tabrow::TypeLetter(Types[column]);
    if (letter == 0) return 0;
    out.Put(&letter, 1);
  }
  out.Put("\">");
  for (RowLine* line = Head; line != nullptr; line = line->Next) {
    out.Put(kRowStart);
    for (int32_t column = 0; column < ColCounter; ++column) {
      XDataUnit cell;
      GetValue(line, column, &cell);
      const bool empty = (cell.Null & 1) != 0;
      if (cell.Type == XDT_STRING && !empty) {
        out.Commit(WriteTag(out.Room(), column + 1, false));
        out.PutText(cell.Value.Text);
      } else {
        char* piece = out.Room();
        size_t length = WriteTag(piece, column + 1, false);
        if (!empty) length += WriteValue(piece + length, cell);
        out.Commit(length);
      }
      out.Commit(WriteTag(out.Room(), column + 1, true));
    }
    out.Put(kRowEnd);
  }
  out.Put(kRowsetEnd);
  return out.Flush();
}

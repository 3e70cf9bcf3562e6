#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tabrow {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Bytes of an incomplete sequence carried to the next chunk, at most (UTF-8 needs 3, 936 one).
constexpr size_t kCarryRoom = 4;

// Opens iconv between UTF-16LE and code page 936, which glibc knows as CP936 or GBK. Where no 936
// module is installed, ASCII (built into the C library) keeps the converter working, with every
// other character replaced.
iconv_t OpenAnsi(bool decode) {
  for (const char* name : {"CP936", "GBK", "ASCII"}) {
    iconv_t converter = decode ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
    if (converter != kNoConverter) return converter;
  }
  return kNoConverter;
}

// Decodes the complete characters of `bytes` (invalid ones as U+FFFD) and appends them to
// `out`; returns the bytes taken: all but an incomplete sequence at the end.
size_t DecodeUtf8(const char* bytes, size_t count, std::u16string* out) {
  size_t base = out->size();
  out->resize(base + count);  // a byte gives at most one unit
  XCHAR* start = &(*out)[base];
  XCHAR* q = start;
  size_t i = 0;
  while (i < count) {
    unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      *q++ = lead;
      ++i;
      continue;
    }
    size_t used;
    char32_t c = ReadUtf8(bytes + i, count - i, &used);
    if (c == kIncompleteUtf8) break;
    q += WriteUtf16(c, q);
    i += used;
  }
  out->resize(base + size_t(q - start));
  return i;
}

// Runs iconv into `out` after its first *length units, growing it when iconv runs out of
// room; returns 0 when all the input was converted, else the errno iconv stopped with.
template <typename String>
int RunIconv(iconv_t converter, char** in, size_t* inLeft, String* out, size_t* length) {
  using Unit = typename String::value_type;
  for (;;) {
    char* start = reinterpret_cast<char*>(&(*out)[*length]);
    char* q = start;
    size_t outLeft = (out->size() - *length) * sizeof(Unit);
    int error = iconv(converter, in, inLeft, &q, &outLeft) == size_t(-1) ? errno : 0;
    *length += size_t(q - start) / sizeof(Unit);
    if (error != E2BIG) return error;
    out->resize(out->size() + *inLeft + 8);
  }
}

template <typename String>
void PutUnit(String* out, size_t* length, typename String::value_type unit) {
  if (*length == out->size()) {
    out->push_back(unit);
  } else {
    (*out)[*length] = unit;
  }
  ++*length;
}

// As DecodeUtf8, through iconv. iconv stops at an invalid sequence: it becomes U+FFFD and the
// conversion goes on from the next byte.
size_t DecodeAnsi(iconv_t converter, const char* bytes, size_t count, std::u16string* out) {
  size_t length = out->size();
  out->resize(length + count);          // a byte gives at most one unit
  char* in = const_cast<char*>(bytes);  // iconv does not write to its input
  size_t inLeft = count;
  while (inLeft > 0) {
    int error = RunIconv(converter, &in, &inLeft, out, &length);
    if (error == 0 || (error == EINVAL && inLeft < kCarryRoom)) break;  // EINVAL: incomplete
    PutUnit(out, &length, u'\uFFFD');
    ++in;
    --inLeft;
  }
  out->resize(length);
  return count - inLeft;
}

void EncodeUtf8(const XCHAR* units, size_t count, std::string* out) {
  size_t base = out->size();
  out->resize(base + 3 * count);  // a unit gives at most 3 bytes, a pair 4
  char* start = &(*out)[base];
  char* q = start;
  for (size_t i = 0, used; i < count; i += used) {
    uint32_t unit = LoadUnit(units + i);
    if (unit < 0x80) {
      *q++ = char(unit);
      used = 1;
    } else {
      q += WriteUtf8(ReadUtf16(units + i, count - i, &used), q);
    }
  }
  out->resize(base + size_t(q - start));
}

// Encodes through iconv. iconv stops at a character 936 lacks or a lone surrogate: it becomes
// '?' and the conversion goes on after it. glibc converts UTF-16 to 936 in two steps and, when
// the second step fails, redoes the first over the input of the call; so each call is given a
// window of the input, which keeps a text full of such characters linear.
void EncodeAnsi(iconv_t converter, const XCHAR* units, size_t count, std::string* out) {
  constexpr size_t kWindow = 64;
  size_t length = out->size();
  out->resize(length + 2 * count);  // a unit gives at most 2 bytes
  size_t done = 0;
  while (done < count) {
    size_t end = std::min(count, done + kWindow);
    if (end < count && IsHighSurrogate(LoadUnit(units + end - 1))) --end;  // keep pairs whole
    // iconv does not write to its input.
    char* in = const_cast<char*>(reinterpret_cast<const char*>(units + done));
    size_t inLeft = (end - done) * sizeof(XCHAR);
    int error = RunIconv(converter, &in, &inLeft, out, &length);
    done = end - inLeft / sizeof(XCHAR);
    if (error == 0) continue;
    PutUnit(out, &length, '?');
    size_t used;
    ReadUtf16(units + done, count - done, &used);
    done += used;
  }
  out->resize(length);
}

}  // namespace

struct TextDecoder::State {
  explicit State(CodePage page)
      : converter(page == CodePage::kAnsi ? OpenAnsi(true) : kNoConverter),
        ansi(page == CodePage::kAnsi) {}
  ~State() {
    if (converter != kNoConverter) iconv_close(converter);
  }
  size_t Decode(const char* bytes, size_t count, std::u16string* out) {
    return ansi ? DecodeAnsi(converter, bytes, count, out) : DecodeUtf8(bytes, count, out);
  }

  iconv_t converter;
  bool ansi;
  char carry[kCarryRoom];
  size_t carryLength = 0;
};

TextDecoder::TextDecoder(CodePage page) : state_(new State(page)) {}

TextDecoder::~TextDecoder() = default;

void TextDecoder::Feed(const char* bytes, size_t count, std::u16string* out) {
  State& s = *state_;
  size_t i = 0;
  // A carried sequence takes the new bytes one at a time until it ends.
  while (s.carryLength > 0 && i < count) {
    s.carry[s.carryLength++] = bytes[i++];
    size_t taken = s.Decode(s.carry, s.carryLength, out);
    s.carryLength -= taken;
    std::memmove(s.carry, s.carry + taken, s.carryLength);
  }
  if (s.carryLength > 0) return;
  size_t taken = s.Decode(bytes + i, count - i, out);
  s.carryLength = count - i - taken;
  if (s.carryLength > 0) std::memcpy(s.carry, bytes + i + taken, s.carryLength);
}

void TextDecoder::Finish(std::u16string* out) {
  if (state_->carryLength > 0) out->push_back(0xFFFD);
  state_->carryLength = 0;
}

struct TextEncoder::State {
  explicit State(CodePage page)
      : converter(page == CodePage::kAnsi ? OpenAnsi(false) : kNoConverter),
        ansi(page == CodePage::kAnsi) {}
  ~State() {
    if (converter != kNoConverter) iconv_close(converter);
  }
  void Encode(const XCHAR* units, size_t count, std::string* out) {
    if (ansi) {
      EncodeAnsi(converter, units, count, out);
    } else {
      EncodeUtf8(units, count, out);
    }
  }

  iconv_t converter;
  bool ansi;
  XCHAR high = 0;  // a high surrogate carried to the next chunk, or 0
};

TextEncoder::TextEncoder(CodePage page) : state_(new State(page)) {}

TextEncoder::~TextEncoder() = default;

void TextEncoder::Feed(const XCHAR* units, size_t count, std::string* out) {
  State& s = *state_;
  if (count == 0) return;
  size_t i = 0;
  if (s.high != 0) {
    XCHAR pair[2] = {s.high, LoadUnit(units)};
    i = IsLowSurrogate(pair[1]) ? 1 : 0;
    s.Encode(pair, i + 1, out);  // the pair, or the lone high surrogate
    s.high = 0;
  }
  size_t end = count;
  if (end > i && IsHighSurrogate(LoadUnit(units + end - 1))) s.high = LoadUnit(units + --end);
  s.Encode(units + i, end - i, out);
}

void TextEncoder::Finish(std::string* out) {
  State& s = *state_;
  if (s.high != 0) s.Encode(&s.high, 1, out);
  s.high = 0;
}

std::u16string DecodeText(CodePage page, const char* bytes, size_t count) {
  std::u16string text;
  TextDecoder decoder(page);
  decoder.Feed(bytes, count, &text);
  decoder.Finish(&text);
  return text;
}

std::string EncodeText(CodePage page, const XCHAR* units, size_t count) {
  std::string bytes;
  TextEncoder encoder(page);
  encoder.Feed(units, count, &bytes);
  encoder.Finish(&bytes);
  return bytes;
}

}  // namespace tabrow

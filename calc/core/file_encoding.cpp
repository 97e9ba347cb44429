#include "file_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "vbs/textcodec.h"

namespace zel {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The sample without a UTF-8 sequence that its end cuts short.
std::string_view WithoutCutEnd(std::string_view s) {
  for (size_t back = 1; back <= 4 && back <= s.size(); ++back) {
    const auto c = static_cast<unsigned char>(s[s.size() - back]);
    if (IsContinuation(char(c))) continue;
    const size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    if (len > back) s.remove_suffix(back);
    break;
  }
  return s;
}

// The sample without the continuation bytes of a sequence begun before it.
std::string_view WithoutCutStart(std::string_view s) {
  size_t i = 0;
  while (i < 3 && i < s.size() && IsContinuation(s[i])) ++i;
  return s.substr(i);
}

bool ReadsAsCp932(std::string_view s, bool ends) {
  Cp932ToUtf8 conv;
  std::string out;
  return conv.Convert(s, ends, out);
}

}  // namespace

TextEncoding DetectEncoding(std::string_view head, std::string_view tail) {
  if (const int mark = vbs::Utf16MarkOf(head)) return mark == 2 ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
  // Text in UTF-16 has a NUL in every character below U+0100 (line ends
  // included), on the high side of the code unit; other text has none.
  size_t evenNul = 0, oddNul = 0;
  for (size_t i = 0; i < head.size(); ++i)
    if (head[i] == '\0') ++(i % 2 ? oddNul : evenNul);
  if (oddNul > 2 * evenNul) return TextEncoding::Utf16LE;
  if (evenNul > 2 * oddNul) return TextEncoding::Utf16BE;

  const bool whole = tail.empty();
  const std::string_view headText = whole ? head : WithoutCutEnd(head);
  const std::string_view tailText = WithoutCutStart(tail);
  if (vbs::IsValidUtf8(headText) && vbs::IsValidUtf8(tailText)) return TextEncoding::Utf8;
  // The tail may begin on the second byte of a character: one of the two
  // alignments is the file's own.
  const bool tailCp932 =
      whole || ReadsAsCp932(tail, true) || ReadsAsCp932(tail.substr(1), true);
  if (tailCp932 && ReadsAsCp932(head, whole)) return TextEncoding::Cp932;
  return TextEncoding::Utf8;
}

std::optional<std::string> EncodeText(std::u16string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return vbs::Utf16ToUtf8(text);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      const bool big = encoding == TextEncoding::Utf16BE;
      std::string out;
      out.reserve(text.size() * 2);
      for (char16_t c : text) {
        const char hi = char(c >> 8), lo = char(c & 0xFF);
        out += big ? hi : lo;
        out += big ? lo : hi;
      }
      return out;
    }
    case TextEncoding::Cp932:
      break;
  }
  iconv_t cd = iconv_open("CP932", "UTF-16LE");
  if (cd == kNoConverter) return std::nullopt;
  std::string in = *EncodeText(text, TextEncoding::Utf16LE);
  std::vector<char> out(text.size() * 2 + 16);
  char* ip = in.data();
  size_t inLeft = in.size();
  char* op = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &ip, &inLeft, &op, &outLeft);
  iconv_close(cd);
  if (rc == size_t(-1) || inLeft != 0) return std::nullopt;
  return std::string(out.data(), out.size() - outLeft);
}

Cp932ToUtf8::Cp932ToUtf8() : cd_(iconv_open("UTF-8", "CP932")) {}

Cp932ToUtf8::~Cp932ToUtf8() {
  if (cd_ != kNoConverter) iconv_close(static_cast<iconv_t>(cd_));
}

bool Cp932ToUtf8::Convert(std::string_view piece, bool last, std::string& out) {
  if (cd_ == kNoConverter) return false;
  std::string in = carry_;
  in.append(piece);
  carry_.clear();
  char* ip = in.data();
  size_t inLeft = in.size();
  char buf[16 * 1024];
  while (inLeft > 0) {
    char* op = buf;
    size_t outLeft = sizeof buf;
    const size_t rc = iconv(static_cast<iconv_t>(cd_), &ip, &inLeft, &op, &outLeft);
    out.append(buf, sizeof buf - outLeft);
    if (rc != size_t(-1)) continue;
    if (errno == E2BIG) continue;
    if (errno == EINVAL && !last) {
      // A character cut by the end of the piece: the next piece completes it.
      carry_.assign(ip, inLeft);
      return true;
    }
    return false;
  }
  return true;
}

}  // namespace zel

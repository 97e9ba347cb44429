#pragma once
// The encoding an existing text file is written in, told from its first and
// last bytes only (a file may be gigabytes long, or never end), and text
// turned into that encoding. Qt-free.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

enum class TextEncoding { Utf8, Cp932, Utf16LE, Utf16BE };

// How much of a file's start, and of its end, is looked at.
inline constexpr size_t kEncodingSampleBytes = 64 * 1024;

// `head`: the file's first bytes (at most kEncodingSampleBytes); `tail`: its
// last bytes, empty when `head` is the whole file. UTF-16 is told by its
// byte-order mark or, without one, by NUL bytes falling on one side of the
// code units; then UTF-8 when both samples are valid UTF-8, CP932 when they
// read as CP932, and UTF-8 for bytes of no known encoding.
TextEncoding DetectEncoding(std::string_view head, std::string_view tail);

// `text` in `encoding`, without a byte-order mark; nullopt when CP932 cannot
// hold one of its characters.
std::optional<std::string> EncodeText(std::u16string_view text, TextEncoding encoding);

// CP932 bytes to UTF-8, piece by piece: a character cut between two pieces
// is carried over to the next.
class Cp932ToUtf8 {
 public:
  Cp932ToUtf8();
  ~Cp932ToUtf8();
  Cp932ToUtf8(const Cp932ToUtf8&) = delete;
  Cp932ToUtf8& operator=(const Cp932ToUtf8&) = delete;
  // Appends the UTF-8 of `piece` to `out`; `last` says no piece follows.
  // false when the bytes are not CP932 (or end inside a character).
  bool Convert(std::string_view piece, bool last, std::string& out);

 private:
  void* cd_;
  std::string carry_;
};

}  // namespace zel

#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vbs {

// Library and data files come as UTF-8 (with or without byte-order mark),
// as UTF-16 with a byte-order mark (as Windows editors save "Unicode"), or,
// for older Japanese files, as CP932. A UTF-16 mark decides; otherwise bytes
// that are valid UTF-8 are read as UTF-8 and anything else as CP932.
// nullopt when nothing fits (UTF-16 of an odd byte count among them).
std::optional<std::u16string> DecodeScriptText(std::string_view bytes);

// The fewest UTF-16 code units DecodeScriptText can make of the bytes seen
// so far, counted as they arrive: a reader can give up on text that is sure
// to be too long before it has read all of it.
class DecodedLengthBound {
 public:
  void Add(std::string_view bytes);
  size_t AtLeast() const;

 private:
  size_t utf8_ = 0;     // code units if the bytes are UTF-8
  size_t cp932_ = 0;    // characters if they are CP932
  bool trail_ = false;  // the next byte ends a CP932 pair
};

// The byte-order mark of UTF-16 at the start of `bytes`: 1 little-endian,
// 2 big-endian, 0 none.
int Utf16MarkOf(std::string_view bytes);
// UTF-16 code units from bytes in the given order; nullopt for an odd count.
std::optional<std::u16string> DecodeUtf16(std::string_view bytes, bool bigEndian);

bool IsValidUtf8(std::string_view bytes);
std::u16string Utf8ToUtf16(std::string_view utf8);    // assumes valid UTF-8
std::string Utf16ToUtf8(std::u16string_view utf16);   // lone surrogates become U+FFFD

}  // namespace vbs

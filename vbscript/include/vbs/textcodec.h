#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vbs {

// Library and data files come as UTF-8 (with or without byte-order mark) or,
// for older Japanese files, as CP932. Bytes that are valid UTF-8 are read as
// UTF-8; anything else is read as CP932. nullopt when neither fits.
std::optional<std::u16string> DecodeScriptText(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);
std::u16string Utf8ToUtf16(std::string_view utf8);    // assumes valid UTF-8
std::string Utf16ToUtf8(std::u16string_view utf16);   // lone surrogates become U+FFFD

}  // namespace vbs

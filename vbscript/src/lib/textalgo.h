#pragma once
// String algorithms behind the script's string functions, free of Variant so
// they can be tested directly. Positions are 1-based as scripts see them;
// 0 means "not found".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vbs::lib {

// vbBinaryCompare compares UTF-16 code units; vbTextCompare ignores case.
enum class Compare { Binary = 0, Text = 1 };

char16_t FoldCase(char16_t c);      // lower-case form used for text comparison
char16_t ToUpperChar(char16_t c);
char16_t ToLowerChar(char16_t c);
std::u16string ToUpper(std::u16string_view s);
std::u16string ToLower(std::u16string_view s);

int StrCompare(std::u16string_view a, std::u16string_view b, Compare cmp);   // -1, 0, 1

// InStr: first occurrence of `find` at or after `start` (1-based).
int64_t InStr(int64_t start, std::u16string_view s, std::u16string_view find, Compare cmp);
// InStrRev: last occurrence that ends at or before `start`; start -1 = end.
int64_t InStrRev(std::u16string_view s, std::u16string_view find, int64_t start, Compare cmp);

// Replace returns the text from `start` on, with at most `count` replacements
// (-1 = all), as the script function does.
std::u16string ReplaceText(std::u16string_view s, std::u16string_view find, std::u16string_view with,
                           int64_t start, int64_t count, Compare cmp);

std::vector<std::u16string> SplitText(std::u16string_view s, std::u16string_view delim, int64_t count,
                                      Compare cmp);

std::vector<std::u16string> FilterText(const std::vector<std::u16string>& items, std::u16string_view value,
                                       bool include, Compare cmp);

std::u16string Escape(std::u16string_view s);
std::u16string Unescape(std::u16string_view s);

// Hex/Oct of an integer shown in `bits` bits: negatives as two's complement.
std::u16string ToHex(int64_t v, int bits);
std::u16string ToOct(int64_t v, int bits);

std::u16string Trim(std::u16string_view s, bool left, bool right);
std::u16string Reverse(std::u16string_view s);

}  // namespace vbs::lib

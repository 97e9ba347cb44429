#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace zel {

// The number at the start of a text, the way the converters read typed values
// and stored settings: blanks, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits with at most one "." (never a locale
// separator), and an optional exponent "E"/"e" with its own sign. Reading stops
// at the first character that does not fit; no number at all gives 0.
// "&H" and "&O" read the rest as a hexadecimal or octal integer; like the
// script language's literals, up to 4 digits' worth (16 bits) is a signed
// 16-bit value and up to 32 bits a signed 32-bit one, so "&HFFFF" is -1.
// A decimal number beyond the double range gives an infinity.
double LeadingNumber(std::string_view text);

// Rounds to the nearest integer, ties to the even one, and gives nullopt when
// the result does not fit a signed 16-bit integer (or v is not a number).
std::optional<int16_t> RoundToInt16(double v);

// A stored text read as a 16-bit integer: LeadingNumber, then RoundToInt16.
std::optional<int16_t> ReadInt16Text(std::string_view text);

}  // namespace zel

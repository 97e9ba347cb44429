// String functions.
#include <algorithm>

#include "lib/bind.h"

namespace vbs::lib {

namespace {

// Windows-1252 for 0x80..0x9F: what Chr and Asc use in the en-US locale.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToChar(int code) {
  if (code >= 0x80 && code < 0xA0) return kCp1252High[code - 0x80];
  return static_cast<char16_t>(code);
}

int CharToAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return c;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return 0x80 + i;
  return '?';
}

// Functions returning Null for a Null text argument share this prologue.
#define NULL_IN_NULL_OUT(i) \
  if (IsNullArg(args, i)) return Variant::Null()

Variant FnLen(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const TextArg s(ctx, args[0]);
  return Variant::FromLong(static_cast<int32_t>(s.size()));
}

// ---- byte strings ----------------------------------------------------------
// A text seen as bytes: every code unit is two bytes, low byte first; a byte
// string of odd length (ChrB, MidB, ...) ends in half a unit.
class ByteArg {
 public:
  ByteArg(Context& ctx, const Variant& v)
      : text_(ctx, v), size_(text_.size() * 2 - (v.IsString() && v.string()->oddByte() ? 1 : 0)) {}
  size_t size() const { return size_; }
  unsigned operator[](size_t k) const { return (unsigned(text_[k / 2]) >> (8 * (k & 1))) & 0xFFu; }

 private:
  TextArg text_;
  size_t size_;
};

// The bytes [from, from + n) of `src` as a byte string.
Variant Bytes(const ByteArg& src, size_t from, size_t n) {
  String* s = String::MakeUninit((n + 1) / 2);
  for (size_t i = 0; i < s->size(); ++i) {
    const unsigned lo = src[from + 2 * i];
    const unsigned hi = 2 * i + 1 < n ? src[from + 2 * i + 1] : 0;
    s->data()[i] = static_cast<char16_t>(lo | (hi << 8));
  }
  s->SetOddByte(n % 2 != 0);
  return Variant::FromString(s);
}

Variant FnLenB(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Variant::FromLong(static_cast<int32_t>(ByteArg(ctx, args[0]).size()));
}

int32_t NonNegative(Context& ctx, const Variant& v) {
  const int32_t n = Long(ctx, v);
  if (n < 0) Raise(kErrInvalidCall);
  return n;
}

Variant FnLeft(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const TextArg s(ctx, args[0]);
  const size_t n = static_cast<size_t>(NonNegative(ctx, args[1]));
  return Text(s.view().substr(0, std::min(n, s.size())));
}

Variant FnRight(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const TextArg s(ctx, args[0]);
  const size_t n = std::min(static_cast<size_t>(NonNegative(ctx, args[1])), s.size());
  return Text(s.view().substr(s.size() - n));
}

Variant FnMid(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const TextArg s(ctx, args[0]);
  const int32_t start = Long(ctx, args[1]);
  if (start < 1) Raise(kErrInvalidCall);
  size_t len = s.size();
  if (Has(args, 2)) len = static_cast<size_t>(NonNegative(ctx, args[2]));
  if (static_cast<size_t>(start) > s.size()) return Text(u"");
  return Text(s.view().substr(static_cast<size_t>(start - 1), len));
}

Variant FnLCase(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(ToLower(TextArg(ctx, args[0])));
}
Variant FnUCase(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(ToUpper(TextArg(ctx, args[0])));
}
Variant FnTrim(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(Trim(TextArg(ctx, args[0]), true, true));
}
Variant FnLTrim(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(Trim(TextArg(ctx, args[0]), true, false));
}
Variant FnRTrim(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(Trim(TextArg(ctx, args[0]), false, true));
}

Variant FnSpace(Context& ctx, Args& args) {
  const int32_t n = NonNegative(ctx, args[0]);
  if (static_cast<size_t>(n) > String::kMaxLength) Raise(kErrOutOfMemory);
  return Text(std::u16string(static_cast<size_t>(n), u' '));
}

Variant FnString(Context& ctx, Args& args) {
  if (IsNullArg(args, 0) || IsNullArg(args, 1)) return Variant::Null();
  const int32_t n = NonNegative(ctx, args[0]);
  if (static_cast<size_t>(n) > String::kMaxLength) Raise(kErrOutOfMemory);
  const Variant c = Plain(ctx, args[1]);
  char16_t ch;
  if (c.IsString()) {
    if (c.str().empty()) Raise(kErrInvalidCall);
    ch = c.str()[0];
  } else {
    int32_t code = ToLong(c);
    code %= 256;
    if (code < 0) code += 256;
    ch = AnsiToChar(code);
  }
  return Text(std::u16string(static_cast<size_t>(n), ch));
}

Variant FnStrReverse(Context& ctx, Args& args) { return Text(Reverse(TextArg(ctx, args[0]))); }

Variant FnAsc(Context& ctx, Args& args) {
  const TextArg s(ctx, args[0]);
  if (s.empty()) Raise(kErrInvalidCall);
  return Variant::FromInteger(static_cast<int16_t>(CharToAnsi(s[0])));
}
Variant FnAscW(Context& ctx, Args& args) {
  const TextArg s(ctx, args[0]);
  if (s.empty()) Raise(kErrInvalidCall);
  return Variant::FromInteger(static_cast<int16_t>(s[0]));
}
Variant FnAscB(Context& ctx, Args& args) {
  const ByteArg s(ctx, args[0]);
  if (s.size() == 0) Raise(kErrInvalidCall);
  return Variant::FromInteger(static_cast<int16_t>(s[0]));
}

Variant FnChr(Context& ctx, Args& args) {
  const int32_t n = Long(ctx, args[0]);
  if (n < 0 || n > 255) Raise(kErrInvalidCall);
  return Text(std::u16string(1, AnsiToChar(n)));
}
Variant FnChrW(Context& ctx, Args& args) {
  const int32_t n = Long(ctx, args[0]);
  if (n < -32768 || n > 65535) Raise(kErrInvalidCall);
  return Text(std::u16string(1, static_cast<char16_t>(n & 0xFFFF)));
}
Variant FnChrB(Context& ctx, Args& args) {
  const int32_t n = Long(ctx, args[0]);
  if (n < 0 || n > 255) Raise(kErrInvalidCall);
  String* s = String::Make(std::u16string(1, static_cast<char16_t>(n)));
  s->SetOddByte(true);
  return Variant::FromString(s);
}

Variant FnLeftB(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const ByteArg s(ctx, args[0]);
  const size_t n = static_cast<size_t>(NonNegative(ctx, args[1]));
  return Bytes(s, 0, std::min(n, s.size()));
}

Variant FnRightB(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const ByteArg s(ctx, args[0]);
  const size_t n = std::min(static_cast<size_t>(NonNegative(ctx, args[1])), s.size());
  return Bytes(s, s.size() - n, n);
}

Variant FnMidB(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  const ByteArg s(ctx, args[0]);
  const int32_t start = Long(ctx, args[1]);
  if (start < 1) Raise(kErrInvalidCall);
  size_t len = s.size();
  if (Has(args, 2)) len = static_cast<size_t>(NonNegative(ctx, args[2]));
  const size_t from = static_cast<size_t>(start - 1);
  if (from >= s.size()) return Bytes(s, 0, 0);
  return Bytes(s, from, std::min(len, s.size() - from));
}

// InStr([start,] string1, string2[, compare]) and InStrB: with one or two
// arguments there is no start; a compare argument requires the start.
struct InStrArgs {
  int first = 0;         // index of string1
  int64_t start = 1;
  Compare cmp = Compare::Binary;
  bool null = false;     // string1 or string2 is Null
};
InStrArgs ReadInStrArgs(Context& ctx, Args& args) {
  InStrArgs in;
  if (args.size() >= 3) {
    if (IsNullArg(args, 0)) Raise(kErrInvalidNull);
    in.start = Long(ctx, args[0]);
    if (in.start < 1) Raise(kErrInvalidCall);
    in.first = 1;
  }
  if (args.size() >= 4) in.cmp = OptCompare(ctx, args, 3);
  in.null = IsNullArg(args, in.first) || IsNullArg(args, in.first + 1);
  return in;
}

// InStrB([start,] string1, string2[, compare]): byte positions; bytes are
// always compared as they are.
Variant FnInStrB(Context& ctx, Args& args) {
  const InStrArgs in = ReadInStrArgs(ctx, args);
  if (in.null) return Variant::Null();
  const int first = in.first;
  const int64_t start = in.start;
  const ByteArg s(ctx, args[first]);
  const ByteArg f(ctx, args[first + 1]);
  if (s.size() == 0 || start > static_cast<int64_t>(s.size())) return Variant::FromLong(0);
  if (f.size() == 0) return Variant::FromLong(static_cast<int32_t>(start));
  for (size_t i = static_cast<size_t>(start - 1); i + f.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < f.size() && s[i + k] == f[k]) ++k;
    if (k == f.size()) return Variant::FromLong(static_cast<int32_t>(i + 1));
  }
  return Variant::FromLong(0);
}

Variant FnInStr(Context& ctx, Args& args) {
  const InStrArgs in = ReadInStrArgs(ctx, args);
  if (in.null) return Variant::Null();
  const TextArg s(ctx, args[in.first]);
  const TextArg f(ctx, args[in.first + 1]);
  return Variant::FromLong(static_cast<int32_t>(InStr(in.start, s, f, in.cmp)));
}

Variant FnInStrRev(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  if (IsNullArg(args, 1)) Raise(kErrInvalidNull);  // unlike InStr, a Null to find raises
  const TextArg s(ctx, args[0]);
  const TextArg f(ctx, args[1]);
  const int32_t start = OptLong(ctx, args, 2, -1);
  if (start == 0 || start < -1) Raise(kErrInvalidCall);
  const Compare cmp = OptCompare(ctx, args, 3);
  return Variant::FromLong(static_cast<int32_t>(InStrRev(s, f, start, cmp)));
}

Variant FnStrComp(Context& ctx, Args& args) {
  const Compare cmp = OptCompare(ctx, args, 2);
  if (IsNullArg(args, 0) || IsNullArg(args, 1)) return Variant::Null();
  return Variant::FromInteger(static_cast<int16_t>(StrCompare(TextArg(ctx, args[0]), TextArg(ctx, args[1]), cmp)));
}

Variant FnReplace(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  const TextArg s(ctx, args[0]);
  const TextArg find(ctx, args[1]);
  const TextArg with(ctx, args[2]);
  const int32_t start = OptLong(ctx, args, 3, 1);
  if (start < 1) Raise(kErrInvalidCall);
  const int32_t count = OptLong(ctx, args, 4, -1);
  if (count < -1) Raise(kErrInvalidCall);
  const Compare cmp = OptCompare(ctx, args, 5);
  // Refuse results past the longest string before building them.
  if (find.size() < with.size() && !find.empty()) {
    const int64_t hits = count >= 0 ? count : static_cast<int64_t>(s.size() / find.size());
    auto grows = [&](int64_t n) {
      return static_cast<double>(s.size()) + static_cast<double>(n) * static_cast<double>(with.size() - find.size()) >
             static_cast<double>(String::kMaxLength);
    };
    if (grows(hits)) {
      int64_t actual = 0;
      for (int64_t p = InStr(start, s, find, cmp); p > 0 && (count < 0 || actual < count);
           p = InStr(p + static_cast<int64_t>(find.size()), s, find, cmp))
        ++actual;
      if (grows(actual)) Raise(kErrOutOfMemory);
    }
  }
  return Text(ReplaceText(s, find, with, start, count, cmp));
}

Variant FnSplit(Context& ctx, Args& args) {
  const TextArg s(ctx, args[0]);
  const std::u16string delim = OptStr(ctx, args, 1, u" ");
  const int32_t count = OptLong(ctx, args, 2, -1);
  if (count < -1) Raise(kErrInvalidCall);
  return StringArray(SplitText(s, delim, count, OptCompare(ctx, args, 3)));
}

Variant FnJoin(Context& ctx, Args& args) {
  Variant holder;
  const Array& a = ArrayArg(ctx, args[0], holder);
  const std::u16string delim = OptStr(ctx, args, 1, u" ");
  std::u16string out;
  for (size_t i = 0; i < a.Count(); ++i) {
    if (i) out += delim;
    const Variant& e = a.Data()[i];
    if (e.IsNull()) Raise(kErrTypeMismatch);
    out += Str(ctx, e);
    if (out.size() > String::kMaxLength) Raise(kErrOutOfMemory);
  }
  return Text(out);
}

Variant FnFilter(Context& ctx, Args& args) {
  Variant holder;
  const Array& a = ArrayArg(ctx, args[0], holder);
  if (IsNullArg(args, 1)) Raise(kErrInvalidNull);
  const TextArg value(ctx, args[1]);
  const bool include = Has(args, 2) ? Bool(ctx, args[2]) : true;
  std::vector<std::u16string> items;
  items.reserve(a.Count());
  for (size_t i = 0; i < a.Count(); ++i) {
    if (a.Data()[i].IsNull()) Raise(kErrTypeMismatch);
    items.push_back(Str(ctx, a.Data()[i]));
  }
  return StringArray(FilterText(items, value, include, OptCompare(ctx, args, 3)));
}

Variant FnEscape(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(Escape(TextArg(ctx, args[0])));
}
Variant FnUnescape(Context& ctx, Args& args) {
  NULL_IN_NULL_OUT(0);
  return Text(Unescape(TextArg(ctx, args[0])));
}

#undef NULL_IN_NULL_OUT

const BuiltinDef kStringBuiltins[] = {
    {"Len", 1, 1, FnLen},           {"LenB", 1, 1, FnLenB},         {"Left", 2, 2, FnLeft},
    {"Right", 2, 2, FnRight},       {"Mid", 2, 3, FnMid},           {"LCase", 1, 1, FnLCase},
    {"UCase", 1, 1, FnUCase},       {"Trim", 1, 1, FnTrim},         {"LTrim", 1, 1, FnLTrim},
    {"RTrim", 1, 1, FnRTrim},       {"Space", 1, 1, FnSpace},       {"String", 2, 2, FnString},
    {"StrReverse", 1, 1, FnStrReverse}, {"Asc", 1, 1, FnAsc},       {"AscW", 1, 1, FnAscW},
    {"AscB", 1, 1, FnAscB},         {"Chr", 1, 1, FnChr},           {"ChrW", 1, 1, FnChrW},
    {"ChrB", 1, 1, FnChrB},         {"LeftB", 2, 2, FnLeftB},       {"RightB", 2, 2, FnRightB},
    {"MidB", 2, 3, FnMidB},         {"InStrB", 2, 4, FnInStrB},         {"InStr", 2, 4, FnInStr},       {"InStrRev", 2, 4, FnInStrRev},
    {"StrComp", 2, 3, FnStrComp},   {"Replace", 3, 6, FnReplace},   {"Split", 1, 4, FnSplit},
    {"Join", 1, 2, FnJoin},         {"Filter", 2, 4, FnFilter},     {"Escape", 1, 1, FnEscape},
    {"Unescape", 1, 1, FnUnescape},
};

}  // namespace

void RegisterStringBuiltins() { RegisterBuiltins(kStringBuiltins, std::size(kStringBuiltins)); }

}  // namespace vbs::lib

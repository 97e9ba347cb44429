#include "lib/regex.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "lib/textalgo.h"
#include "vbs/stop_request.h"

namespace vbs::lib {

namespace {

enum Op : uint8_t {
  kChar,      // x = code unit
  kAny,       // any code unit but "\n"
  kClass,     // x = class index
  kBol,
  kEol,
  kWordB,     // flag = negated (\B)
  kSave,      // x = capture slot
  kSplit,     // try x first, then y
  kJmp,       // x
  kBackref,   // x = group number
  kLook,      // lookahead: sub-program at pc+1 ending in kMatch; continue at x; flag = negative
  kLoopSet,   // x = register: remember the position at the start of an iteration
  kLoopCheck, // x = register: fail when the iteration consumed nothing
  kMatch,
};

constexpr size_t kMaxProgram = 1 << 20;
constexpr size_t kMaxResult = size_t(1) << 28;   // the longest script string
constexpr int kMaxNesting = 500;
// Steps between two looks at the stop request: often enough that Stop acts
// at once, rarely enough to cost nothing.
constexpr size_t kCheckEvery = 4096;
// The guard's table holds a bit per guarded split and subject position; a
// search that would need more goes unguarded (Stop still ends it).
constexpr size_t kMaxGuardBits = size_t(1) << 26;

// ---- parse tree --------------------------------------------------------------
struct Node {
  enum Kind { Empty, Char, Any, Class, Bol, Eol, WordB, NotWordB, Group, Look, Backref, Concat, Alt, Repeat } kind;
  int value = 0;          // Char: code unit; Class: index; Group: capture number (-1 none); Backref: group
  bool flag = false;      // Look: negative; Repeat: lazy
  int min = 0, max = -1;  // Repeat
  std::vector<std::unique_ptr<Node>> kids;
  explicit Node(Kind k) : kind(k) {}
};
using NodeP = std::unique_ptr<Node>;

NodeP Make(Node::Kind k, int value = 0) {
  auto n = std::make_unique<Node>(k);
  n->value = value;
  return n;
}

bool IsWordChar(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int HexDigit(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(std::u16string_view p, std::vector<Regex::CharClass>& classes)
      : p_(p), classes_(classes) {
    totalGroups_ = CountGroups(p);
  }

  NodeP ParseAll() {
    NodeP n = ParseAlt(0);
    if (i_ != p_.size()) throw RegexError{};   // a stray ")"
    return n;
  }
  int groups() const { return groups_; }

 private:
  bool More() const { return i_ < p_.size(); }
  char16_t Peek() const { return p_[i_]; }

  NodeP ParseAlt(int depth) {
    if (depth > kMaxNesting) throw RegexError{};
    NodeP first = ParseConcat(depth);
    if (!More() || Peek() != u'|') return first;
    auto alt = Make(Node::Alt);
    alt->kids.push_back(std::move(first));
    while (More() && Peek() == u'|') {
      ++i_;
      alt->kids.push_back(ParseConcat(depth));
    }
    return alt;
  }

  NodeP ParseConcat(int depth) {
    auto cat = Make(Node::Concat);
    while (More() && Peek() != u'|' && Peek() != u')') {
      NodeP atom = ParseAtom(depth);
      atom = ParseQuantifiers(std::move(atom));
      cat->kids.push_back(std::move(atom));
    }
    return cat;
  }

  // {n}, {n,}, {n,m}; false (and nothing consumed) when the brace is literal.
  bool ReadBraces(int& min, int& max) {
    size_t j = i_ + 1;
    auto number = [&](int& out) {
      const size_t s = j;
      long v = 0;
      while (j < p_.size() && p_[j] >= '0' && p_[j] <= '9') {
        v = std::min<long>(v * 10 + (p_[j] - '0'), 100000);
        ++j;
      }
      out = static_cast<int>(v);
      return j > s;
    };
    if (!number(min)) return false;
    max = min;
    if (j < p_.size() && p_[j] == u',') {
      ++j;
      if (!number(max)) max = -1;
    }
    if (j >= p_.size() || p_[j] != u'}') return false;
    if (max != -1 && max < min) throw RegexError{};
    i_ = j + 1;
    return true;
  }

  // One quantifier at most: "a**" is an error, found when the second "*"
  // is read as an atom.
  NodeP ParseQuantifiers(NodeP atom) {
    if (!More()) return atom;
    int min, max;
    const char16_t c = Peek();
    if (c == u'*') { min = 0; max = -1; ++i_; }
    else if (c == u'+') { min = 1; max = -1; ++i_; }
    else if (c == u'?') { min = 0; max = 1; ++i_; }
    else if (c == u'{') { if (!ReadBraces(min, max)) return atom; }
    else return atom;
    if (atom->kind == Node::Bol || atom->kind == Node::Eol || atom->kind == Node::WordB ||
        atom->kind == Node::NotWordB || atom->kind == Node::Look)
      throw RegexError{};   // nothing to repeat
    auto rep = Make(Node::Repeat);
    rep->min = min;
    rep->max = max;
    if (More() && Peek() == u'?') { rep->flag = true; ++i_; }
    rep->kids.push_back(std::move(atom));
    return rep;
  }

  NodeP ParseAtom(int depth) {
    const char16_t c = p_[i_++];
    switch (c) {
      case u'^': return Make(Node::Bol);
      case u'$': return Make(Node::Eol);
      case u'.': return Make(Node::Any);
      case u'*': case u'+': case u'?': throw RegexError{};
      case u'{': {
        int mn, mx;
        --i_;
        if (ReadBraces(mn, mx)) throw RegexError{};
        ++i_;
        return Make(Node::Char, c);
      }
      case u'[': return ParseClass();
      case u'(': {
        NodeP n;
        if (i_ + 1 < p_.size() && Peek() == u'?') {
          const char16_t k = p_[i_ + 1];
          i_ += 2;
          if (k == u':') {
            n = Make(Node::Group, -1);
          } else if (k == u'=' || k == u'!') {
            n = Make(Node::Look);
            n->flag = k == u'!';
          } else {
            throw RegexError{};
          }
        } else {
          n = Make(Node::Group, ++groups_);
        }
        n->kids.push_back(ParseAlt(depth + 1));
        if (!More() || Peek() != u')') throw RegexError{};
        ++i_;
        return n;
      }
      case u')': throw RegexError{};
      case u'\\': return ParseEscape();
      default: return Make(Node::Char, c);
    }
  }

  // Escapes shared by atoms and classes: the code unit, or -1 when not one of them.
  int SimpleEscape(char16_t c) {
    switch (c) {
      case u'n': return u'\n';
      case u'r': return u'\r';
      case u't': return u'\t';
      case u'f': return u'\f';
      case u'v': return u'\v';
      case u'0': return 0;
      case u'x':
        if (i_ + 1 < p_.size() && HexDigit(p_[i_]) >= 0 && HexDigit(p_[i_ + 1]) >= 0) {
          const int v = HexDigit(p_[i_]) * 16 + HexDigit(p_[i_ + 1]);
          i_ += 2;
          return v;
        }
        return u'x';
      case u'u':
        if (i_ + 3 < p_.size() && HexDigit(p_[i_]) >= 0 && HexDigit(p_[i_ + 1]) >= 0 &&
            HexDigit(p_[i_ + 2]) >= 0 && HexDigit(p_[i_ + 3]) >= 0) {
          int v = 0;
          for (int k = 0; k < 4; ++k) v = v * 16 + HexDigit(p_[i_ + k]);
          i_ += 4;
          return v;
        }
        return u'u';
      case u'c':
        if (More() && ((Peek() >= 'a' && Peek() <= 'z') || (Peek() >= 'A' && Peek() <= 'Z'))) return p_[i_++] % 32;
        return u'c';
      default: return -1;
    }
  }

  // \d \w \s and their negations as ranges.
  static bool ShorthandRanges(char16_t c, std::vector<Regex::ClassRange>& out, bool& negated) {
    negated = c == u'D' || c == u'W' || c == u'S';
    switch (c) {
      case u'd': case u'D': out = {{u'0', u'9'}}; return true;
      case u'w': case u'W': out = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}}; return true;
      case u's': case u'S': out = {{u'\t', u'\r'}, {u' ', u' '}}; return true;
      default: return false;
    }
  }

  static std::vector<Regex::ClassRange> Complement(std::vector<Regex::ClassRange> r) {
    std::sort(r.begin(), r.end(), [](auto a, auto b) { return a.lo < b.lo; });
    std::vector<Regex::ClassRange> out;
    int next = 0;
    for (const auto& x : r) {
      if (x.lo > next) out.push_back({static_cast<char16_t>(next), static_cast<char16_t>(x.lo - 1)});
      next = std::max<int>(next, x.hi + 1);
    }
    if (next <= 0xFFFF) out.push_back({static_cast<char16_t>(next), 0xFFFF});
    return out;
  }

  // Capturing groups of the whole pattern: \n is a back reference only
  // when the pattern has that many.
  static int CountGroups(std::u16string_view p) {
    int n = 0;
    bool inClass = false;
    for (size_t i = 0; i < p.size(); ++i) {
      const char16_t c = p[i];
      if (c == u'\\') ++i;
      else if (inClass) inClass = c != u']';
      else if (c == u'[') inClass = true;
      else if (c == u'(' && !(i + 1 < p.size() && p[i + 1] == u'?')) ++n;
    }
    return n;
  }

  // Octal escape after the backslash, first digit `c` already read: one to
  // three digits, the third only while the value stays below 256.
  int OctalEscape(char16_t c) {
    int v = c - u'0';
    for (int k = 0; k < 2 && More() && Peek() >= u'0' && Peek() <= u'7'; ++k) {
      const int next = v * 8 + (Peek() - u'0');
      if (next > 255) break;
      v = next;
      ++i_;
    }
    return v;
  }

  NodeP ParseEscape() {
    if (!More()) throw RegexError{};   // trailing backslash
    const char16_t c = p_[i_++];
    if (c == u'b') return Make(Node::WordB);
    if (c == u'B') return Make(Node::NotWordB);
    if (c >= u'1' && c <= u'9') {
      int n = c - u'0';
      const size_t at = i_;
      if (More() && Peek() >= u'0' && Peek() <= u'9') {
        n = n * 10 + (Peek() - u'0');
        ++i_;
      }
      if (n > totalGroups_ && n >= 10 && c - u'0' <= totalGroups_) {
        i_ = at;  // \12 with one group: group 1, then "2"
        n = c - u'0';
      }
      if (n <= totalGroups_) return Make(Node::Backref, n);
      i_ = at;
      if (c <= u'7') return Make(Node::Char, OctalEscape(c));
      return Make(Node::Char, c);  // \8 and \9 stand for themselves
    }
    if (c == u'0') return Make(Node::Char, OctalEscape(c));
    std::vector<Regex::ClassRange> ranges;
    bool neg;
    if (ShorthandRanges(c, ranges, neg)) {
      Regex::CharClass cls;
      cls.ranges = std::move(ranges);
      cls.negated = neg;
      classes_.push_back(std::move(cls));
      return Make(Node::Class, static_cast<int>(classes_.size() - 1));
    }
    const int simple = SimpleEscape(c);
    return Make(Node::Char, simple >= 0 ? simple : c);
  }

  // One class member: a code unit, or -1 after adding a shorthand's ranges.
  int ClassAtom(Regex::CharClass& cls) {
    const char16_t c = p_[i_++];
    if (c != u'\\') return c;
    if (!More()) throw RegexError{};
    const char16_t e = p_[i_++];
    if (e == u'b') return u'\b';
    if (e >= u'0' && e <= u'7') return OctalEscape(e);
    std::vector<Regex::ClassRange> ranges;
    bool neg;
    if (ShorthandRanges(e, ranges, neg)) {
      if (neg) ranges = Complement(std::move(ranges));
      cls.ranges.insert(cls.ranges.end(), ranges.begin(), ranges.end());
      return -1;
    }
    const int simple = SimpleEscape(e);
    return simple >= 0 ? simple : e;
  }

  NodeP ParseClass() {
    Regex::CharClass cls;
    if (More() && Peek() == u'^') { cls.negated = true; ++i_; }
    while (true) {
      if (!More()) throw RegexError{};   // unterminated class
      if (Peek() == u']') { ++i_; break; }
      const int lo = ClassAtom(cls);
      if (lo < 0) continue;
      if (i_ + 1 < p_.size() && Peek() == u'-' && p_[i_ + 1] != u']') {
        ++i_;
        const int hi = ClassAtom(cls);
        if (hi < 0) {   // [a-\d]: the dash is literal
          cls.ranges.push_back({static_cast<char16_t>(lo), static_cast<char16_t>(lo)});
          cls.ranges.push_back({u'-', u'-'});
          continue;
        }
        if (hi < lo) throw RegexError{};
        cls.ranges.push_back({static_cast<char16_t>(lo), static_cast<char16_t>(hi)});
      } else {
        cls.ranges.push_back({static_cast<char16_t>(lo), static_cast<char16_t>(lo)});
      }
    }
    classes_.push_back(std::move(cls));
    return Make(Node::Class, static_cast<int>(classes_.size() - 1));
  }

  std::u16string_view p_;
  size_t i_ = 0;
  int groups_ = 0;
  int totalGroups_ = 0;
  std::vector<Regex::CharClass>& classes_;
};

// ---- code generation ---------------------------------------------------------
class Compiler {
 public:
  explicit Compiler(std::vector<Regex::Inst>& prog) : prog_(prog) {}
  int loops = 0;

  void Emit(const Node& n) {
    if (prog_.size() > kMaxProgram) throw RegexError{};
    switch (n.kind) {
      case Node::Empty: return;
      case Node::Char: Add(kChar, n.value); return;
      case Node::Any: Add(kAny); return;
      case Node::Class: Add(kClass, n.value); return;
      case Node::Bol: Add(kBol); return;
      case Node::Eol: Add(kEol); return;
      case Node::WordB: Add(kWordB); return;
      case Node::NotWordB: Add(kWordB, 0, 0, true); return;
      case Node::Backref: Add(kBackref, n.value); return;
      case Node::Concat:
        for (const auto& k : n.kids) Emit(*k);
        return;
      case Node::Group:
        if (n.value > 0) Add(kSave, n.value * 2);
        Emit(*n.kids[0]);
        if (n.value > 0) Add(kSave, n.value * 2 + 1);
        return;
      case Node::Look: {
        const size_t at = Add(kLook, 0, 0, n.flag);
        Emit(*n.kids[0]);
        Add(kMatch);
        prog_[at].x = static_cast<int32_t>(prog_.size());
        return;
      }
      case Node::Alt: {
        std::vector<size_t> jumps;
        for (size_t k = 0; k < n.kids.size(); ++k) {
          size_t split = 0;
          if (k + 1 < n.kids.size()) split = Add(kSplit);
          if (k + 1 < n.kids.size()) prog_[split].x = static_cast<int32_t>(prog_.size());
          Emit(*n.kids[k]);
          if (k + 1 < n.kids.size()) {
            jumps.push_back(Add(kJmp));
            prog_[split].y = static_cast<int32_t>(prog_.size());
          }
        }
        for (size_t j : jumps) prog_[j].x = static_cast<int32_t>(prog_.size());
        return;
      }
      case Node::Repeat: EmitRepeat(n); return;
    }
  }

 private:
  size_t Add(uint8_t op, int32_t x = 0, int32_t y = 0, bool flag = false) {
    prog_.push_back(Regex::Inst{op, flag, x, y});
    return prog_.size() - 1;
  }

  // Points a split at body/exit in the order greedy or lazy prefers.
  void SetSplit(size_t split, int32_t body, int32_t exit, bool lazy) {
    prog_[split].x = lazy ? exit : body;
    prog_[split].y = lazy ? body : exit;
  }

  void EmitRepeat(const Node& n) {
    const Node& body = *n.kids[0];
    for (int k = 0; k < n.min; ++k) Emit(body);
    if (n.max == -1) {
      const int reg = loops++;
      const size_t split = Add(kSplit);
      const auto bodyStart = static_cast<int32_t>(prog_.size());
      Add(kLoopSet, reg);
      Emit(body);
      Add(kLoopCheck, reg);
      Add(kJmp, static_cast<int32_t>(split));
      SetSplit(split, bodyStart, static_cast<int32_t>(prog_.size()), n.flag);
      return;
    }
    std::vector<size_t> splits;
    for (int k = n.min; k < n.max; ++k) {
      splits.push_back(Add(kSplit));
      const auto bodyStart = static_cast<int32_t>(prog_.size());
      prog_[splits.back()].x = bodyStart;
      Emit(body);
    }
    const auto end = static_cast<int32_t>(prog_.size());
    for (size_t s : splits) SetSplit(s, prog_[s].x, end, n.flag);
  }

  std::vector<Regex::Inst>& prog_;
};

// The first atom every match must start with, when the pattern makes that
// plain: a Char or Class node, else nullptr.
const Node* LeadingAtom(const Node& n) {
  switch (n.kind) {
    case Node::Char: case Node::Class: return &n;
    case Node::Concat: return n.kids.empty() ? nullptr : LeadingAtom(*n.kids[0]);
    case Node::Group: return LeadingAtom(*n.kids[0]);
    case Node::Repeat: return n.min > 0 ? LeadingAtom(*n.kids[0]) : nullptr;
    default: return nullptr;
  }
}

}  // namespace

Regex::Regex(std::u16string_view pattern, bool ignoreCase, bool multiline)
    : ignoreCase_(ignoreCase), multiline_(multiline) {
  Parser parser(pattern, classes_);
  NodeP tree = parser.ParseAll();
  groups_ = parser.groups();
  Compiler c(prog_);
  c.Emit(*tree);
  prog_.push_back(Inst{kMatch, false, 0, 0});
  loopRegs_ = c.loops;
  PlanGuard();
  if (const Node* lead = LeadingAtom(*tree)) {
    if (lead->kind == Node::Class) firstClass_ = lead->value;
    else if (!ignoreCase) firstChar_ = lead->value;
  }
}

// Which splits the guard may skip. A failed try from a split at a position
// fails again from there when the outcome depends on nothing else:
// - back references make it depend on captured text: no guard at all;
// - a lookahead's body runs apart and stops at its first success, so its
//   splits are not known to have failed: they are left out;
// - an unbounded loop's empty-iteration check depends on where the current
//   iteration began: a split inside such a loop is guarded only while every
//   enclosing iteration has consumed text (checked when the split is met).
void Regex::PlanGuard() {
  const auto size = static_cast<int32_t>(prog_.size());
  guardIndex_.assign(prog_.size(), -1);
  for (const Inst& in : prog_)
    if (in.op == kBackref) return;
  std::vector<bool> inLook(prog_.size(), false);
  struct Range { int32_t from, to, reg; };
  std::vector<Range> loopBodies;
  for (int32_t pc = 0; pc < size; ++pc) {
    const Inst& in = prog_[static_cast<size_t>(pc)];
    if (in.op == kLook) {
      for (int32_t k = pc + 1; k < in.x; ++k) inLook[static_cast<size_t>(k)] = true;
    } else if (in.op == kLoopSet) {
      int32_t end = pc + 1;
      while (!(prog_[static_cast<size_t>(end)].op == kLoopCheck && prog_[static_cast<size_t>(end)].x == in.x)) ++end;
      loopBodies.push_back({pc, end, in.x});
    }
  }
  for (int32_t pc = 0; pc < size; ++pc) {
    if (prog_[static_cast<size_t>(pc)].op != kSplit || inLook[static_cast<size_t>(pc)]) continue;
    guardIndex_[static_cast<size_t>(pc)] = guardSplits_++;
    std::vector<int32_t> open;
    for (const Range& r : loopBodies)
      if (r.from < pc && pc < r.to) open.push_back(r.reg);
    guardLoops_.push_back(std::move(open));
  }
}

void Regex::StartGuard(std::u16string_view text, State& st) const {
  const size_t bits = static_cast<size_t>(guardSplits_) * (text.size() + 1);
  if (st.guarded || guardSplits_ == 0 || bits > kMaxGuardBits) return;
  st.failed.assign((bits + 63) / 64, 0);
  st.guarded = true;
}

void Regex::Checkpoint(std::u16string_view text, State& st) const {
  CheckStopRequest();
  if (st.steps >= guardAfter_) StartGuard(text, st);
}

bool Regex::SeenToFail(int pc, size_t pos, State& st) const {
  const int32_t idx = guardIndex_[static_cast<size_t>(pc)];
  if (idx < 0) return false;
  for (int32_t reg : guardLoops_[static_cast<size_t>(idx)])
    if (st.loops[static_cast<size_t>(reg)] == static_cast<int64_t>(pos)) return false;
  const size_t bit = pos * static_cast<size_t>(guardSplits_) + static_cast<size_t>(idx);
  uint64_t& word = st.failed[bit / 64];
  const uint64_t mask = uint64_t(1) << (bit % 64);
  if (word & mask) return true;
  word |= mask;
  st.markedTo = std::max(st.markedTo, pos);
  return false;
}

// After a match the splits it passed through did not fail: the marks of
// this try (from its start to the furthest it marked) go.
void Regex::ForgetTry(size_t start, State& st) const {
  if (!st.guarded) return;
  const auto per = static_cast<size_t>(guardSplits_);
  const size_t from = start * per, to = (st.markedTo + 1) * per;   // bits [from, to)
  for (size_t bit = from; bit < to;) {
    if (bit % 64 == 0 && to - bit >= 64) {
      st.failed[bit / 64] = 0;
      bit += 64;
    } else {
      st.failed[bit / 64] &= ~(uint64_t(1) << (bit % 64));
      ++bit;
    }
  }
}

bool Regex::ClassHas(const CharClass& c, char16_t ch) const {
  auto in = [&](char16_t x) {
    for (const auto& r : c.ranges)
      if (x >= r.lo && x <= r.hi) return true;
    return false;
  };
  bool found = in(ch);
  if (!found && ignoreCase_) {
    const char16_t lo = ToLowerChar(ch), up = ToUpperChar(ch);
    found = (lo != ch && in(lo)) || (up != ch && in(up));
  }
  return found != c.negated;
}

bool Regex::Run(std::u16string_view text, int startPc, size_t startPos, State& st) const {
  std::vector<int64_t>& caps = st.caps;
  std::vector<int64_t>& loops = st.loops;
  std::vector<Entry>& stack = st.stack;
  // A nested run (lookahead) uses the stack above its caller's entries.
  const size_t base = stack.size();
  int pc = startPc;
  size_t pos = startPos;
  const size_t n = text.size();

  auto eq = [&](char16_t a, char16_t b) { return a == b || (ignoreCase_ && FoldCase(a) == FoldCase(b)); };
  auto lineBreak = [](char16_t c) { return c == u'\n' || c == u'\r'; };

  while (true) {
    bool ok = true;
    if (++st.steps % kCheckEvery == 0) Checkpoint(text, st);
    const Inst& in = prog_[static_cast<size_t>(pc)];
    switch (in.op) {
      case kChar:
        ok = pos < n && eq(text[pos], static_cast<char16_t>(in.x));
        if (ok) { ++pos; ++pc; }
        break;
      case kAny:
        ok = pos < n && text[pos] != u'\n';
        if (ok) { ++pos; ++pc; }
        break;
      case kClass:
        ok = pos < n && ClassHas(classes_[static_cast<size_t>(in.x)], text[pos]);
        if (ok) { ++pos; ++pc; }
        break;
      case kBol:
        ok = pos == 0 || (multiline_ && lineBreak(text[pos - 1]));
        if (ok) ++pc;
        break;
      case kEol:
        ok = pos == n || (multiline_ && lineBreak(text[pos]));
        if (ok) ++pc;
        break;
      case kWordB: {
        const bool before = pos > 0 && IsWordChar(text[pos - 1]);
        const bool after = pos < n && IsWordChar(text[pos]);
        ok = (before != after) != in.flag;
        if (ok) ++pc;
        break;
      }
      case kSave:
        stack.push_back({-1, in.x, caps[static_cast<size_t>(in.x)]});
        caps[static_cast<size_t>(in.x)] = static_cast<int64_t>(pos);
        ++pc;
        break;
      case kSplit:
        if (st.guarded && SeenToFail(pc, pos, st)) {
          ok = false;
          break;
        }
        stack.push_back({in.y, 0, static_cast<int64_t>(pos)});
        pc = in.x;
        break;
      case kJmp:
        pc = in.x;
        break;
      case kBackref: {
        const size_t g = static_cast<size_t>(in.x);
        if (g <= static_cast<size_t>(groups_) && caps[2 * g] >= 0 && caps[2 * g + 1] >= 0) {
          const auto s = static_cast<size_t>(caps[2 * g]);
          const auto len = static_cast<size_t>(caps[2 * g + 1]) - s;
          ok = pos + len <= n;
          for (size_t k = 0; ok && k < len; ++k) ok = eq(text[pos + k], text[s + k]);
          if (ok) pos += len;
        }
        if (ok) ++pc;
        break;
      }
      case kLook: {
        // Lookahead runs on its own and cannot be backtracked into; captures
        // it sets stay (and are undone if the outer match backtracks).
        const std::vector<int64_t> before = caps;
        const bool found = Run(text, pc + 1, pos, st);
        if (found == in.flag) {
          caps = before;
          ok = false;
        } else {
          if (in.flag) caps = before;
          for (size_t k = 0; k < caps.size(); ++k)
            if (caps[k] != before[k]) stack.push_back({-1, static_cast<int32_t>(k), before[k]});
          pc = in.x;
        }
        break;
      }
      case kLoopSet:
        stack.push_back({-2, in.x, loops[static_cast<size_t>(in.x)]});
        loops[static_cast<size_t>(in.x)] = static_cast<int64_t>(pos);
        ++pc;
        break;
      case kLoopCheck:
        ok = loops[static_cast<size_t>(in.x)] != static_cast<int64_t>(pos);
        if (ok) ++pc;
        break;
      case kMatch:
        stack.resize(base);
        caps[1] = static_cast<int64_t>(pos);
        return true;
    }
    if (ok) continue;
    // Backtrack to the latest branch, undoing register writes on the way.
    while (true) {
      if (stack.size() == base) return false;
      const Entry e = stack.back();
      stack.pop_back();
      if (e.pc == -1) caps[static_cast<size_t>(e.reg)] = e.value;
      else if (e.pc == -2) loops[static_cast<size_t>(e.reg)] = e.value;
      else {
        pc = e.pc;
        pos = static_cast<size_t>(e.value);
        break;
      }
    }
  }
}

bool Regex::MatchAt(std::u16string_view text, size_t start, State& st) const {
  st.caps.assign(static_cast<size_t>(2 * groups_ + 2), -1);
  st.loops.assign(static_cast<size_t>(loopRegs_), -1);
  st.stack.clear();
  st.markedTo = start;
  if (!Run(text, 0, start, st)) return false;
  st.caps[0] = static_cast<int64_t>(start);
  return true;
}

std::vector<RegexMatch> Regex::Find(std::u16string_view text, bool global) const {
  std::vector<RegexMatch> out;
  State st;
  if (guardAfter_ == 0) StartGuard(text, st);
  const std::vector<int64_t>& caps = st.caps;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t at = pos;
    bool found = false;
    for (; at <= text.size(); ++at) {
      if (firstChar_ >= 0) {
        const size_t next = text.find(static_cast<char16_t>(firstChar_), at);
        if (next == std::u16string_view::npos) break;
        at = next;
      } else if (firstClass_ >= 0) {
        const CharClass& fc = classes_[static_cast<size_t>(firstClass_)];
        while (at < text.size() && !ClassHas(fc, text[at])) ++at;
        if (at == text.size()) break;
      }
      if (MatchAt(text, at, st)) {
        ForgetTry(at, st);
        found = true;
        break;
      }
    }
    if (!found) break;
    RegexMatch m;
    m.index = static_cast<size_t>(caps[0]);
    m.length = static_cast<size_t>(caps[1] - caps[0]);
    m.value = std::u16string(text.substr(m.index, m.length));
    for (int g = 1; g <= groups_; ++g) {
      const int64_t s = caps[2 * static_cast<size_t>(g)], e = caps[2 * static_cast<size_t>(g) + 1];
      if (s >= 0 && e >= s) m.groups.emplace_back(std::u16string(text.substr(static_cast<size_t>(s), static_cast<size_t>(e - s))));
      else m.groups.emplace_back(std::nullopt);
    }
    const size_t end = m.index + m.length;
    const bool empty = m.length == 0;
    out.push_back(std::move(m));
    if (!global) break;
    pos = empty ? end + 1 : end;   // an empty match must not be found again at the same place
  }
  return out;
}

bool Regex::Test(std::u16string_view text) const { return !Find(text, false).empty(); }

std::u16string ExpandReplacement(std::u16string_view rep, const RegexMatch& m, std::u16string_view text) {
  std::u16string out;
  const size_t n = rep.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = rep[i];
    if (c != u'$' || i + 1 >= n) {
      out.push_back(c);
      continue;
    }
    const char16_t d = rep[i + 1];
    if (d == u'$') { out.push_back(u'$'); ++i; continue; }
    if (d == u'&') { out += m.value; ++i; continue; }
    if (d == u'`') { out += text.substr(0, m.index); ++i; continue; }
    if (d == u'\'') { out += text.substr(std::min(text.size(), m.index + m.length)); ++i; continue; }
    if (d >= u'0' && d <= u'9') {
      // Two digits when they name an existing group, else one.
      const size_t groups = m.groups.size();
      size_t num = d - u'0';
      size_t used = 1;
      if (i + 2 < n && rep[i + 2] >= u'0' && rep[i + 2] <= u'9') {
        const size_t two = num * 10 + (rep[i + 2] - u'0');
        if (two >= 1 && two <= groups) { num = two; used = 2; }
      }
      if (num >= 1 && num <= groups) {
        if (m.groups[num - 1]) out += *m.groups[num - 1];
        i += used;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

std::u16string Regex::Replace(std::u16string_view text, std::u16string_view replacement, bool global) const {
  const auto matches = Find(text, global);
  std::u16string out;
  size_t last = 0;
  for (const auto& m : matches) {
    out.append(text.substr(last, m.index - last));
    out += ExpandReplacement(replacement, m, text);
    if (out.size() > kMaxResult) throw std::length_error("replacement result too long");
    last = m.index + m.length;
  }
  out.append(text.substr(last));
  return out;
}

}  // namespace vbs::lib

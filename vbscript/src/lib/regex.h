#pragma once
// The script dialect of regular expressions (ECMAScript 3 style) over
// UTF-16 text. Offsets are in UTF-16 code units. The matcher backtracks
// with an explicit stack, so long subjects cannot exhaust the native stack.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vbs::lib {

struct RegexMatch {
  size_t index = 0;    // 0-based start
  size_t length = 0;
  std::u16string value;
  std::vector<std::optional<std::u16string>> groups;   // nullopt = group did not take part
};

struct RegexError {};

class Regex {
 public:
  // Throws RegexError when the pattern does not compile.
  Regex(std::u16string_view pattern, bool ignoreCase, bool multiline);

  // All matches (global) or the first one.
  std::vector<RegexMatch> Find(std::u16string_view text, bool global) const;
  bool Test(std::u16string_view text) const;
  std::u16string Replace(std::u16string_view text, std::u16string_view replacement, bool global) const;

  // After this many steps of one search the matcher stops trying again
  // what it already found to fail from the same place, which ends
  // exponential backtracking ("(a+)+b") without changing any result. Tests
  // set 0 to run every search guarded; SIZE_MAX turns the guard off.
  void SetGuardAfter(size_t steps) { guardAfter_ = steps; }

  struct Inst {
    uint8_t op;
    bool flag;       // negated class / negative lookahead / lazy
    int32_t x, y;
  };
  struct ClassRange {
    char16_t lo, hi;
  };
  struct CharClass {
    std::vector<ClassRange> ranges;
    bool negated = false;
  };

 private:
  // Backtrack entries: a branch to resume, or a register value to restore.
  struct Entry {
    int32_t pc;       // >= 0: branch target; -1: capture restore; -2: loop register restore
    int32_t reg;
    int64_t value;    // position for a branch, old value for a restore
  };
  struct State {
    std::vector<int64_t> caps, loops;
    std::vector<Entry> stack;
    size_t steps = 0;              // of the whole search, for the guard and the stop check
    std::vector<uint64_t> failed;  // guard: (guarded split, position) pairs known to fail
    bool guarded = false;
    size_t markedTo = 0;           // the furthest position the current try marked
  };
  bool MatchAt(std::u16string_view text, size_t start, State& st) const;
  bool Run(std::u16string_view text, int pc, size_t pos, State& st) const;
  bool ClassHas(const CharClass& c, char16_t ch) const;
  // Every kGuardCheck steps: the stop request, and whether to start the guard.
  void Checkpoint(std::u16string_view text, State& st) const;
  // True when the split at pc was tried from pos before and failed; marks it otherwise.
  bool SeenToFail(int pc, size_t pos, State& st) const;
  void PlanGuard();
  void StartGuard(std::u16string_view text, State& st) const;
  void ForgetTry(size_t start, State& st) const;

  std::vector<Inst> prog_;
  std::vector<CharClass> classes_;
  int groups_ = 0;
  int loopRegs_ = 0;
  bool ignoreCase_ = false;
  bool multiline_ = false;
  int firstChar_ = -1;    // a literal every match starts with, or -1
  int firstClass_ = -1;   // or a class every match starts with, or -1
  // The guard: an index per split it may skip (-1 for the others), and for
  // each such split the unbounded loops whose body holds it.
  std::vector<int32_t> guardIndex_;
  std::vector<std::vector<int32_t>> guardLoops_;
  int guardSplits_ = 0;
  size_t guardAfter_ = size_t(1) << 16;
};

// Expands $1..$99, $&, $`, $', $$ for one match.
std::u16string ExpandReplacement(std::u16string_view replacement, const RegexMatch& m,
                                 std::u16string_view text);

}  // namespace vbs::lib

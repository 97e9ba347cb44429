// The matcher's guard against exponential backtracking: it must end the
// classic catastrophic patterns and must never change what a search finds.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lib/regex.h"

using namespace vbs::lib;

namespace {

struct Case {
  const char16_t* pattern;
  const char16_t* text;
  bool ignoreCase = false;
  bool multiline = false;
};

// Everything a search reports, in one comparable text.
std::u16string Describe(const std::vector<RegexMatch>& ms) {
  std::u16string out;
  for (const auto& m : ms) {
    const std::string at = std::to_string(m.index);
    out += u"[" + std::u16string(at.begin(), at.end()) + u":" + m.value;
    for (const auto& g : m.groups) out += g ? u"|" + *g : u"|<unset>";
    out += u"]";
  }
  return out;
}

// The same search without the guard and with the guard from its first step.
void ExpectSameWithGuard(std::u16string_view pattern, std::u16string_view text, bool ignoreCase, bool multiline) {
  Regex plain(pattern, ignoreCase, multiline);
  Regex guarded(pattern, ignoreCase, multiline);
  plain.SetGuardAfter(SIZE_MAX);
  guarded.SetGuardAfter(0);
  for (bool global : {false, true})
    EXPECT_EQ(Describe(guarded.Find(text, global)), Describe(plain.Find(text, global)))
        << "pattern " << std::string(pattern.begin(), pattern.end()) << " on "
        << std::string(text.begin(), text.end()) << (global ? " (global)" : "");
}

}  // namespace

TEST(LibRegexGuard, GuardedSearchesFindWhatUnguardedOnesFind) {
  const Case cases[] = {
      {u"(\\w+)@(\\w+)\\.com", u"mail ann@example.com, bob@test.com"},
      {u"^\\w+$", u"ab\ncd", false, true},
      {u"^\\w+$", u"ab\ncd"},
      {u"HELLO", u"say hello", true},
      {u"a.*?b", u"aXbYb"},
      {u"\\d+(?=px)", u"10em 20px"},
      {u"\\bcat\\b", u"concat cat"},
      {u"x*", u"abc"},
      {u"(a|b)*", u"abab"},
      {u".*?$", u"abc\ndef"},
      {u"(a*)*b", u"aaab"},
      {u"(a*)*b", u"aaa"},
      {u"(?:x?)*y", u"zzy"},
      {u"a{2,3}", u"aaaa"},
      {u"a{2,3}?", u"aaaa"},
      {u"(?!ab)a\\w", u"ab ac"},
      {u"[^\\d\\s]+", u"12 ab3"},
      {u"a|ab", u"ab"},
      // Empty iterations, nested loops and captures that later iterations reset.
      {u"(a|ab)(c|bcd)(d*)", u"abcd"},
      {u"((a)|b)+", u"ab"},
      {u"(a*)+", u"b"},
      {u"(a*?)*", u"aa"},
      {u"(a|)+b?", u"aab"},
      {u"(|a)*", u"aa"},
      {u"(a|b|)*c", u"abx abc"},
      {u"((a*)*)*b", u"aaa"},
      {u"(?:a|b)*?c", u"ababc"},
      {u"(a?){3}b?", u"aa"},
      {u"(?:(a)|(b))*c", u"abac"},
      {u"(.*)(\\d+)", u"abc123"},
      {u"([a-z]+)(?:-([a-z]+))*", u"foo-bar-baz qux"},
      {u"^(?:(\\d+)\\.)*(\\d+)$", u"1.2.3\n4.5\n6.", false, true},
      {u"(\\s*\\w+\\s*)*;", u"a b c d;"},
      {u"(\\s*\\w+\\s*)*;", u"a b c d"},
      // Lookaheads: their bodies stay unguarded, the rest is guarded.
      {u"(?=(a+))a*b", u"aaab aab"},
      {u"(a(?=b)|ac)+", u"abac"},
      {u"(?:(?!ab)[ab])+", u"aabbab"},
      {u"(x+x+)+y", u"xxxxxxxx xxy"},
      {u"^(a+)+$", u"aaaa\naaab", false, true},
      {u"(A|a)+?B", u"aAab", true},
      // Back references: the guard stands aside.
      {u"(a|b)*\\1", u"abba"},
      {u"((a)|b)+\\2c", u"abac bab"},
      {u"(a*).b+\\1", u"aaaba"},
      {u"(b|a*)+\\1", u"aaaab"},
  };
  for (const Case& c : cases) ExpectSameWithGuard(c.pattern, c.text, c.ignoreCase, c.multiline);
}

TEST(LibRegexGuard, RandomPatternsFindTheSameWithAndWithoutTheGuard) {
  // Small patterns over a two-letter alphabet reach every mix of loops,
  // alternatives, empty bodies and lookaheads; subjects are short enough
  // that the unguarded search always ends.
  const std::vector<std::u16string> atoms = {u"a", u"b", u".", u"a*", u"b+", u"a?", u"(a|b)", u"(a|)",
                                             u"(?:ab|a)", u"(a*)", u"(b|a*)+", u"[ab]{1,2}", u"(?=a)",
                                             u"(?!b)", u"a*?", u"(a+)+", u"^", u"$", u"\\b", u"(?=(a|b)*)", u"(?=(a|ab)*b)",
                                             u"(?!(a|b)*c)", u"(?:(?=a)|b)"};
  std::mt19937 rng(20240607);
  int compiled = 0;
  for (int round = 0; round < 3000; ++round) {
    std::u16string pattern;
    const int n = 1 + int(rng() % 5);
    for (int k = 0; k < n; ++k) {
      pattern += atoms[rng() % atoms.size()];
      if (rng() % 5 == 0) pattern += u"*";
      if (rng() % 6 == 0) pattern = u"(" + pattern + u")";
      if (rng() % 7 == 0) pattern += u"|";
    }
    std::u16string text;
    for (int k = int(rng() % 9); k > 0; --k) text += rng() % 3 ? u'a' : (rng() % 2 ? u'b' : u' ');
    try {
      Regex probe(pattern, false, false);
    } catch (const RegexError&) {
      continue;   // "a**" and the like
    }
    ++compiled;
    ExpectSameWithGuard(pattern, text, false, round % 2 == 0);
  }
  EXPECT_GT(compiled, 2000);
}

TEST(LibRegexGuard, CatastrophicPatternsEnd) {
  // Without the guard each of these tries about 2^40 ways to fail.
  const std::u16string as(40, u'a');
  EXPECT_TRUE(Regex(u"(a+)+b", false, false).Find(as, true).empty());
  EXPECT_TRUE(Regex(u"(a|aa)+c", false, false).Find(as, true).empty());
  EXPECT_TRUE(Regex(u"(x+x+)+y", false, false).Find(std::u16string(40, u'x'), true).empty());
  EXPECT_TRUE(Regex(u"^(\\w+\\s?)+$", false, false).Find(as + u"!", false).empty());
  EXPECT_TRUE(Regex(u"(a*)*(b|c)", false, false).Find(as, false).empty());
  // A match after a long failing stretch is still the same match.
  const auto m = Regex(u"(a+)+b", false, false).Find(as + u"b", false);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].value, as + u"b");
  EXPECT_EQ(*m[0].groups[0], as);   // one greedy iteration took them all
}

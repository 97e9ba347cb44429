#include "keypad.h"

#include <gtest/gtest.h>

#include <map>

namespace zel {
namespace {

// Stands in for the engine: known expressions give fixed values, and every
// evaluated expression is recorded.
struct FakeEval {
  std::map<std::u16string, EvalResult> answers;
  std::vector<std::u16string> seen;
  Evaluator fn() {
    return [this](const std::u16string& e) {
      seen.push_back(e);
      auto it = answers.find(e);
      return it == answers.end() ? JudgeResult(ValueKind::Text, false, false, u"") : it->second;
    };
  }
  void Number(std::u16string e, double v, std::u16string text) {
    answers[e] = JudgeResult(ValueKind::Number, true, v == 0, std::move(text));
  }
};

// Runs keys given as indexes, accumulating the log the way the window does.
struct Pad {
  KeyState st;
  FakeEval eval;
  std::u16string log;
  std::vector<std::u16string> history;
  KeyEffects last;
  void Press(std::initializer_list<int> keys) {
    for (int k : keys) {
      last = PressKey(st, k, eval.fn());
      if (last.clearLog) log.clear();
      log += last.logAppend;
      if (last.historyInsert) history.insert(history.begin(), *last.historyInsert);
    }
  }
};

// Key indexes by caption.
constexpr int k0 = 0, kDot = 1, k2 = 4, k3 = 5, k4 = 6, k7 = 9, kPlus = 14, kMinus = 15,
              kMul = 16;

TEST(KeypadStrings, IndexesMatchCaptions) {
  const auto& k = KeypadStrings();
  EXPECT_EQ(k[0], u"0");
  EXPECT_EQ(k[1], u".");
  EXPECT_EQ(k[2], u"E");
  EXPECT_EQ(k[3], u"1");
  EXPECT_EQ(k[11], u"9");
  EXPECT_EQ(k[12], u"Ans");
  EXPECT_EQ(k[13], u"Exe");
  EXPECT_EQ(k[17], u"/");
  EXPECT_EQ(k[18], u"del");
  EXPECT_EQ(k[19], u"AC");
}

TEST(StripSpaces, RemovesOnlyAsciiBlanks) {
  EXPECT_EQ(StripSpaces(u"Function  Foo (a)"), u"FunctionFoo(a)");
  EXPECT_EQ(StripSpaces(u"a\tb\u3000c  d"), u"a\tb\u3000cd");
  EXPECT_EQ(StripSpaces(u"   "), u"");
}

TEST(ReplaceAll, ExactCaseSensitiveNonOverlapping) {
  EXPECT_EQ(ReplaceAll(u"2*3+2*3", u"2*3", u"7"), u"7+7");
  EXPECT_EQ(ReplaceAll(u"abcABC", u"abc", u"x"), u"xABC");
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"abc", u"", u"x"), u"abc");
}

TEST(JudgeResult, ZeroFalseEmptyNullAreNotLogged) {
  EXPECT_FALSE(JudgeResult(ValueKind::Number, true, true, u"0").shown);
  EXPECT_FALSE(JudgeResult(ValueKind::Boolean, true, true, u"False").shown);
  EXPECT_FALSE(JudgeResult(ValueKind::Empty, false, true, u"").shown);
  auto null = JudgeResult(ValueKind::Null, false, false, u"");
  EXPECT_FALSE(null.shown);
  EXPECT_FALSE(null.numeric && !null.zero);
  auto t = JudgeResult(ValueKind::Boolean, true, false, u"True");
  EXPECT_TRUE(t.shown);
  EXPECT_TRUE(t.numeric && !t.zero);
}

TEST(JudgeResult, TextResults) {
  // Numeric text is judged by its number.
  EXPECT_TRUE(JudgeResult(ValueKind::Text, true, false, u"2.5").shown);
  EXPECT_FALSE(JudgeResult(ValueKind::Text, true, true, u"0").shown);
  // Other text is logged unless empty, and never becomes the answer.
  auto abc = JudgeResult(ValueKind::Text, false, false, u"abc");
  EXPECT_TRUE(abc.shown);
  EXPECT_FALSE(abc.numeric);
  EXPECT_FALSE(JudgeResult(ValueKind::Text, false, false, u"").shown);
  EXPECT_TRUE(JudgeResult(ValueKind::Other, false, false, u"12/1/2026").shown);
}

TEST(KeySequences, OperatorExtendsTheSelectedExpression) {
  Pad p;
  p.eval.Number(u"2*3", 6, u"6");
  p.eval.Number(u"2*3+4", 10, u"10");
  p.Press({k2, kMul, k3, kKeyExe});
  EXPECT_EQ(p.st.input, u"2*3");
  EXPECT_EQ(p.st.selText, u"2*3");
  EXPECT_TRUE(p.last.selectAllInput);
  p.Press({kPlus, k4, kKeyExe});
  ASSERT_EQ(p.eval.seen.size(), 2u);
  EXPECT_EQ(p.eval.seen[1], u"2*3+4");
  EXPECT_EQ(p.log, u"\r\n『2*3』\r\n6\r\n『2*3+4』\r\n10");
  EXPECT_EQ(p.history, (std::vector<std::u16string>{u"2*3+4", u"2*3"}));
  EXPECT_EQ(p.st.lastAnswerText, u"10");
}

TEST(KeySequences, DigitAfterExeStartsANewEntry) {
  Pad p;
  p.eval.Number(u"2*3", 6, u"6");
  p.Press({k2, kMul, k3, kKeyExe, k7});
  EXPECT_EQ(p.st.input, u"7");
  EXPECT_EQ(p.st.selText, u"");
  p.Press({kDot, k2});
  EXPECT_EQ(p.st.input, u"7.2");
}

TEST(KeySequences, CeKeepsTheSelectionMemory) {
  Pad p;
  p.eval.Number(u"2*3", 6, u"6");
  p.Press({k2, kMul, k3, kKeyExe, kKeyCe});
  EXPECT_EQ(p.st.input, u"2*");
  EXPECT_EQ(p.st.selText, u"2*3");
  p.Press({k7});  // 2*3 no longer occurs: nothing changes but the memory
  EXPECT_EQ(p.st.input, u"2*");
  EXPECT_EQ(p.st.selText, u"");
  p.Press({k7});
  EXPECT_EQ(p.st.input, u"2*7");
  p.Press({kKeyCe, kKeyCe, kKeyCe, kKeyCe});
  EXPECT_EQ(p.st.input, u"");
}

TEST(KeySequences, DigitReplacesEveryOccurrenceOfTheSelection) {
  Pad p;
  p.st.input = u"1+1";
  p.st.selText = u"1";
  p.Press({k2});
  EXPECT_EQ(p.st.input, u"2+2");
}

TEST(KeySequences, AnsKey) {
  Pad p;
  p.Press({kKeyAns});  // no answer yet: the line is emptied
  EXPECT_EQ(p.st.input, u"");
  p.st.input = u"junk";
  p.Press({kKeyAns});
  EXPECT_EQ(p.st.input, u"");

  p.eval.Number(u"2+3", 5, u"5");
  p.st.input = u"2+3";
  p.Press({kKeyExe, kKeyAns});
  EXPECT_EQ(p.st.input, u"5");

  p.st.input = u"2+3";
  p.st.selText.clear();
  p.Press({kMul, kKeyAns});  // selection memory empty: ANS replaces the line
  EXPECT_EQ(p.st.input, u"5");

  p.st.input = u"2+3+2+3";
  p.st.selText = u"2+3";
  p.Press({kKeyAns});
  EXPECT_EQ(p.st.input, u"5+5");
  EXPECT_EQ(p.st.selText, u"");
}

TEST(KeySequences, ZeroAndFalseAreNeitherLoggedNorKept) {
  Pad p;
  p.eval.Number(u"7", 7, u"7");
  p.eval.Number(u"1-1", 0, u"0");
  p.eval.answers[u"1>2"] = JudgeResult(ValueKind::Boolean, true, true, u"False");
  p.eval.answers[u"1<2"] = JudgeResult(ValueKind::Boolean, true, false, u"True");
  p.st.input = u"7";
  p.Press({kKeyExe});
  p.st.input = u"1-1";
  p.Press({kKeyExe});
  EXPECT_EQ(p.st.lastAnswerText, u"7");
  EXPECT_EQ(p.st.selText, u"1-1");  // still selected afterwards
  EXPECT_TRUE(p.last.selectAllInput);
  EXPECT_FALSE(p.last.focusLogEnd);
  p.st.input = u"1>2";
  p.Press({kKeyExe});
  EXPECT_EQ(p.log, u"\r\n『7』\r\n7");
  p.st.input = u"1<2";
  p.Press({kKeyExe});
  EXPECT_EQ(p.log, u"\r\n『7』\r\n7\r\n『1<2』\r\nTrue");
  EXPECT_EQ(p.st.lastAnswerText, u"True");
  EXPECT_EQ(p.history.size(), 4u);
}

TEST(KeySequences, AHugeResultIsLoggedCutAndKeptWholeAsTheAnswer) {
  Pad p;
  const std::u16string huge(1500000, u'7');
  p.eval.Number(u"big", 7, huge);
  p.st.input = u"big";
  p.Press({kKeyExe});
  EXPECT_EQ(p.log, u"\r\n『big』\r\n" + huge.substr(0, kMaxLoggedResultChars) +
                       u"\r\n... 500,000 more characters left out");
  EXPECT_EQ(p.st.lastAnswerText, huge);
  EXPECT_TRUE(p.last.answerChanged);

  // Up to the limit nothing is cut; a surrogate pair across it stays whole.
  const std::u16string limit(kMaxLoggedResultChars, u'x');
  EXPECT_EQ(LoggedResultText(limit), limit);
  const std::u16string pair = limit.substr(1) + u"\xD83D\xDE00" + u"yz";
  EXPECT_EQ(LoggedResultText(pair),
            limit.substr(1) + u"\r\n... 4 more characters left out");
}

TEST(KeySequences, ShowInputOffLogsOnlyTheResult) {
  Pad p;
  p.st.showInput = false;
  p.eval.Number(u"1+2", 3, u"3");
  p.st.input = u"1+2";
  p.Press({kKeyExe});
  EXPECT_EQ(p.log, u"\r\n3");
  EXPECT_TRUE(p.last.focusLogEnd);
}

TEST(KeySequences, CommentInputIsOnlyCopiedToTheLog) {
  for (std::u16string in : {u"1+1 ' note", u"1+1 \u2019 note"}) {
    Pad p;
    p.st.input = in;
    p.Press({kKeyExe});
    EXPECT_TRUE(p.eval.seen.empty());
    EXPECT_TRUE(p.history.empty());
    EXPECT_EQ(p.log, u"\r\n" + in);
    EXPECT_EQ(p.st.input, u"");
    EXPECT_EQ(p.st.selText, u"");
    EXPECT_FALSE(p.last.focusLogEnd);
    EXPECT_TRUE(p.last.focusInput);
  }
}

TEST(KeySequences, EmptyInputEvaluatesNothing) {
  Pad p;
  p.Press({kKeyExe});
  EXPECT_TRUE(p.eval.seen.empty());
  EXPECT_TRUE(p.history.empty());
  EXPECT_EQ(p.log, u"");
  EXPECT_TRUE(p.last.focusInput);
}

TEST(KeySequences, AcClearsTheLogOnlyWithTheOption) {
  Pad p;
  p.eval.Number(u"9", 9, u"9");
  p.st.input = u"9";
  p.Press({kKeyExe, kKeyAc});
  EXPECT_EQ(p.st.input, u"");
  EXPECT_EQ(p.log, u"\r\n『9』\r\n9");
  EXPECT_EQ(p.st.selText, u"9");  // AC keeps the selection memory
  EXPECT_EQ(p.st.lastAnswerText, u"9");
  p.st.acKeyClear = true;
  p.Press({kKeyAc});
  EXPECT_EQ(p.log, u"");
  p.st.input = u"9";
  p.Press({kKeyExe});
  EXPECT_EQ(p.log, u"\r\n『9』\r\n9");
  EXPECT_EQ(p.history.size(), 2u);
}

TEST(KeySequences, ExpAndZeroKeysAppend) {
  Pad p;
  p.Press({k2, kKeyExp, kMinus, k3, k0});
  EXPECT_EQ(p.st.input, u"2E-30");
  EXPECT_FALSE(p.last.focusInput);  // only EXE moves the focus
}

}  // namespace
}  // namespace zel

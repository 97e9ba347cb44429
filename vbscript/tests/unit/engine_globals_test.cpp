// Undeclared top-level variables reached from procedures compiled in other
// texts, in either order, through AddCode, ExecuteStatement and Eval: the
// way the calculator loads a user library and then evaluates input.
#include <gtest/gtest.h>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

using unittest::EvalText;

TEST(EngineGlobals, LibraryConstantsInPlainVariablesSurviveEveryRead) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"g = 9.80665\nrho = 1000\n"
                        u"Function Head(p) : Head = p / (rho * g) : End Function\n"
                        u"Function Twice() : Twice = g + g : End Function\n"));
  EXPECT_EQ(EvalText(e, u"Twice()"), u"19.6133");
  EXPECT_EQ(EvalText(e, u"Round(Head(98066.5), 6)"), u"10");
  // A later statement changes the global: the procedures see the new value.
  ASSERT_TRUE(e.ExecuteStatement(u"g = 10"));
  EXPECT_EQ(EvalText(e, u"Twice()"), u"20");
}

TEST(EngineGlobals, ProcedureCompiledBeforeTheGlobalExists) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Function Scaled(x) : Scaled = x * factor + factor : End Function\n"
                        u"Sub SetFactor(v) : factor = v : End Sub\n"));
  // No global yet: the name is each call's own local, so nothing leaks.
  EXPECT_EQ(EvalText(e, u"Scaled(3)"), u"0");
  ASSERT_TRUE(e.ExecuteStatement(u"SetFactor 4"));
  EXPECT_EQ(EvalText(e, u"IsEmpty(factor)"), u"True");
  // Another text makes it: the same compiled code now reads and writes it.
  ASSERT_TRUE(e.AddCode(u"factor = 2\n"));
  EXPECT_EQ(EvalText(e, u"Scaled(3)"), u"8");
  ASSERT_TRUE(e.ExecuteStatement(u"SetFactor 5"));
  EXPECT_EQ(EvalText(e, u"factor"), u"5");
  EXPECT_EQ(EvalText(e, u"Scaled(1)"), u"10");
}

TEST(EngineGlobals, WritesFromProceduresReachTheGlobalOfAnotherText) {
  Engine e;
  ASSERT_TRUE(e.ExecuteStatement(u"count = 0 : Set notes = CreateObject(\"Scripting.Dictionary\")"));
  ASSERT_TRUE(e.AddCode(u"Sub Note(s)\n"
                        u"  count = count + 1\n"
                        u"  notes.Add count, s\n"
                        u"  If count > 1 Then notes(count) = notes(count - 1) & s\n"
                        u"End Sub\n"));
  ASSERT_TRUE(e.ExecuteStatement(u"Note \"a\" : Note \"b\" : Note \"c\""));
  EXPECT_EQ(EvalText(e, u"count"), u"3");
  EXPECT_EQ(EvalText(e, u"notes(3)"), u"abc");
}

TEST(EngineGlobals, ClassMethodsAndEvalInsideProcedures) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Class Meter\n"
                        u"  Public Sub Add(n) : total = total + n : End Sub\n"
                        u"  Public Function Show() : Show = Eval(\"total * 2\") + total : End Function\n"
                        u"End Class\n"
                        u"Function Via(expr) : unit = unit & \"!\" : Via = Eval(expr) & unit : End Function\n"));
  ASSERT_TRUE(e.AddCode(u"total = 1 : unit = \"m\"\nSet mt = New Meter\n"));
  ASSERT_TRUE(e.ExecuteStatement(u"mt.Add 2 : mt.Add 3"));
  EXPECT_EQ(EvalText(e, u"total"), u"6");
  EXPECT_EQ(EvalText(e, u"mt.Show()"), u"18");
  EXPECT_EQ(EvalText(e, u"Via(\"unit & total\")"), u"m!6m!");
  EXPECT_EQ(EvalText(e, u"unit"), u"m!");
}

TEST(EngineGlobals, ExecuteInsideAProcedureReachesTheGlobal) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Sub Run(code) : n = n + 1 : Execute code : End Sub\n"));
  ASSERT_TRUE(e.AddCode(u"n = 10\n"));
  ASSERT_TRUE(e.ExecuteStatement(u"Run \"n = n * 2\""));
  EXPECT_EQ(EvalText(e, u"n"), u"22");
}

// A text that declares more names than the engine holds brings its own
// name table, which the earlier names join; a smaller text's names join the
// engine's. Either way every name stays reachable in any case, and a text
// that fails to compile declares nothing.
TEST(EngineGlobals, NamesOfSmallAndLargeTextsStayReachable) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Dim Early : Early = 7\n"));
  std::u16string big;
  for (int i = 0; i < 300; ++i) {
    const std::u16string n = U16(std::to_string(i));
    big += u"Dim Var" + n + u" : Var" + n + u" = " + n + u"\n";
    big += u"Function Get" + n + u"() : Get" + n + u" = VAR" + n + u" + early : End Function\n";
  }
  ASSERT_TRUE(e.AddCode(big));
  EXPECT_EQ(EvalText(e, u"EARLY"), u"7");
  EXPECT_EQ(EvalText(e, u"Err.Number"), u"0");
  EXPECT_EQ(EvalText(e, u"var299 + GET10()"), u"316");
  ASSERT_TRUE(e.AddCode(u"Function Late() : Late = vAR5 * eArLy : End Function\n"));
  EXPECT_EQ(EvalText(e, u"Late() + get0()"), u"42");
  const auto names = e.GlobalNames();
  ASSERT_EQ(names.size(), 301u);
  EXPECT_EQ(names[0].Name, u"Early");
  EXPECT_EQ(names[300].Name, u"Var299");
  EXPECT_EQ(e.Procedures().size(), 301u);

  // 1041 on the last line: none of the text's 300 names is declared.
  std::u16string bad;
  for (int i = 0; i < 300; ++i) bad += u"Dim Other" + U16(std::to_string(i)) + u"\n";
  bad += u"Dim other0\n";
  EXPECT_FALSE(e.AddCode(bad));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 301);
  EXPECT_EQ(e.GlobalNames().size(), 301u);
  ASSERT_TRUE(e.AddCode(u"Dim Other0 : Other0 = 1\n"));
  EXPECT_EQ(EvalText(e, u"other0 + var1"), u"2");
}

}  // namespace
}  // namespace vbs

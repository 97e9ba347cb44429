// The host interface as the calculator uses it: adding code, running
// statements, evaluating, reading the error record, procedures, reset,
// host objects and interrupts.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <optional>
#include <thread>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

// A host object with a property, a ByRef method, an optional argument and
// a failing method.
class Probe : public HostObject {
 public:
  std::u16string TypeName() const override { return u"Probe"; }
  int FindMember(std::u16string_view n) const override {
    if (NameEquals(n, "value")) return 1;
    if (NameEquals(n, "inc")) return 2;
    if (NameEquals(n, "hassecond")) return 3;
    if (NameEquals(n, "fail")) return 4;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    switch (member) {
      case 1:
        if (kind == InvokeKind::PropertyLet) {
          value = ToLong(args[args.size() - 1]);
          ++lets;
        }
        else result = Variant::FromLong(value);
        return;
      case 2:
        args[0] = Variant::FromLong(ToLong(args[0]) + 1);
        return;
      case 3:
        result = Variant::FromBool(!args.Missing(1));
        return;
      case 4:
        Raise(kErrInvalidCall, u"probe refused");
      default:
        Raise(kErrNoSuchMember);
    }
  }
  int value = 7;
  std::atomic<int> lets{0};
};

using unittest::EvalText;

TEST(EngineHost, AddCodeIsAtomicOnCompileError) {
  Engine e;
  EXPECT_FALSE(e.AddCode(u"Dim a\nFunction F()\n  F = 1\nEnd Function\nx = (1 +\n"));
  EXPECT_TRUE(e.Error().IsCompileError);
  EXPECT_EQ(e.Error().Line, 5);
  EXPECT_TRUE(e.Procedures().empty());
  Variant v;
  EXPECT_FALSE(e.Eval(u"F()", v));
  // Nothing of the failed text was declared: the same names are free.
  EXPECT_TRUE(e.AddCode(u"Dim a\nFunction F()\n  F = 2\nEnd Function\n"));
  EXPECT_EQ(EvalText(e, u"F()"), u"2");
}

TEST(EngineHost, NameRedefinedAcrossAddCodeCallsReportsTheSecondLine) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Dim total\r\ntotal = 5\r\n"));
  EXPECT_FALSE(e.AddCode(u"' second file\r\nFunction G()\r\n  G = 1\r\nEnd Function\r\nDim total\r\n"));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 5);
  EXPECT_EQ(e.Error().Column, 5);
  EXPECT_EQ(e.Error().Source, u"Dim total");
  // The failed file added nothing, and the first file's value is intact.
  EXPECT_EQ(e.Procedures().size(), 0u);
  EXPECT_EQ(EvalText(e, u"total"), u"5");
  // With the duplicate line commented out the file loads.
  EXPECT_TRUE(e.AddCode(u"' second file\r\nFunction G()\r\n  G = 1\r\nEnd Function\r\n'Dim total\r\n"));
  EXPECT_EQ(EvalText(e, u"G() + total"), u"6");
  // Duplicates inside one text: constants and variables alike.
  EXPECT_FALSE(e.AddCode(u"Const k = 1\nDim k\n"));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 2);
}

TEST(EngineHost, ExecuteStatementErrorPositionIsWithinItsOwnText) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Dim pad\npad = 1\npad = 2\n"));
  EXPECT_FALSE(e.ExecuteStatement(u"myResult = 1/0"));
  EXPECT_EQ(e.Error().Number, 11);
  EXPECT_EQ(e.Error().Description, u"Division by zero");
  EXPECT_EQ(e.Error().Line, 1);
  EXPECT_EQ(e.Error().Column, 1);
  EXPECT_FALSE(e.ExecuteStatement(u"a = 1\n  b = CInt(\"x\")"));
  EXPECT_EQ(e.Error().Number, 13);
  EXPECT_EQ(e.Error().Line, 2);
  EXPECT_EQ(e.Error().Column, 3);
  EXPECT_FALSE(e.ExecuteStatement(u"myResult = (1 + "));
  EXPECT_EQ(e.Error().Line, 1);
  EXPECT_TRUE(e.Error().IsCompileError);
}

TEST(EngineHost, EvalAfterFailedStatementReadsThePreviousValue) {
  Engine e;
  Variant v;
  ASSERT_TRUE(e.Eval(u"myResult", v));
  EXPECT_TRUE(v.IsEmpty());
  ASSERT_TRUE(e.ExecuteStatement(u"myResult = 2"));
  EXPECT_FALSE(e.ExecuteStatement(u"myResult = 1/0"));
  EXPECT_EQ(EvalText(e, u"myResult"), u"2");
  ASSERT_TRUE(e.ExecuteStatement(u"myResult = myResult+1"));
  EXPECT_EQ(EvalText(e, u"myResult"), u"3");
  EXPECT_FALSE(e.Eval(u"1 +", v));
  EXPECT_EQ(e.Error().Number, 1023);
}

TEST(EngineHost, ExecuteStatementRunsWholeScriptsThatDefineProcedures) {
  Engine e;
  ASSERT_TRUE(e.ExecuteStatement(u"Function Twice(x)\n  Twice = 2 * x\nEnd Function\nDim k : k = 4"));
  EXPECT_EQ(EvalText(e, u"Twice(k)"), u"8");
  ASSERT_TRUE(e.ExecuteStatement(u""));
  // A later definition replaces the earlier one.
  ASSERT_TRUE(e.ExecuteStatement(u"Function Twice(x)\n  Twice = 3 * x\nEnd Function"));
  EXPECT_EQ(EvalText(e, u"Twice(1)"), u"3");
  // Many statements later (each compiled, run and dropped) the procedures
  // and classes of earlier texts still work.
  ASSERT_TRUE(e.ExecuteStatement(u"Class Acc\n Public N\nEnd Class\nSet a = New Acc : a.N = 0"));
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(e.ExecuteStatement(u"k = Twice(1) + k - 3 : a.N = a.N + 1"));
  EXPECT_EQ(EvalText(e, u"k & \" \" & a.N & \" \" & TypeName(New Acc)"), u"4 2000 Acc");
}

TEST(EngineHost, ProceduresInDeclarationOrderAndReset) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Sub B(x, ByVal y)\nEnd Sub\nFunction A()\nEnd Function\nFunction C(p)\nC = p\nEnd Function\n"
                        u"Class K\n  Function Hidden(a)\n  End Function\nEnd Class\n"));
  auto procs = e.Procedures();
  ASSERT_EQ(procs.size(), 3u);
  EXPECT_EQ(procs[0].Name, u"B");
  EXPECT_EQ(procs[0].NumArgs, 2);
  EXPECT_FALSE(procs[0].IsFunction);
  EXPECT_EQ(procs[1].Name, u"A");
  EXPECT_EQ(procs[1].NumArgs, 0);
  EXPECT_EQ(procs[2].Name, u"C");
  EXPECT_EQ(procs[2].NumArgs, 1);
  e.Reset();
  EXPECT_TRUE(e.Procedures().empty());
  Variant v;
  EXPECT_FALSE(e.Eval(u"C(1)", v));
  // Names are free again after a reset.
  EXPECT_TRUE(e.AddCode(u"Function C()\nC = 9\nEnd Function\n"));
  EXPECT_EQ(e.Procedures().size(), 1u);
  EXPECT_EQ(EvalText(e, u"C()"), u"9");
}

// What a host lists of a text it only compiled: the procedures with their
// header lines and parameter names, and the other global names by kind.
TEST(EngineHost, DeclaredNamesOfACompiledText) {
  Engine e;
  e.AddObject(u"host", Ref<HostObject>());
  ASSERT_TRUE(e.CompileCode(u"Const PI_2 = 6.28\r\nDim count, table(3)\r\n' note\r\n"
                            u"Function Area(w, ByVal h)\r\nArea = w * h + undeclared\r\nEnd Function\r\n"
                            u"Class Pipe\r\n  Public D\r\nEnd Class\r\nSub Log0 : End Sub\r\n"));
  const auto procs = e.Procedures();
  ASSERT_EQ(procs.size(), 2u);
  EXPECT_EQ(procs[0].Line, 4);
  EXPECT_EQ(procs[0].Params, (std::vector<std::u16string>{u"w", u"h"}));
  EXPECT_EQ(procs[1].Line, 10);
  EXPECT_TRUE(procs[1].Params.empty());
  std::vector<std::u16string> names;
  std::vector<GlobalNameInfo::Kind> kinds;
  for (const GlobalNameInfo& g : e.GlobalNames()) {
    names.push_back(g.Name);
    kinds.push_back(g.kind);
    if (g.kind == GlobalNameInfo::Class) {
      EXPECT_EQ(g.Line, 7);
    }
  }
  // Classes are declared before the text's other names.
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Pipe", u"PI_2", u"count", u"table"}));
  EXPECT_EQ(kinds, (std::vector<GlobalNameInfo::Kind>{GlobalNameInfo::Class, GlobalNameInfo::Constant,
                                                      GlobalNameInfo::Variable, GlobalNameInfo::Variable}));
  // A variable made by assignment counts once the statement has run.
  ASSERT_TRUE(e.ExecuteStatement(u"made = 1"));
  EXPECT_EQ(e.GlobalNames().back().Name, u"made");
}

// Counts MsgBox and InputBox calls; answers OK and cancels.
struct CountingUi : UiHost {
  int boxes = 0;
  int MsgBox(std::u16string_view, int, std::u16string_view) override { return ++boxes, 1; }
  std::optional<std::u16string> InputBox(std::u16string_view, std::u16string_view,
                                         std::u16string_view) override {
    ++boxes;
    return std::nullopt;
  }
};

TEST(EngineHost, CompileCodeDeclaresWithoutRunningTopLevelStatements) {
  Engine e;
  CountingUi ui;
  e.SetUiHost(&ui);
  // Top-level code that would show boxes, never end, or fail at run time.
  ASSERT_TRUE(e.CompileCode(u"Dim n : n = 5\r\nMsgBox \"hello\"\r\nx = InputBox(\"?\")\r\n"
                            u"Do : Loop\r\nn = 1 / 0\r\n"
                            u"Function Area(w, h)\r\n  Area = w * h\r\nEnd Function\r\n"
                            u"Sub Show(a)\r\n  MsgBox a\r\nEnd Sub\r\n"));
  EXPECT_EQ(ui.boxes, 0);
  auto procs = e.Procedures();
  ASSERT_EQ(procs.size(), 2u);
  EXPECT_EQ(procs[0].Name, u"Area");
  EXPECT_EQ(procs[0].NumArgs, 2);
  EXPECT_TRUE(procs[0].IsFunction);
  EXPECT_EQ(procs[1].Name, u"Show");
  EXPECT_FALSE(procs[1].IsFunction);
  // Declared but never assigned; the procedures themselves work.
  EXPECT_EQ(EvalText(e, u"IsEmpty(n)"), u"True");
  EXPECT_EQ(EvalText(e, u"Area(2, 3)"), u"6");

  // A compile error adds nothing and is reported like AddCode's.
  EXPECT_FALSE(e.CompileCode(u"Function G()\r\nEnd Function\r\nIf x Then\r\n"));
  EXPECT_TRUE(e.Error().IsCompileError);
  EXPECT_GT(e.Error().Number, 0);
  EXPECT_EQ(e.Procedures().size(), 2u);
  // Names declared twice are found at compile time too.
  EXPECT_FALSE(e.CompileCode(u"Function Twice(x)\r\nEnd Function\r\nDim n\r\n"));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 3);
  EXPECT_EQ(ui.boxes, 0);
}

TEST(EngineHost, HostObjectIsReachedOnlyThroughItsName) {
  Engine e;
  Ref<Probe> probe(new Probe());
  e.AddObject(u"zelIO", probe);
  EXPECT_EQ(EvalText(e, u"ZELIO.Value"), u"7");
  Variant v;
  ASSERT_TRUE(e.Eval(u"Value", v));
  EXPECT_TRUE(v.IsEmpty());  // members are not global names
  ASSERT_TRUE(e.ExecuteStatement(u"zelIO.Value = 12"));
  EXPECT_EQ(probe->value, 12);
  EXPECT_EQ(EvalText(e, u"TypeName(zelIO)"), u"Probe");
  EXPECT_FALSE(e.Eval(u"zelIO.Missing", v));
  EXPECT_EQ(e.Error().Number, 438);
  // Host objects cannot be assigned over; a script variable of the same
  // name that existed first holds the object, also in code compiled before.
  EXPECT_FALSE(e.ExecuteStatement(u"zelIO = 1"));
  EXPECT_EQ(e.Error().Number, 501);
  ASSERT_TRUE(e.AddCode(u"Dim io\nFunction Probed() : Probed = io.Value : End Function"));
  EXPECT_FALSE(e.Eval(u"Probed()", v));
  e.AddObject(u"io", probe);
  EXPECT_EQ(EvalText(e, u"Probed() & TypeName(io)"), u"12Probe");
}

TEST(EngineHost, HostObjectArgumentsByReferenceOptionalAndErrors) {
  Engine e;
  e.AddObject(u"p", Ref<Probe>(new Probe()));
  ASSERT_TRUE(e.ExecuteStatement(u"n = 1 : p.Inc n : p.Inc n"));
  EXPECT_EQ(EvalText(e, u"n"), u"3");
  // A parenthesised argument goes by value.
  ASSERT_TRUE(e.ExecuteStatement(u"p.Inc (n)"));
  EXPECT_EQ(EvalText(e, u"n"), u"3");
  EXPECT_EQ(EvalText(e, u"p.HasSecond(1)"), u"False");
  EXPECT_EQ(EvalText(e, u"p.HasSecond(1, )"), u"False");
  EXPECT_EQ(EvalText(e, u"p.HasSecond(1, 2)"), u"True");
  EXPECT_FALSE(e.ExecuteStatement(u"p.Fail"));
  EXPECT_EQ(e.Error().Number, 5);
  EXPECT_EQ(e.Error().Description, u"probe refused");
  ASSERT_TRUE(e.ExecuteStatement(u"On Error Resume Next\np.Fail\nr = Err.Number & \":\" & Err.Description"));
  EXPECT_EQ(EvalText(e, u"r"), u"5:probe refused");
}

TEST(EngineHost, InterruptStopsARunawayScript) {
  Engine e;
  Ref<Probe> probe(new Probe());
  e.AddObject(u"p", probe);
  // The script announces that its endless loop has begun by setting
  // p.Value; only then is the interrupt requested.
  std::thread stopper([&] {
    while (probe->lets.load() == 0) std::this_thread::yield();
    e.RequestInterrupt();
  });
  // On Error Resume Next does not swallow the interrupt.
  bool ok = e.ExecuteStatement(u"On Error Resume Next\np.Value = 1\nDo\n  i = i + 1\nLoop");
  stopper.join();
  EXPECT_FALSE(ok);
  EXPECT_EQ(e.Error().Number, kErrInterrupted);
  EXPECT_EQ(e.Error().Line, 3);  // the loop that was stopped
  // A fresh call is not affected by the old request.
  EXPECT_TRUE(e.ExecuteStatement(u"x = 1"));
}

// Requests a stop of its engine the first time the script calls it.
class Stopper : public HostObject {
 public:
  explicit Stopper(Engine& e) : engine_(e) {}
  std::u16string TypeName() const override { return u"Stopper"; }
  int FindMember(std::u16string_view n) const override { return NameEquals(n, "tick") ? 1 : -1; }
  void Invoke(int member, InvokeKind, Args&, Variant&) override {
    if (member != 1) Raise(kErrNoSuchMember);
    if (++ticks == 1) engine_.RequestInterrupt();
  }
  int ticks = 0;

 private:
  Engine& engine_;
};

TEST(EngineHost, StopDuringClassTerminateEndsTheScriptWithoutRunningTheRest) {
  Engine e;
  Ref<Stopper> stopper(new Stopper(e));
  e.AddObject(u"s", stopper);
  // Freeing the list runs the head's handler, which asks for the stop; the
  // other 999 handlers do not run, and the script ends at its next check.
  bool ok = e.ExecuteStatement(
      u"Class Node\n  Public NextNode\n  Private Sub Class_Terminate() : s.Tick : End Sub\nEnd Class\n"
      u"Set head = Nothing\n"
      u"For i = 1 To 1000 : Set n = New Node : Set n.NextNode = head : Set head = n : Next\n"
      u"Set n = Nothing\nSet head = Nothing\n"
      u"For k = 1 To 10 : Next\nreached = True");
  EXPECT_FALSE(ok);
  EXPECT_EQ(e.Error().Number, kErrInterrupted);
  EXPECT_EQ(stopper->ticks, 1);
  EXPECT_TRUE(e.ExecuteStatement(u"x = IsEmpty(reached)"));
  EXPECT_EQ(EvalText(e, u"x"), u"True");
}

// A recursion that never ends by itself and runs no loop: only its calls
// can take the stop. It goes 300 frames deep first, then doubles for ever;
// p.Value counts the runs that got there.
TEST(EngineHost, StopEndsALooplessRecursionTwiceInARow) {
  Engine e;
  Ref<Probe> probe(new Probe());
  e.AddObject(u"p", probe);
  ASSERT_TRUE(e.AddCode(
      u"Function Spread(n)\n  If n > 0 Then\n    Spread = Spread(n - 1) + Spread(n - 1)\n  Else\n"
      u"    Spread = 1\n  End If\nEnd Function\n"
      u"Function Down(k)\n  If k > 0 Then\n    Down = Down(k - 1)\n  Else\n    p.Value = p.Value + 1\n"
      u"    Down = Spread(60)\n  End If\nEnd Function\n"));
  for (int run = 1; run <= 2; ++run) {
    std::thread stopper([&] {
      while (probe->lets.load() < run) std::this_thread::yield();
      e.RequestInterrupt();
    });
    bool ok = e.ExecuteStatement(u"On Error Resume Next\nx = Down(300)");
    stopper.join();
    EXPECT_FALSE(ok) << "run " << run;
    EXPECT_EQ(e.Error().Number, kErrInterrupted) << "run " << run;
  }
  // The request is spent: calls run again, and runaway recursion still
  // ends in error 28.
  EXPECT_EQ(EvalText(e, u"Spread(3)"), u"8");
  EXPECT_FALSE(e.ExecuteStatement(u"Function R(n) : R = R(n + 1) : End Function : x = R(1)"));
  EXPECT_EQ(e.Error().Number, 28);
}

// A stop asked for inside a procedure ends the script at its next call,
// whatever On Error says; the next run is not affected.
TEST(EngineHost, StopAskedForInsideACallEndsTheScriptAtTheNextCall) {
  Engine e;
  Ref<Stopper> stopper(new Stopper(e));
  e.AddObject(u"s", stopper);
  ASSERT_TRUE(e.AddCode(u"Dim reached, after\nFunction Inner(n)\n  Inner = n + 1\nEnd Function\n"
                        u"Function Outer(n)\n  s.Tick\n  Outer = Inner(n) + Inner(n)\n  reached = True\nEnd Function\n"));
  EXPECT_FALSE(e.ExecuteStatement(u"On Error Resume Next\nx = Outer(1)\nafter = True"));
  EXPECT_EQ(e.Error().Number, kErrInterrupted);
  EXPECT_EQ(EvalText(e, u"IsEmpty(x) And IsEmpty(reached) And IsEmpty(after)"), u"True");
  EXPECT_TRUE(e.ExecuteStatement(u"x = Outer(1)"));
  EXPECT_EQ(EvalText(e, u"x & \" \" & reached"), u"4 True");
}

TEST(EngineHost, DeepRecursionRaisesOutOfStackSpace) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Function R(n)\n  R = R(n + 1)\nEnd Function\nSub S()\n  S\nEnd Sub\n"));
  EXPECT_FALSE(e.ExecuteStatement(u"x = R(1)"));
  EXPECT_EQ(e.Error().Number, 28);
  EXPECT_FALSE(e.ExecuteStatement(u"S"));
  EXPECT_EQ(e.Error().Number, 28);
  // The engine still works afterwards.
  EXPECT_EQ(EvalText(e, u"1 + 1"), u"2");
}

// Bytes this process has read from files so far (Linux accounting).
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

TEST(EngineHost, MakingAndCallingEnginesReadsNoFiles) {
  // The library browser makes an engine per file: asking for the thread's
  // stack every time read /proc/self/maps on the main thread, 10 s for
  // 5,000 files.
  const long long before = BytesRead();
  ASSERT_GE(before, 0);
  for (int i = 0; i < 200; ++i) {
    Engine e;
    ASSERT_TRUE(e.CompileCode(u"Function F(a)\r\n  F = a\r\nEnd Function"));
    Variant v;
    ASSERT_TRUE(e.Eval(u"1 + 1", v));
  }
  EXPECT_LT(BytesRead() - before, 16 * 1024);
}

TEST(EngineHost, CompileErrorNumbersAndPositions) {
  Engine e;
  struct Case {
    const char16_t* text;
    int number, line, col;
  } cases[] = {
      {u"Dim a b", 1025, 1, 7},
      {u"x = \"open", 1033, 1, 5},
      {u"If x Then\nx = 1\n", 1014, 3, 1},
      {u"For i = 1\nNext", 1013, 1, 10},
      {u"Do\nx = 1\n", 1019, 3, 1},
      {u"Sub A(\nEnd Sub", 1010, 1, 7},
      {u"x = 1 +", 1023, 1, 8},
      {u"Exit Do2", 1039, 1, 6},
      {u"Foo(1, 2)", 1044, 1, 1},
      // The first error in the text wins, whether the parser or the
      // lexer finds it.
      {u"x = (1 +\ny = 2 $ 3", 1023, 1, 9},
      {u"x = 1\ny = 2 $ 3\nz = (", 1032, 2, 7},
      {u"x = 1 ' $ in a comment\ny = \"$\" & (2", 1006, 2, 13},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(e.AddCode(c.text)) << std::string(c.text, c.text + 3);
    EXPECT_EQ(e.Error().Number, c.number) << "case " << (&c - cases);
    EXPECT_EQ(e.Error().Line, c.line) << "case " << (&c - cases);
    EXPECT_EQ(e.Error().Column, c.col) << "case " << (&c - cases);
  }
}

}  // namespace
}  // namespace vbs

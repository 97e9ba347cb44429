// Language rules of the interpreter that the host relies on: literal
// typing, precedence, argument passing, scopes of Eval/Execute, object
// lifetime, error trapping and the limits that keep the process alive.
#include <gtest/gtest.h>

#include <string>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

using unittest::RunScript;
std::u16string Ev(const std::u16string& expr) { return RunScript(u"", expr); }

TEST(EngineLang, NumericLiteralsAreTypedByMagnitude) {
  EXPECT_EQ(Ev(u"TypeName(32767) & TypeName(32768) & TypeName(2147483648)"), u"IntegerLongDouble");
  // The sign is an operator on the literal: 32768 is a Long, so is -32768.
  EXPECT_EQ(Ev(u"TypeName(-32768) & TypeName(-2147483648) & Hex(-32768)"), u"LongDoubleFFFF8000");
  EXPECT_EQ(Ev(u"&hFFFF & \" \" & &hFFFF& & \" \" & &o17 & \" \" & &h7FFFFFFF"), u"-1 65535 15 2147483647");
  EXPECT_EQ(Ev(u"10. + .5"), u"10.5");
  // Long digit strings: exact up to 15 digits, rounded beyond, leading zeros ignored.
  EXPECT_EQ(Ev(u"999999999999999 - 999999999999998 & \" \" & TypeName(000000000000000000032767) & \" \" & "
               u"12345678901234567890"),
            u"1 Integer 1.23456789012346E+19");
  EXPECT_EQ(Ev(u"1e-94938484"), u"0");
  EXPECT_EQ(Ev(u"TypeName(#1/2/2003#)"), u"Date");
  EXPECT_EQ(Ev(u"[my var]"), u"");
}

TEST(EngineLang, OperatorPrecedence) {
  EXPECT_EQ(Ev(u"-3^2"), u"9");
  EXPECT_EQ(Ev(u"2^-1"), u"0.5");
  EXPECT_EQ(Ev(u"2 + 3 * 4 ^ 2 / 8"), u"8");
  EXPECT_EQ(Ev(u"7 \\ 2 * 3"), u"1");          // * binds tighter than integer division
  EXPECT_EQ(Ev(u"10 Mod 4 \\ 2"), u"0");       // \ binds tighter than Mod
  EXPECT_EQ(Ev(u"1 + 2 & 3 + 4"), u"37");      // & below + and -
  EXPECT_EQ(Ev(u"Not 1 = 2"), u"True");        // comparison before Not
  EXPECT_EQ(Ev(u"True Or False And False"), u"True");
  EXPECT_EQ(Ev(u"1 < 2 = True"), u"True");
}

TEST(EngineLang, ArgumentsByReferenceAndByValue) {
  const std::u16string lib =
      u"Sub Bump(x) : x = x + 1 : End Sub\n"
      u"Sub BumpVal(ByVal x) : x = x + 1 : End Sub\n"
      u"Dim a : a = 1\nDim arr(2) : arr(1) = 10\n"
      u"Bump a : Bump a : BumpVal a : Bump (a)\n"
      u"Call Bump(a)\n"
      u"Bump arr(1)\n";
  EXPECT_EQ(RunScript(lib, u"a & \",\" & arr(1)"), u"4,11");
  // A ByRef parameter passed on keeps referring to the first variable.
  EXPECT_EQ(RunScript(u"Sub Inner(y) : y = y * 2 : End Sub\nSub Outer(x) : Inner x : End Sub\n"
                u"Dim v : v = 3 : Outer v",
                u"v"),
            u"6");
  EXPECT_EQ(RunScript(u"Sub Two(a, b) : End Sub\nTwo 1", u"1"), u"#450");
}

TEST(EngineLang, FunctionResultAndRecursion) {
  EXPECT_EQ(RunScript(u"Function F(n)\n  If n <= 1 Then F = 1 Else F = n * F(n - 1)\nEnd Function", u"F(10)"),
            u"3628800");
  EXPECT_EQ(RunScript(u"Function G : G = 5 : G = G + 1 : End Function", u"G() + G"), u"12");
  EXPECT_EQ(RunScript(u"Function H(x)\n  H = 1\n  If x Then Exit Function\n  H = 2\nEnd Function", u"H(True) & H(False)"),
            u"12");
}

TEST(EngineLang, EvalAndExecuteSeeTheCallersScope) {
  const std::u16string lib =
      u"Dim g : g = 1\n"
      u"Function Probe(a)\n"
      u"  Dim loc : loc = 10\n"
      u"  Execute \"loc = loc + a\"\n"
      u"  Execute \"Dim fresh : fresh = 5\"\n"
      u"  ExecuteGlobal \"Dim shared : shared = 7\"\n"
      u"  Probe = Eval(\"loc + g + fresh\")\n"
      u"End Function\n";
  EXPECT_EQ(RunScript(lib, u"Probe(2) & \",\" & shared & \",\" & IsEmpty(fresh)"), u"18,7,True");
  EXPECT_EQ(RunScript(u"Function Sq(x) : Sq = x * x : End Function\nSet f = GetRef(\"Sq\")", u"f(7)"), u"49");
  EXPECT_EQ(RunScript(u"", u"Eval(\"1 +\")"), u"#1023");
}

TEST(EngineLang, ProceduresMadeByExecuteInAProcedureBelongToThatCall) {
  // Each call makes its own procedure; the code around the Execute, the
  // Execute text itself, later Executes and nested ones all reach it.
  const std::u16string lib =
      u"Function Make(k)\n"
      u"  Execute \"Function Scale(x) : Scale = x * \" & k & \" : End Function\"\n"
      u"  Execute \"Dim viaExec : viaExec = Scale(2)\"\n"
      u"  Execute \"Execute \"\"Dim nested : nested = Scale(3)\"\"\"\n"
      u"  Make = Scale(1) & \" \" & Eval(\"viaExec\") & \" \" & Eval(\"nested\")\n"
      u"End Function\n"
      u"Dim first, second : first = Make(10) : second = Make(100)\n";
  EXPECT_EQ(RunScript(lib, u"first & \"|\" & second"), u"10 20 30|100 200 300");
  // Not visible at script level, nor listed among the engine's procedures.
  EXPECT_EQ(RunScript(lib, u"Scale(1)"), u"#13");
  Engine e;
  ASSERT_TRUE(e.AddCode(lib));
  ASSERT_EQ(e.Procedures().size(), 1u);
  EXPECT_EQ(e.Procedures()[0].Name, u"Make");
  // The same text at script level declares a global procedure.
  EXPECT_EQ(RunScript(u"Execute \"Sub Hello : End Sub\"", u"TypeName(GetRef(\"Hello\"))"), u"Object");
  // Two procedures of one name in one Execute text: the last one counts.
  EXPECT_EQ(RunScript(u"Function P : Execute \"Function Q : Q = 1 : End Function : Function Q : Q = 2 : End Function\" : P = Q() : End Function\nr = P()",
                      u"r"),
            u"2");
}

TEST(EngineLang, ClassInstancesLiveExactlyAsLongAsTheirReferences) {
  const std::u16string lib =
      u"Dim log\n"
      u"Class T\n"
      u"  Public Name\n"
      u"  Private Sub Class_Initialize : log = log & \"+\" : End Sub\n"
      u"  Private Sub Class_Terminate : log = log & \"-\" & Name : End Sub\n"
      u"End Class\n"
      u"Sub Scoped : Dim t : Set t = New T : t.Name = \"s\" : End Sub\n"
      u"Set a = New T : a.Name = \"a\" : Set b = a : Set a = Nothing : log = log & \"|\"\n"
      u"Set b = Nothing : Scoped\n"
      u"With New T : .Name = \"w\" : End With\n";
  EXPECT_EQ(RunScript(lib, u"log"), u"+|-a+-s+-w");
}

TEST(EngineLang, PropertiesDefaultMembersAndPrivacy) {
  const std::u16string lib =
      u"Class C\n"
      u"  Private v\n"
      u"  Public Default Property Get Value : Value = v : End Property\n"
      u"  Public Property Let Value(x) : v = x * 2 : End Property\n"
      u"  Private Function Hidden : Hidden = 1 : End Function\n"
      u"  Public Function Peek(o) : Peek = o.Hidden() : End Function\n"
      u"End Class\n"
      u"Set obj = New C : obj.Value = 21\n";
  EXPECT_EQ(RunScript(lib, u"obj & \" \" & (obj + 0) & \" \" & obj.Peek(obj)"), u"42 42 1");
  EXPECT_EQ(RunScript(lib, u"obj.Hidden"), u"#438");
  EXPECT_EQ(RunScript(lib, u"obj.Missing"), u"#438");
  // A class name is not a variable.
  EXPECT_EQ(RunScript(lib, u"1") , u"1");
  EXPECT_EQ(RunScript(lib + u"Set C = obj", u"1"), u"#501");
  EXPECT_EQ(RunScript(u"Set x = Nothing", u"x.Foo"), u"#424");  // a member of Nothing: Object required
  EXPECT_EQ(RunScript(u"x = 1", u"x.Foo"), u"#424");
  EXPECT_EQ(RunScript(u"Set x = 1", u"1"), u"#424");
}

TEST(EngineLang, ErrorTrappingAndTheErrObject) {
  const std::u16string lib =
      u"Dim r\n"
      u"Sub Failing : Err.Raise 1234, \"src\", \"custom\" : End Sub\n"
      u"Sub Handled\n"
      u"  On Error Resume Next\n"
      u"  x = 1 / 0\n"
      u"  r = r & Err.Number & \";\"\n"
      u"End Sub\n"
      u"On Error Resume Next\n"
      u"Failing\n"
      u"r = r & Err.Number & Err.Source & Err.Description & \";\"\n"
      u"Handled\n"
      u"r = r & Err.Number & \";\"\n"           // kept when Handled returned
      u"Err.Raise 5\n"
      u"On Error GoTo 0\n"
      u"r = r & Err.Number\n";                  // cleared by On Error GoTo 0
  EXPECT_EQ(RunScript(lib, u"r"), u"1234srccustom;11;11;0");
  // An error in a loop body under Resume Next continues with the next statement.
  EXPECT_EQ(RunScript(u"On Error Resume Next\nFor i = 1 To 3 : n = n + 1 : x = 1 / 0 : n = n + 10 : Next", u"n"), u"33");
}

TEST(EngineLang, UpdatingAVariableFromItselfKeepsTheOperatorTyping) {
  // x = x + e, x = x * e and friends in procedures and at script level.
  EXPECT_EQ(RunScript(u"i = 32767 : i = i + 1", u"TypeName(i) & i"), u"Long32768");
  EXPECT_EQ(RunScript(u"i = 2147483647 : i = i + 1", u"TypeName(i) & i"), u"Double2147483648");
  EXPECT_EQ(RunScript(u"x = 1.5 : x = x + \"2\"", u"TypeName(x) & x"), u"Double3.5");
  EXPECT_EQ(RunScript(u"x = 1.5 : x = x + Null", u"IsNull(x)"), u"True");
  EXPECT_EQ(RunScript(u"x = 1E+308 : x = x * 10", u"x"), u"#6");
  EXPECT_EQ(RunScript(u"Dim r\nFunction F : F = 0.5 : End Function\nSub S : Dim y : y = 2.5 : y = y * F() : r = y : End Sub\nS", u"r"),
            u"1.25");
  // The right side runs before the store and may change the variable: the
  // value read first still counts.
  EXPECT_EQ(RunScript(u"Function G : x = \"text\" : G = 1 : End Function\nx = 1.5 : x = x + G()", u"TypeName(x) & x"),
            u"Double2.5");
}

TEST(EngineLang, ControlFlow) {
  EXPECT_EQ(RunScript(u"For i = 10 To 1 Step -4 : s = s & i & \",\" : Next", u"s & i"), u"10,6,2,-2");
  EXPECT_EQ(RunScript(u"For i = 1 To 0 : s = \"ran\" : Next", u"IsEmpty(s) & i"), u"True1");
  EXPECT_EQ(RunScript(u"Do : n = n + 1 : If n = 5 Then Exit Do\nLoop", u"n"), u"5");
  EXPECT_EQ(RunScript(u"Do : n = n + 1 : Loop Until n >= 3", u"n"), u"3");
  EXPECT_EQ(RunScript(u"n = 9 : Do While n < 3 : n = n + 1 : Loop", u"n"), u"9");
  EXPECT_EQ(RunScript(u"While n < 4 : n = n + 1 : Wend", u"n"), u"4");
  EXPECT_EQ(RunScript(u"For Each v In Array(1, 2, 3) : s = s + v : Next", u"s"), u"6");
  EXPECT_EQ(RunScript(u"For Each v In 5 : Next", u"1"), u"#451");
  EXPECT_EQ(RunScript(u"Select Case 7\nCase 1, 2 : r = \"a\"\nCase 5 To 8 : r = \"b\"\nCase Else : r = \"c\"\nEnd Select", u"r"),
            u"b");
  EXPECT_EQ(RunScript(u"Select Case \"q\"\nCase Is > \"p\" : r = 1\nCase Else : r = 2\nEnd Select", u"r"), u"1");
  EXPECT_EQ(RunScript(u"If 0 Then r = 1 Else r = 2 : r = r * 10", u"r"), u"20");
  EXPECT_EQ(RunScript(u"x = 1 + _\n  2 + _\n  3", u"x"), u"6");
  EXPECT_EQ(RunScript(u"    \t    x    =     \t 1 +        _\n            2      ' note", u"x"), u"3");
}

TEST(EngineLang, OptionExplicitAndDeclarations) {
  EXPECT_EQ(RunScript(u"Option Explicit\nDim a\na = 1\nb = 2", u"a"), u"#500");
  EXPECT_EQ(RunScript(u"Option Explicit\nSub S : Dim a : a = 1 : End Sub\nS", u"1"), u"1");
  EXPECT_EQ(RunScript(u"Const K = 5\nK = 6", u"K"), u"#501");
  EXPECT_EQ(RunScript(u"Dim a(2)\nReDim a(3)", u"1"), u"#10");
  EXPECT_EQ(RunScript(u"ReDim a(1, 2) : a(1, 2) = 7 : ReDim Preserve a(1, 4)", u"a(1, 2) & UBound(a, 2)"), u"74");
  EXPECT_EQ(RunScript(u"Dim a(1) : a(1) = 3 : Erase a", u"IsEmpty(a(1)) & UBound(a)"), u"True1");
  // A fixed array local leaves no mark on the frame slot the next call reuses.
  EXPECT_EQ(RunScript(u"Sub Fixed : Dim arr(3) : End Sub\n"
                      u"Function Plain : Dim y : y = 5 : y = Array(1) : ReDim Preserve y(2) : Plain = UBound(y) : End Function\n"
                      u"Fixed",
                      u"Plain()"),
            u"2");
}

TEST(EngineLang, DeclarationsInNestedBlocksBelongToTheirScope) {
  // Dim and Const anywhere in a procedure's blocks make locals: the globals
  // of the same names keep their values.
  const std::u16string setup =
      u"a = 1 : b = 2 : c = 3 : d = 4 : k = 5\n"
      u"Sub S(n)\n"
      u"  If n > 0 Then\n    Select Case n\n      Case 1\n        For i = 1 To 1\n"
      u"          Do\n            Dim a : a = 10\n            Exit Do\n          Loop\n"
      u"        Next\n      Case Else\n        Const k = 50\n    End Select\n"
      u"  Else\n    With Nothing\n      Dim b : b = 20\n    End With\n  End If\n"
      u"  If n = 1 Then Dim c Else Dim d\n"
      u"  c = 30 : d = 40\n"
      u"End Sub\n"
      u"S 1 : S 2 : S 0\n";
  EXPECT_EQ(RunScript(setup, u"a & b & c & d & k"), u"12345");
  // Top-level declarations inside blocks are globals.
  EXPECT_EQ(RunScript(u"Select Case 2\nCase 2\n  If True Then\n    Dim g : g = 7\n  End If\nEnd Select", u"g"), u"7");
  // A name declared twice is reported where it is declared again, however
  // deep in the blocks.
  Engine e;
  EXPECT_FALSE(e.AddCode(u"Function F(x)\n  If x Then\n    Dim v\n  Else\n    For i = 1 To 2\n"
                         u"      Const w = 1, v = 2\n    Next\n  End If\nEnd Function\n"));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 6);
  EXPECT_EQ(e.Error().Column, 20);
  EXPECT_FALSE(e.AddCode(u"Sub T(p)\n  Select Case p\n    Case 1 : Dim p\n  End Select\nEnd Sub\n"));
  EXPECT_EQ(e.Error().Number, 1041);
  EXPECT_EQ(e.Error().Line, 3);
  // A class's fields are no locals of its methods.
  EXPECT_EQ(RunScript(u"Class C\n  Dim f\n  Sub SetF : Dim t : t = 3 : f = t : End Sub\nEnd Class\n"
                      u"Set o = New C : o.SetF",
                      u"o.f & IsEmpty(t)"),
            u"3True");
}

TEST(EngineLang, LimitsRaiseErrorsInsteadOfCrashing) {
  EXPECT_EQ(RunScript(u"ReDim a(1000000000)", u"1"), u"#7");
  // Nesting far beyond what any build's stack allows.
  std::u16string deep = u"x = ";
  for (int i = 0; i < 200000; ++i) deep += u"(";
  deep += u"1";
  for (int i = 0; i < 200000; ++i) deep += u")";
  EXPECT_EQ(RunScript(deep, u"x"), u"#28");
  EXPECT_EQ(RunScript(u"Function F(n) : F = F(n + 1) + 1 : End Function", u"F(1)"), u"#28");
  EXPECT_EQ(RunScript(u"Class K\n  Public Default Function Me2 : Set Me2 = New K : End Function\nEnd Class", u"1"), u"1");
}

}  // namespace
}  // namespace vbs

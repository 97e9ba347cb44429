// The built-in functions as scripts call them: argument conversion, Null
// and optional arguments, result subtypes and error numbers.
#include <gtest/gtest.h>

#include <string>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

using namespace vbs;

namespace {

class LibBuiltins : public ::testing::Test {
 protected:
  std::u16string Ev(const char* expr) { return unittest::EvalResult(engine_, U16(expr)); }
  std::u16string Type(const std::string& expr) { return Ev(("TypeName(" + expr + ")").c_str()); }
  bool Run(const char* code) { return engine_.ExecuteStatement(U16(code)); }
  Engine engine_;
};

}  // namespace

TEST_F(LibBuiltins, StringFunctions) {
  EXPECT_EQ(Ev("Mid(\"abc\", 5)"), u"");
  EXPECT_EQ(Ev("Mid(\"abcdef\", 2, 100)"), u"bcdef");
  EXPECT_EQ(Ev("Mid(\"abc\", 0)"), u"#5");
  EXPECT_EQ(Ev("Left(\"abc\", -1)"), u"#5");
  EXPECT_EQ(Ev("Right(\"abc\", 10)"), u"abc");
  EXPECT_EQ(Ev("Len(12.5)"), u"4");
  EXPECT_EQ(Ev("Len(Null)"), u"<Null>");
  EXPECT_EQ(Ev("UCase(Null)"), u"<Null>");
  EXPECT_EQ(Ev("InStr(\"abc\", Null)"), u"<Null>");
  EXPECT_EQ(Ev("InStr(2, \"abcabc\", \"A\", vbTextCompare)"), u"4");
  EXPECT_EQ(Ev("InStr(0, \"abc\", \"a\")"), u"#5");
  EXPECT_EQ(Ev("InStrRev(\"a.b.c\", \".\")"), u"4");
  EXPECT_EQ(Ev("StrComp(\"a\", \"B\", 1) & StrComp(\"a\", \"B\")"), u"-11");
  EXPECT_EQ(Ev("Replace(\"a-b-c-d\", \"-\", \"+\", 3, 1)"), u"b+c-d");
  EXPECT_EQ(Ev("Replace(\"ABab\", \"b\", \"x\", 1, -1, vbTextCompare)"), u"Axax");
  EXPECT_EQ(Ev("UBound(Split(\"\"))"), u"-1");
  EXPECT_EQ(Ev("UBound(Split(\"a b  c\"))"), u"3");
  EXPECT_EQ(Ev("Join(Split(\"1,2,3\", \",\", 2), \"|\")"), u"1|2,3");
  EXPECT_EQ(Ev("Join(Array(1, \"x\", True))"), u"1 x True");
  EXPECT_EQ(Ev("Join(5)"), u"#13");
  EXPECT_EQ(Ev("Join(Filter(Array(\"ab\", \"cd\", \"AB\"), \"b\", True, 1), \",\")"), u"ab,AB");
  EXPECT_EQ(Ev("UBound(Filter(Array(\"ab\"), \"z\"))"), u"-1");
  EXPECT_EQ(Ev("String(3, \"xy\") & String(2, 65)"), u"xxxAA");
  EXPECT_EQ(Ev("Space(-1)"), u"#5");
  EXPECT_EQ(Ev("\"[\" & Trim(\"  a b  \") & \"][\" & LTrim(\" a \") & \"][\" & RTrim(\" a \") & \"]\""),
            u"[a b][a ][ a]");
  EXPECT_EQ(Ev("Asc(\"A\") + AscW(ChrW(8364)) + Asc(Chr(128))"), u"8557");
  EXPECT_EQ(Ev("Asc(\"\")"), u"#5");
  EXPECT_EQ(Ev("Chr(256)"), u"#5");
  EXPECT_EQ(Ev("AscW(ChrW(-1))"), u"-1");
  EXPECT_EQ(Ev("Len(ChrW(65535)) + LenB(\"ab\")"), u"5");
  EXPECT_EQ(Type("AscW(\"a\")"), u"Integer");
  EXPECT_EQ(Type("InStr(\"a\", \"a\")"), u"Long");
  EXPECT_EQ(Ev("Escape(\"a&b\") & Unescape(\"%u00E9\")"), u"a%26bé");
}

TEST_F(LibBuiltins, MathFunctions) {
  EXPECT_EQ(Ev("Round(2.5) & Round(3.5) & Round(-2.5)"), u"24-2");
  EXPECT_EQ(Ev("Round(1.23456, 3)"), u"1.235");
  EXPECT_EQ(Ev("Round(1, -1)"), u"#5");
  EXPECT_EQ(Type("Round(5)"), u"Integer");
  EXPECT_EQ(Type("Round(2.6)"), u"Double");
  EXPECT_EQ(Type("Round(\"2.6\")"), u"Double");
  EXPECT_EQ(Ev("Hex(-1) & \" \" & Hex(-32769) & \" \" & Hex(255) & \" \" & Hex(-1.4)"), u"FFFF FFFF7FFF FF FFFFFFFF");
  EXPECT_EQ(Ev("Hex(Null)"), u"<Null>");
  EXPECT_EQ(Ev("Hex(1E+10)"), u"#6");
  EXPECT_EQ(Ev("Oct(-1) & \" \" & Oct(64)"), u"177777 100");
  EXPECT_EQ(Ev("Int(-2.5) & Fix(-2.5) & Int(2.5)"), u"-3-22");
  EXPECT_EQ(Type("Int(5)") + Type("Int(2.5)") + Type("Fix(CCur(2.5))"), u"IntegerDoubleCurrency");
  EXPECT_EQ(Ev("Abs(-32768)"), u"32768");
  EXPECT_EQ(Type("Abs(-32768)"), u"Long");
  EXPECT_EQ(Ev("Abs(Null)"), u"<Null>");
  EXPECT_EQ(Ev("Sgn(-0.5) & Sgn(0) & Sgn(7)"), u"-101");
  EXPECT_EQ(Ev("Sqr(-1)"), u"#5");
  EXPECT_EQ(Ev("Log(0)"), u"#5");
  EXPECT_EQ(Ev("Exp(1000)"), u"#6");
  EXPECT_EQ(Ev("Sqr(\"x\")"), u"#13");
  EXPECT_EQ(Ev("Sqr(Null)"), u"#94");
  EXPECT_EQ(Ev("Atn(1) * 4"), u"3.14159265358979");
  // Currency keeps every digit through Abs, Int, Fix and Round.
  EXPECT_EQ(Ev("Abs(CCur(\"-922337203685477\"))"), u"922337203685477");
  EXPECT_EQ(Ev("Int(CCur(-2.5)) & Fix(CCur(-2.5)) & Round(CCur(\"2.345\"), 2) & \" \" & Round(CCur(-2.5))"), u"-3-22.34 -2");
  EXPECT_EQ(Ev("Round(1.5, 400) & FormatNumber(Round(2.675, 2), 3)"), u"1.52.680");
  EXPECT_EQ(Ev("Len(Replace(String(100000, \"a\"), \"a\", String(10000, \"b\")))"), u"#7");
  EXPECT_EQ(Ev("RGB(255, 128, 300)"), u"16744703");
  EXPECT_EQ(Type("Rnd"), u"Single");
}

TEST_F(LibBuiltins, DateFunctions) {
  EXPECT_EQ(Ev("DateSerial(2021, 2, 29)"), u"3/1/2021");
  EXPECT_EQ(Ev("TimeSerial(12, -15, 0)"), u"11:45:00 AM");
  EXPECT_EQ(Ev("DateAdd(\"d\", 1, #12/31/2020 6:00:00 PM#)"), u"1/1/2021 6:00:00 PM");
  EXPECT_EQ(Ev("DateAdd(\"x\", 1, Now)"), u"#5");
  EXPECT_EQ(Ev("DateAdd(\"yyyy\", 9000, #1/1/2000#)"), u"#5");
  EXPECT_EQ(Ev("DateDiff(\"d\", #1/1/2020#, #1/1/2021#)"), u"366");
  EXPECT_EQ(Ev("DateDiff(\"m\", #12/31/2020#, #1/1/2021#)"), u"1");
  EXPECT_EQ(Ev("DateDiff(\"n\", \"1/1/2020 10:00\", \"1/1/2020 9:30\")"), u"-30");
  EXPECT_EQ(Ev("DateDiff(\"d\", Null, Now)"), u"<Null>");
  EXPECT_EQ(Ev("DatePart(\"q\", #8/15/2020#) & DatePart(\"y\", #2/1/2020#) & DatePart(\"w\", #8/15/2020#, vbMonday)"),
            u"3326");
  EXPECT_EQ(Ev("Year(#3/4/2005#) & Month(#3/4/2005#) & Day(#3/4/2005#)"), u"200534");
  EXPECT_EQ(Ev("Hour(0.75) & Minute(\"10:42:07\") & Second(\"10:42:07\")"), u"18427");
  EXPECT_EQ(Type("Year(Now)") + Type("DateDiff(\"d\", Now, Now)") + Type("Now"), u"IntegerLongDate");
  EXPECT_EQ(Ev("Weekday(#1/3/2021#) & Weekday(#1/3/2021#, vbMonday)"), u"17");
  EXPECT_EQ(Ev("Weekday(Now, 8)"), u"#5");
  EXPECT_EQ(Ev("MonthName(13)"), u"#5");
  EXPECT_EQ(Ev("WeekdayName(2, True, vbSunday) & MonthName(12)"), u"MonDecember");
  EXPECT_EQ(Ev("DateValue(#6/7/2020 3:00:00 PM#) & \"|\" & TimeValue(#6/7/2020 3:00:00 PM#)"), u"6/7/2020|3:00:00 PM");
  EXPECT_EQ(Ev("FormatDateTime(#6/7/2020 3:04:05 PM#, vbShortDate) & \"|\" & FormatDateTime(#6/7/2020 3:04:05 PM#, vbLongTime)"),
            u"6/7/2020|3:04:05 PM");
  EXPECT_EQ(Ev("FormatDateTime(#6/7/2020#, 9)"), u"#5");
  EXPECT_EQ(Ev("Date = Int(Now)"), u"True");
  EXPECT_EQ(Ev("Timer >= 0 And Timer < 86400"), u"True");
}

TEST_F(LibBuiltins, Formatting) {
  EXPECT_EQ(Ev("FormatNumber(-1234.567)"), u"-1,234.57");
  EXPECT_EQ(Ev("FormatNumber(-0.25, 1, vbFalse, vbTrue)"), u"(.3)");
  EXPECT_EQ(Ev("FormatNumber(1234.5, 0, , , vbFalse)"), u"1235");
  EXPECT_EQ(Ev("FormatNumber(\"12\", 3)"), u"12.000");
  EXPECT_EQ(Ev("FormatNumber(\"abc\")"), u"#13");
  EXPECT_EQ(Ev("FormatCurrency(1234.5)"), u"$1,234.50");
  EXPECT_EQ(Ev("FormatCurrency(-5, 0, , vbFalse)"), u"-$5");
  EXPECT_EQ(Ev("FormatPercent(-0.1234, 2)"), u"-12.34%");
  EXPECT_EQ(Ev("FormatPercent(0.005, 0, vbFalse)"), u"1%");
}

TEST_F(LibBuiltins, ScriptItemsAndConstants) {
  EXPECT_EQ(Ev("ScriptEngine & ScriptEngineMajorVersion"), u"VBScript5");
  EXPECT_EQ(Ev("SetLocale(1041) & GetLocale"), u"10331033");
  EXPECT_EQ(Ev("Len(vbCrLf & vbTab & vbNullChar) & vbNullString"), u"4");
  EXPECT_EQ(Ev("vbYesNoCancel + vbQuestion + vbDefaultButton2"), u"291");
  EXPECT_EQ(Ev("vbOK & vbCancel & vbYes & vbNo"), u"1267");
  EXPECT_EQ(Ev("vbObjectError + 1"), u"-2147221503");
  EXPECT_EQ(Ev("vbFirstFourDays & vbSaturday & vbLongDate & vbTextCompare"), u"2711");
  EXPECT_EQ(Ev("CreateObject(\"No.Such\")"), u"#429");
  EXPECT_EQ(Type("CreateObject(\"Scripting.Dictionary\")"), u"Dictionary");
}

namespace {
struct FakeUi : UiHost {
  std::u16string lastPrompt, lastTitle;
  int lastButtons = -1;
  std::optional<std::u16string> answer;
  int MsgBox(std::u16string_view prompt, int buttons, std::u16string_view title) override {
    lastPrompt = prompt;
    lastButtons = buttons;
    lastTitle = title;
    return 7;
  }
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view,
                                         std::u16string_view def) override {
    lastPrompt = prompt;
    return answer ? answer : std::optional<std::u16string>(std::u16string(def) + u"!");
  }
};
}  // namespace

TEST_F(LibBuiltins, DialogsGoThroughTheHost) {
  FakeUi ui;
  engine_.SetUiHost(&ui);
  EXPECT_EQ(Ev("MsgBox(\"Go?\", vbYesNo, \"T\")"), u"7");
  EXPECT_EQ(ui.lastPrompt, u"Go?");
  EXPECT_EQ(ui.lastButtons, 4);
  EXPECT_EQ(ui.lastTitle, u"T");
  EXPECT_EQ(Ev("InputBox(\"Value\", \"T\", \"3\")"), u"3!");
  ui.answer = u"typed";
  EXPECT_EQ(Ev("InputBox(\"Value\")"), u"typed");
  ui.answer.reset();
  struct Cancel : FakeUi {
    std::optional<std::u16string> InputBox(std::u16string_view, std::u16string_view, std::u16string_view) override {
      return std::nullopt;
    }
  } cancel;
  engine_.SetUiHost(&cancel);
  EXPECT_EQ(Ev("IsEmpty(InputBox(\"Value\"))"), u"True");
}

TEST_F(LibBuiltins, ObjectsFromScripts) {
  ASSERT_TRUE(Run("Set d = CreateObject(\"Scripting.Dictionary\")\n"
                  "d.Add \"x\", 1 : d(\"y\") = 2 : d.Item(\"x\") = 5\n"
                  "s = \"\" : For Each k In d : s = s & k & d(k) : Next\n"));
  EXPECT_EQ(Ev("s"), u"x5y2");
  EXPECT_EQ(Ev("d.Count"), u"2");
  ASSERT_TRUE(Run("Set re = New RegExp : re.Pattern = \"(\\w)(\\d)\" : re.Global = True\n"
                  "Set ms = re.Execute(\"a1 b2\")\n"
                  "t = \"\" : For Each m In ms : t = t & m.FirstIndex & m.SubMatches(1) : Next\n"));
  EXPECT_EQ(Ev("t"), u"0132");
  EXPECT_EQ(Ev("re.Replace(\"a1 b2\", \"$2$1\")"), u"1a 2b");
  EXPECT_FALSE(Run("d.Add \"x\", 0"));
  EXPECT_EQ(engine_.Error().Number, 457);
}

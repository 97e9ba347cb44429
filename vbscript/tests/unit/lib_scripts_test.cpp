// Library behaviour that scripts depend on, checked through whole script
// fragments: Dictionary keys of every kind, text files line by line, regular
// expression flags, and the search and date functions at their edges.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "test_support.h"

using namespace vbs;

namespace {

class LibScripts : public ::testing::Test {
 protected:
  std::u16string Out(const std::string& code) { return unittest::ResultOf(engine_, Utf8ToUtf16(code)); }
  Engine engine_;
};

}  // namespace

TEST_F(LibScripts, DictionaryKeysOfEveryKind) {
  EXPECT_EQ(Out("Set d = CreateObject(\"Scripting.Dictionary\")\n"
                "d.Add 1, \"int\" : d.Add \"1\", \"text\" : d.Add #1/2/2000#, \"date\"\n"
                "d.Add True, \"bool\" : d.Add Empty, \"empty\" : d.Add 2.5, \"dbl\"\n"
                "result = d(CLng(1)) & d(\"1\") & d(#1/2/2000#) & d(True) & d(Empty) & d(CSng(2.5)) & d.Count"),
            u"inttextdateboolemptydbl6");
  // An object key is the object itself, not its text.
  EXPECT_EQ(Out("Set o = CreateObject(\"Scripting.Dictionary\")\n"
                "d.Add o, \"obj\"\n"
                "result = d(o) & TypeName(d.Keys()(6)) & d.Exists(\"obj\")"),
            u"objDictionaryFalse");
  EXPECT_EQ(Out("d.Remove 1 : result = d.Exists(1) & d.Exists(\"1\") & d.Count"), u"FalseTrue6");
  EXPECT_EQ(Out("d.Add Array(1), 1"), u"#13");
  EXPECT_EQ(Out("d.CompareMode = vbTextCompare"), u"#5");
  EXPECT_EQ(Out("Set t = CreateObject(\"Scripting.Dictionary\") : t.CompareMode = vbTextCompare\n"
                "t(\"Abc\") = 1 : t(\"ABC\") = 2\n"
                "result = t.Count & t(\"abc\") & t.Keys()(0)"),
            u"12Abc");
  EXPECT_EQ(Out("result = d.Item(\"missing\") & d.Count"), u"7");
  EXPECT_EQ(Out("d.Foo"), u"#438");
}

TEST_F(LibScripts, RegExpFlagsAndReplace) {
  EXPECT_EQ(Out("Set re = New RegExp : re.Pattern = \"^(\\w+)$\" : re.Global = True\n"
                "result = re.Execute(\"ab\" & vbCrLf & \"cd\").Count"),
            u"0");
  EXPECT_EQ(Out("re.Multiline = True : result = re.Execute(\"ab\" & vbCrLf & \"cd\").Count & re.Multiline"), u"2True");
  EXPECT_EQ(Out("re.Pattern = \"o\" : result = re.Replace(\"foo boo\", \"0\")"), u"f00 b00");
  EXPECT_EQ(Out("re.Global = False : result = re.Replace(\"foo\", \"[$`|$']\")"), u"f[f|o]o");
  EXPECT_EQ(Out("re.Pattern = \"(\\d+)\\.(\\d+)\" : result = re.Replace(\"v1.25\", \"$2.$1 $$ $3\")"), u"v25.1 $ $3");
  EXPECT_EQ(Out("re.Pattern = \"[A-Z]+\" : re.IgnoreCase = True : re.Global = True\n"
                "Set ms = re.Execute(\"ab1CD\")\n"
                "result = ms.Count & ms(1).Value & ms(1).FirstIndex & ms(1).Length"),
            u"2CD32");
  EXPECT_EQ(Out("re.Pattern = \"(\" : result = re.Test(\"x\")"), u"#5017");
  EXPECT_EQ(Out("re.Pattern = \"\" : result = re.Execute(\"ab\").Count"), u"3");
  EXPECT_EQ(Out("Set r2 = CreateObject(\"VBScript.RegExp\") : result = r2.Pattern & r2.Global & r2.IgnoreCase"),
            u"FalseFalse");
  EXPECT_EQ(Out("result = r2.Test(Null)"), u"True");   // Null reads as empty text; the empty pattern matches it
}

TEST_F(LibScripts, SearchAndSplitEdges) {
  EXPECT_EQ(Out("result = InStr(\"\", \"\") & InStr(4, \"abc\", \"\") & InStr(3, \"abc\", \"\") & InStrRev(\"abc\", \"\")"),
            u"0033");
  EXPECT_EQ(Out("result = InStrRev(\"abcabc\", \"c\", 5) & InStrRev(\"abc\", \"abcd\") & InStrRev(\"ABC\", \"b\", -1, 1)"),
            u"302");
  EXPECT_EQ(Out("result = InStrRev(\"abc\", \"a\", 0)"), u"#5");
  EXPECT_EQ(Out("a = Split(\"a--b--\", \"--\") : result = UBound(a) & \"[\" & a(2) & \"]\""), u"2[]");
  EXPECT_EQ(Out("a = Split(\"abc\", \"\") : result = UBound(a) & a(0)"), u"0abc");
  EXPECT_EQ(Out("a = Split(\"a b c\", \" \", 0) : result = UBound(a)"), u"-1");
  EXPECT_EQ(Out("result = Join(Filter(Split(\"x1 y2 x3\"), \"x\", False))"), u"y2");
  EXPECT_EQ(Out("result = Replace(\"abc\", \"\", \"x\") & Replace(\"abc\", \"b\", \"x\", 1, 0)"), u"abcabc");
  EXPECT_EQ(Out("result = Replace(\"abc\", \"b\", Null)"), u"#94");
  EXPECT_EQ(Out("result = IsNull(Replace(Null, \"b\", \"c\")) & IsNull(Mid(Null, 1)) & IsNull(Left(Null, 1))"),
            u"TrueTrueTrue");
  EXPECT_EQ(Out("result = Mid(\"abc\", 2, 0) & \"|\" & Mid(\"abc\", 1, -1)"), u"#5");
  EXPECT_EQ(Out("result = StrComp(\"abc\", \"abd\") & StrComp(\"b\", \"a\") & IsNull(StrComp(Null, \"a\"))"), u"-11True");
  EXPECT_EQ(Out("result = StrComp(\"a\", \"a\", 3)"), u"#5");
  EXPECT_EQ(Out("x = 42 : result = Len(x) & LCase(\"ÀBC\") & UCase(\"àbc\")"), u"2àbcÀBC");
}

TEST_F(LibScripts, DateIntervalsAndWeeks) {
  EXPECT_EQ(Out("d = #3/31/2021 11:59:59 PM#\n"
                "result = DateAdd(\"s\", 1, d) & \"|\" & DateAdd(\"n\", -60, d) & \"|\" & DateAdd(\"ww\", 1, d) & \"|\" & DateAdd(\"q\", -1, d)"),
            u"4/1/2021|3/31/2021 10:59:59 PM|4/7/2021 11:59:59 PM|12/31/2020 11:59:59 PM");
  EXPECT_EQ(Out("result = DateDiff(\"s\", #1/1/2021#, #1/1/2021 0:01:05#) & DateDiff(\"q\", #1/1/2020#, #12/31/2021#) & "
                "DateDiff(\"yyyy\", #1/1/2021#, #12/31/2020#) & DateDiff(\"ww\", #1/1/2021#, #1/31/2021#, vbMonday)"),
            u"657-14");
  // Week numbers under each first-week rule, for a year starting on Friday.
  EXPECT_EQ(Out("result = DatePart(\"ww\", #1/1/2021#) & DatePart(\"ww\", #1/3/2021#) & "
                "DatePart(\"ww\", #1/3/2021#, vbSunday, vbFirstFullWeek) & DatePart(\"ww\", #1/2/2021#, vbSunday, vbFirstFullWeek) & "
                "DatePart(\"ww\", #1/4/2021#, vbMonday, vbFirstFourDays)"),
            u"121521");
  EXPECT_EQ(Out("result = DatePart(\"h\", #5:06:07 PM#) & DatePart(\"n\", #5:06:07 PM#) & DatePart(\"s\", #5:06:07 PM#) & "
                "DatePart(\"d\", #2/29/2024#) & DatePart(\"m\", #2/29/2024#) & DatePart(\"yyyy\", #2/29/2024#)"),
            u"176729" u"22024");
  EXPECT_EQ(Out("result = DatePart(\"ww\", Now, 1, 4)"), u"#5");
  EXPECT_EQ(Out("result = DateSerial(2024, 2, 30) & \"|\" & DateSerial(2024, 0, 1) & \"|\" & DateSerial(2024, -11, 1)"),
            u"3/1/2024|12/1/2023|1/1/2023");
  EXPECT_EQ(Out("result = TimeSerial(0, 0, 3661) & \"|\" & TimeSerial(23, 60, 0) & \"|\" & TypeName(TimeSerial(1, 2, 3))"),
            u"1:01:01 AM|12/31/1899|Date");
  EXPECT_EQ(Out("result = DateSerial(10000, 1, 1)"), u"#5");
  EXPECT_EQ(Out("result = Year(\"not a date\")"), u"#13");
  EXPECT_EQ(Out("result = IsNull(Month(Null)) & IsNull(DatePart(\"d\", Null))"), u"TrueTrue");
}

class LibScriptFiles : public LibScripts {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.ExecuteStatement(U16("Set fso = CreateObject(\"Scripting.FileSystemObject\")\ndir = \"" +
                                             dir_.string() + "\"")));
  }
  unittest::ScratchFolder scratch_{"vbs_lib_scripts"};
  const std::filesystem::path& dir_ = scratch_.path();
};

TEST_F(LibScriptFiles, StreamPositionsAndModes) {
  EXPECT_EQ(Out("Set ts = fso.CreateTextFile(fso.BuildPath(dir, \"a.txt\"))\n"
                "ts.Write \"ab\" : c1 = ts.Column : ts.WriteLine \"c\" : ts.WriteLine : l = ts.Line : ts.Close\n"
                "result = c1 & l"),
            u"33");
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(fso.BuildPath(dir, \"a.txt\"), 1)\n"
                "ts.Skip 1 : c = ts.Read(1) & ts.Column : ts.SkipLine : e = ts.AtEndOfLine : ts.SkipLine\n"
                "result = c & e & ts.AtEndOfStream & ts.Line"),
            u"b3TrueTrue3");
  EXPECT_EQ(Out("ts.Write \"x\""), u"#54");
  EXPECT_EQ(Out("ts.Close : result = ts.ReadLine"), u"#54");
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(fso.BuildPath(dir, \"a.txt\"), 3)"), u"#5");
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(fso.BuildPath(dir, \"new.txt\"), 2, True) : ts.Write \"z\" : ts.Close\n"
                "result = fso.GetFile(fso.BuildPath(dir, \"new.txt\")).Size & fso.FileExists(dir & \"/new.txt\")"),
            u"1True");
  EXPECT_EQ(Out("Set ts = fso.CreateTextFile(fso.BuildPath(dir, \"empty.txt\")) : ts.Close\n"
                "Set ts = fso.OpenTextFile(fso.BuildPath(dir, \"empty.txt\")) : result = ts.AtEndOfStream"),
            u"True");
  EXPECT_EQ(Out("result = ts.ReadAll"), u"#62");
}

TEST_F(LibScriptFiles, Utf16AndFileObjects) {
  {
    std::ofstream out(dir_ / "u16.txt", std::ios::binary);
    out.write("\xFF\xFE" "A\0\xE5\x65\r\0\n\0B\0", 12);   // "A" U+65E5 CR LF "B"
  }
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(dir & \"/u16.txt\") : result = AscW(Mid(ts.ReadLine, 2)) & ts.ReadLine"),
            u"26085B");
  EXPECT_EQ(Out("Set f = fso.GetFile(dir & \"/u16.txt\")\n"
                "result = f.Name & f.Size & TypeName(f.DateLastModified) & fso.GetExtensionName(f.Path) & f.Attributes"),
            u"u16.txt12Datetxt32");
  EXPECT_EQ(Out("Set ts = f.OpenAsTextStream(1, -1) : result = Len(ts.ReadAll)"), u"5");
  EXPECT_EQ(Out("f.Name = \"renamed.txt\" : result = fso.FileExists(dir & \"/renamed.txt\") & fso.FileExists(dir & \"/u16.txt\")"),
            u"TrueFalse");
  EXPECT_EQ(Out("fso.CopyFile dir & \"/renamed.txt\", dir & \"/copy.txt\" : fso.MoveFile dir & \"/copy.txt\", dir & \"/moved.txt\"\n"
                "result = fso.FileExists(dir & \"/moved.txt\") & fso.FileExists(dir & \"/copy.txt\")"),
            u"TrueFalse");
  EXPECT_EQ(Out("Set sub1 = fso.CreateFolder(dir & \"/sub\") : sub1.CreateTextFile(\"in.txt\").Write \"12345\"\n"
                "result = fso.GetFolder(dir).SubFolders(\"sub\").Files.Count & sub1.Size & sub1.Name & (sub1.ParentFolder.Path = fso.GetFolder(dir).Path)"),
            u"15subTrue");
  EXPECT_EQ(Out("fso.DeleteFolder dir & \"/sub\" : result = fso.FolderExists(dir & \"/sub\")"), u"False");
  EXPECT_EQ(Out("fso.DeleteFolder dir & \"/sub\""), u"#76");
  // Wildcards in the last part of the name.
  EXPECT_EQ(Out("fso.CreateTextFile(dir & \"/k1.dat\").Close : fso.CreateTextFile(dir & \"/K22.DAT\").Close\n"
                "fso.DeleteFile dir & \"/k?.dat\" : a = fso.FileExists(dir & \"/k1.dat\") & fso.FileExists(dir & \"/K22.DAT\")\n"
                "fso.DeleteFile dir & \"/*.dat\" : result = a & fso.FileExists(dir & \"/K22.DAT\")"),
            u"FalseTrueFalse");
  EXPECT_EQ(Out("fso.DeleteFile dir & \"/*.dat\""), u"#53");
  EXPECT_EQ(Out("result = fso.FolderExists(fso.GetSpecialFolder(2).Path)"), u"True");
}

// The fuzz target's engine: none of its scripts can reach a file, whatever
// they do; the other objects stay, and so does the setting after Reset.
TEST(LibFileAccess, DeniedEngineCannotCreateTheFileSystemObject) {
  const std::u16string makeFso = u"Set f = CreateObject(\"Scripting.FileSystemObject\")";
  Engine open;
  EXPECT_TRUE(open.ExecuteStatement(makeFso));
  Engine closed;
  closed.SetFileAccess(FileAccess::Denied);
  EXPECT_FALSE(closed.ExecuteStatement(makeFso));
  EXPECT_EQ(closed.Error().Number, 429);
  EXPECT_TRUE(closed.ExecuteStatement(u"Set d = CreateObject(\"Scripting.Dictionary\") : d.Add 1, 2"));
  closed.Reset();
  EXPECT_FALSE(closed.ExecuteStatement(u"Set f = CreateObject(\"scripting.filesystemobject\")"));
  EXPECT_EQ(closed.Error().Number, 429);
}

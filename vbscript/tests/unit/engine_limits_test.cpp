// Inputs far beyond what any script needs, at full size: each must run or
// end in a VBScript error, never take the process down. Run under the
// sanitizer build, whose larger frames make the stack guards work hardest.
#include <gtest/gtest.h>

#include <string>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

std::u16string Repeat(std::u16string_view piece, int n) {
  std::u16string s;
  s.reserve(piece.size() * size_t(n));
  for (int i = 0; i < n; ++i) s += piece;
  return s;
}

using unittest::RunScript;

TEST(EngineLimits, LongOperatorChainsRunInTextOrder) {
  // Left to right: a wrong grouping would change every one of these.
  EXPECT_EQ(RunScript(u"x = 1" + Repeat(u" - 1", 120000), u"x"), u"-119999");
  EXPECT_EQ(RunScript(u"x = \"\"" + Repeat(u" & \"ab\"", 120000), u"Len(x) & Left(x, 3)"), u"240000aba");
  EXPECT_EQ(RunScript(u"x = True" + Repeat(u" And True", 120000) + u" And False", u"x"), u"False");
  EXPECT_EQ(RunScript(u"x = 2" + Repeat(u" + 3 * 2 - 5", 100000), u"x"), u"100002");
  // Mixed types: a number plus text adds, & joins, in the order written.
  EXPECT_EQ(RunScript(u"x = 1" + Repeat(u" + \"1\"", 1000) + Repeat(u" & 0", 1000), u"Len(x) & Left(x, 5)"),
            u"100410010");
  // The calculator's way in: one expression through Eval.
  Engine e;
  Variant v;
  ASSERT_TRUE(e.Eval(u"1" + Repeat(u" + 1", 120000), v));
  EXPECT_EQ(ToText(v), u"120001");
  ASSERT_TRUE(e.Eval(u"\"a\"" + Repeat(u" & \"a\"", 120000), v));
  EXPECT_EQ(v.str().size(), 120001u);
  // An error inside the chain still stops it.
  EXPECT_EQ(RunScript(u"", u"1" + Repeat(u" + 1", 100000) + u" / 0"), u"#11");
}

TEST(EngineLimits, EndlessNestingEndsInOutOfStackSpace) {
  const std::u16string members = Repeat(u".N", 40000);
  const std::u16string selfChain = u"Class K : Public Property Get N : Set N = Me : End Property : End Class\n"
                                   u"Set o = New K\n";
  EXPECT_EQ(RunScript(selfChain + u"x = o" + members, u"1"), u"#28");
  EXPECT_EQ(RunScript(selfChain, u"o" + members), u"#28");
  EXPECT_EQ(RunScript(u"a = Array(1)", u"a" + Repeat(u"(0)", 40000)), u"#28");
  EXPECT_EQ(RunScript(u"Function F(n) : F = n : End Function", Repeat(u"F(", 50000) + u"1" + Repeat(u")", 50000)),
            u"#28");
  EXPECT_EQ(RunScript(Repeat(u"If True Then\n", 100000) + Repeat(u"End If\n", 100000), u"1"), u"#28");
  // Blocks nested within what the parser takes, entered at the bottom of a
  // deep recursion.
  EXPECT_EQ(RunScript(u"Function R(n)\n" + Repeat(u"If True Then\n", 1500) + u"R = R(n + 1)\n" +
                    Repeat(u"End If\n", 1500) + u"End Function",
                u"R(1)"),
            u"#28");
}

// Builds a list of 200,000 instances, head last made; `link` says how a
// node holds the next one.
std::u16string ListScript(bool terminate, bool inArray) {
  std::u16string s = u"Dim released, firstIds : released = 0 : firstIds = \"\"\nClass Node\n";
  s += inArray ? u"  Public Links(0), Id\n" : u"  Public NextNode, Id\n";
  if (terminate)
    s += u"  Private Sub Class_Terminate\n    released = released + 1\n"
         u"    If released <= 3 Then firstIds = firstIds & Id & \" \"\n  End Sub\n";
  s += u"End Class\nDim head, n, i : Set head = Nothing\nFor i = 1 To 200000\n  Set n = New Node : n.Id = i\n";
  s += inArray ? u"  Set n.Links(0) = head\n" : u"  Set n.NextNode = head\n";
  s += u"  Set head = n\nNext\nSet n = Nothing\n";
  return s;
}

TEST(EngineLimits, FreeingLongChainsDoesNotRecurse) {
  for (bool inArray : {false, true}) {
    SCOPED_TRACE(inArray ? "links in arrays" : "links in fields");
    // Freed head first, then along the list.
    EXPECT_EQ(RunScript(ListScript(true, inArray) + u"Set head = Nothing", u"released & \": \" & firstIds"),
              u"200000: 200000 199999 199998 ");
    // Left alive to the end: freed with the engine.
    EXPECT_EQ(RunScript(ListScript(false, inArray), u"head.Id"), u"200000");
  }
  // Arrays in arrays and dictionaries in dictionaries.
  EXPECT_EQ(RunScript(u"a = Empty : For i = 1 To 200000 : a = Array(a) : Next : a = 0", u"a"), u"0");
  EXPECT_EQ(RunScript(u"Set d = Nothing\nFor i = 1 To 200000\n  Set e = CreateObject(\"Scripting.Dictionary\")\n"
                u"  Set e(\"next\") = d : Set d = e\nNext\nSet e = Nothing : Set d = Nothing",
                u"TypeName(d)"),
            u"Nothing");
}

TEST(EngineLimits, TerminateSeesItsOwnReleasesInOrder) {
  // Set x = Nothing inside Class_Terminate frees x there and then.
  const std::u16string s =
      u"Dim log : log = \"\"\n"
      u"Class Leaf\n  Private Sub Class_Terminate : log = log & \"leaf \" : End Sub\nEnd Class\n"
      u"Class Holder\n  Public Child\n"
      u"  Private Sub Class_Terminate : log = log & \"holder \" : Set Child = Nothing : log = log & \"after \" : End Sub\n"
      u"End Class\n"
      u"Set h = New Holder : Set h.Child = New Leaf : Set h = Nothing\n"
      u"Set h = New Holder : Set h.Child = New Holder : Set h.Child.Child = New Leaf : Set h = Nothing\n";
  EXPECT_EQ(RunScript(s, u"log"), u"holder leaf after holder holder leaf after after ");
}

}  // namespace
}  // namespace vbs

' The console host as scripts use it: arguments as a collection, the three
' standard streams, and the host's own properties.
Dim args, a, s, out, errOut, inp, line
Set args = WScript.Arguments
WScript.Echo "count", args.Count, args.Length, WScript.Arguments.Count
WScript.Echo "by default member", WScript.Arguments(0), args(1), WScript.Arguments.Item(2)
s = ""
For Each a In WScript.Arguments : s = s & "[" & a & "]" : Next
WScript.Echo s
WScript.Echo "named", args.Named.Count, args.Named("out"), args.Named.Exists("VERBOSE"), args.Named.Exists("x")
WScript.Echo "unnamed", args.Unnamed.Count, args.Unnamed(0), WScript.Arguments.Unnamed(1)
On Error Resume Next
a = WScript.Arguments(99)
WScript.Echo "beyond the end:", Err.Number
Err.Clear
On Error GoTo 0

' StdOut keeps Line and Column as a TextStream does.
Set out = WScript.StdOut
WScript.Echo "start", out.Line, out.Column
out.Write "abc"
WScript.Echo
WScript.Echo "after Write", out.Line, out.Column
out.WriteLine "line"
out.WriteBlankLines 2
WScript.Echo "after WriteLine", out.Line, out.Column
WScript.Echo
WScript.Echo "empty Echo above"

' StdErr is another stream; what went to StdOut before is not held back.
Set errOut = WScript.StdErr
errOut.Write "to standard error "
errOut.WriteLine "and its line end"

' StdIn: lines, characters and the rest.
Set inp = WScript.StdIn
WScript.Echo "first line [" & inp.ReadLine & "]", inp.Line
WScript.Echo "three characters [" & inp.Read(3) & "]", inp.Column, inp.AtEndOfLine
inp.SkipLine
WScript.Echo "rest [" & Replace(inp.ReadAll, vbLf, "|") & "]", inp.AtEndOfStream
On Error Resume Next
line = inp.ReadLine
WScript.Echo "past the end:", Err.Number, Err.Description
Err.Clear
out.ReadLine
WScript.Echo "reading StdOut:", Err.Number
Err.Clear
inp.Write "x"
WScript.Echo "writing StdIn:", Err.Number
Err.Clear
On Error GoTo 0

' The host itself.
WScript.Echo WScript.Name, "|", WScript, "|", WScript.Version
WScript.Echo WScript.ScriptName, WScript.ScriptFullName
WScript.Echo "full name is absolute:", Left(WScript.FullName, 1) = "/", WScript.Path & "/" = Left(WScript.FullName, Len(WScript.Path) + 1)
WScript.Echo "interactive:", WScript.Interactive
WScript.Interactive = False
WScript.Echo "interactive:", WScript.Interactive
Dim d : Set d = WScript.CreateObject("Scripting.Dictionary")
d.Add "k", "created by the host"
WScript.Echo d("k")
On Error Resume Next
Set d = WScript.CreateObject("No.Such.Thing")
WScript.Echo "unknown class:", Err.Number
On Error GoTo 0
WScript.Sleep 1
WScript.Echo "slept"

' The console host: Echo, StdOut, Arguments, ScriptName, MsgBox, InputBox, Quit.
WScript.Echo "one", 2, True, 1.5
WScript.Echo
WScript.Echo "after an empty line"
WScript.StdOut.Write "no line end, "
WScript.StdOut.Write "still the same line"
WScript.StdOut.WriteLine
WScript.StdOut.WriteLine "write line"
WScript.Echo "script name:", WScript.ScriptName
Dim args : Set args = WScript.Arguments
WScript.Echo "argument count:", args.Count
Dim i
For i = 0 To args.Count - 1
    WScript.Echo "argument", i, "[" & args(i) & "]"
Next
Dim a, s : s = ""
For Each a In WScript.Arguments
    s = s & a & "|"
Next
WScript.Echo "for each:", s, WScript.Arguments.Item(1)
Dim answer : answer = MsgBox("message text", vbOKCancel, "title")
WScript.Echo "msgbox returned:", answer, answer = vbOK
Dim typed : typed = InputBox("prompt")
WScript.Echo "inputbox:", "[" & typed & "]", TypeName(typed)
typed = InputBox("second prompt")
WScript.Echo "second inputbox:", "[" & typed & "]"
typed = InputBox("nothing left to read")
WScript.Echo "inputbox at end of input:", "[" & typed & "]", TypeName(typed)
WScript.Quit 3
WScript.Echo "not reached"

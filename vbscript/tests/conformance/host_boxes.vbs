' MsgBox and InputBox when nobody can be asked (input is not a terminal):
' each box shows its prompt, MsgBox answers with its default button, and
' InputBox takes a line of input, an empty line or the end of input giving
' its default text as Enter would.
WScript.Echo "ok only:", MsgBox("one", vbOKOnly)
WScript.Echo "yes no:", MsgBox("two", vbYesNo) = vbYes
WScript.Echo "yes no, second default:", MsgBox("three", vbYesNo + vbDefaultButton2) = vbNo
WScript.Echo "abort retry ignore, third default:", MsgBox("four", vbAbortRetryIgnore + vbDefaultButton3) = vbIgnore
WScript.Echo "yes no cancel, second default:", MsgBox("five", vbYesNoCancel + vbDefaultButton2 + vbQuestion)
WScript.Echo "retry cancel:", MsgBox("six", vbRetryCancel)
WScript.Echo "default past the last button:", MsgBox("seven", vbOKCancel + vbDefaultButton3)
WScript.Echo "typed: [" & InputBox("name?", "title", "anon") & "]"
WScript.Echo "empty line: [" & InputBox("again?", "title", "anon") & "]"
WScript.Echo "end of input: [" & InputBox("last?", , "anon") & "]"

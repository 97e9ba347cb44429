' On Error Resume Next, the Err object, Err.Raise and how errors cross calls.
On Error Resume Next
Dim x, r
x = 1 / 0
WScript.Echo "after error:", Err.Number, Err.Description, Err.Source
WScript.Echo "default property:", Err = 11, "" & Err
Err.Clear
WScript.Echo "cleared:", Err.Number, "[" & Err.Description & "]", "[" & Err.Source & "]"
Err.Raise 1000, "MySource", "My description"
WScript.Echo "raise:", Err.Number, Err.Source, Err.Description
Err.Clear
Err.Raise 5
WScript.Echo "standard text:", Err.Number, Err.Description
Err.Clear
Err.Raise 11
WScript.Echo "standard text 11:", Err.Description
Err.Clear
Err.Raise vbObjectError + 1, "Lib", "custom"
WScript.Echo "object error:", Err.Number, Err.Number - vbObjectError, Err.Description
Err.Clear
Err.Number = 6
WScript.Echo "number set:", Err.Number
Err.Clear
Err.Raise 1000
WScript.Echo "unknown number:", Err.Description
Err.Clear
' The statement that failed is abandoned, the next one runs
r = "unset"
r = 1 / 0
WScript.Echo "assignment skipped:", r
' A failed If condition resumes with the statement after it: the Then branch
x = 0
If 1 / 0 = 5 Then
    x = 1
Else
    x = 2
End If
WScript.Echo "if condition failed:", x
Err.Clear

' An error inside a procedure without its own handler ends that procedure
Dim trace : trace = ""
Function Fails()
    trace = trace & "a"
    Fails = "partial"
    x = 1 / 0
    trace = trace & "b"
    Fails = "complete"
End Function
r = "unset"
r = Fails()
WScript.Echo "propagated:", Err.Number, r, trace
Err.Clear
Sub Outer()
    trace = trace & "[outer"
    Inner
    trace = trace & " outer-end]"
End Sub
Sub Inner()
    trace = trace & " inner"
    Err.Raise 9
    trace = trace & " inner-end"
End Sub
trace = ""
Outer
WScript.Echo "through two levels:", Err.Number, trace
Err.Clear

' A procedure's own handler keeps the error inside it
Function Handles()
    On Error Resume Next
    x = 1 / 0
    Handles = "handled " & Err.Number
End Function
WScript.Echo "own handler:", Handles()

' On Error Resume Next resets Err; On Error GoTo 0 does as well
Err.Raise 5
On Error Resume Next
WScript.Echo "resume next clears:", Err.Number
Err.Raise 5
On Error GoTo 0
WScript.Echo "goto 0 clears:", Err.Number
On Error Resume Next

' Errors from the library and objects land in Err too
r = Mid("abc", 0)
WScript.Echo "library error:", Err.Number, Err.Description : Err.Clear
r = CreateObject("No.Such.Class")
WScript.Echo "create object:", Err.Number, Err.Description : Err.Clear
Dim undefinedArr
r = undefinedArr(0)
WScript.Echo "index Empty:", Err.Number : Err.Clear
undefinedArr.Foo
WScript.Echo "member of Empty:", Err.Number : Err.Clear

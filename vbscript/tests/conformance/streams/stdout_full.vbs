' Run with standard output on a full device. Echo fails where the held
' output is written (61), then the run reports what was lost.
WScript.Echo "important data"
On Error Resume Next
Dim i
For i = 1 To 100
    WScript.Echo String(1000, "x")
    If Err.Number <> 0 Then Exit For
Next
WScript.StdErr.WriteLine "echo failed with " & Err.Number & " " & Err.Description

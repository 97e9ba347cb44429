Option Explicit
' Under Option Explicit an undeclared name is a run-time error 500.
Dim declared
declared = 1
On Error Resume Next
declared = notDeclared + 1
WScript.Echo "read undeclared:", Err.Number : Err.Clear
notDeclaredEither = 5
WScript.Echo "assign undeclared:", Err.Number : Err.Clear
WScript.Echo "declared still works:", declared
Sub UsesLocal()
    Dim localName
    localName = 2
    WScript.Echo "local declared:", localName
    alsoUndeclared = 3
    WScript.Echo "not reached inside"
End Sub
UsesLocal
WScript.Echo "undeclared in procedure:", Err.Number

' Variables made by plain assignment at the top level (no Dim) are the same
' variable wherever a procedure, a method, Execute or Eval names them.
g = 5
Function Twice() : Twice = g + g : End Function
WScript.Echo "read twice:", Twice()

q = 100
Function WriteThenRead() : q = 5 : WriteThenRead = q + q : End Function
WScript.Echo "write then read:", WriteThenRead(), q

Set gd = CreateObject("Scripting.Dictionary")
Sub AddTwo : gd.Add "a", 1 : gd.Add "b", 2 : End Sub
AddTwo
WScript.Echo "object global:", gd.Count, gd("b")

' Created by code below the procedure, before it is called
Function UsesLater() : UsesLater = later * 2 + later : End Function
later = 7
WScript.Echo "assigned after the procedure:", UsesLater()

' Before the global exists the name is the procedure's own local; once the
' top level made it, the same code reaches the global.
Function Bump() : counter = counter + 1 : Bump = counter : End Function
WScript.Echo "no global yet:", Bump(), Bump(), IsEmpty(counter)
counter = 10
WScript.Echo "global now:", Bump(), Bump(), counter

' Arrays by ReDim, loop counters and elements written from a procedure
ReDim arr(2)
For k = 0 To 2 : arr(k) = k * 10 : Next
Sub FillArr : arr(1) = arr(1) + 1 : arr(2) = arr(1) + arr(2) : End Sub
FillArr
WScript.Echo "array global:", arr(0), arr(1), arr(2), k
Sub Grow : ReDim Preserve arr(3) : arr(3) = UBound(arr) : End Sub
Grow
WScript.Echo "redim from a procedure:", UBound(arr), arr(3)

' ByRef through a procedure that reaches the global by name
Sub Inc(ByRef x) : x = x + 1 : End Sub
Sub IncG : Inc g : Inc g : End Sub
IncG
WScript.Echo "byref of the global:", g

' Class methods and property procedures
Class Acc
  Public Sub Add(n) : total = total + n : End Sub
  Public Property Get Value : Value = total : End Property
End Class
total = 0
Set ac = New Acc
ac.Add 3 : ac.Add 4
WScript.Echo "from a class:", ac.Value, total

' Execute and Eval inside a procedure, where the procedure also names it
Function ViaEval() : h = h + 1 : ViaEval = Eval("h * 100") + h : End Function
h = 1
WScript.Echo "eval in procedure:", ViaEval(), h
Sub ViaExecute : e2 = e2 + 1 : Execute "e2 = e2 * 10" : End Sub
e2 = 2
ViaExecute
WScript.Echo "execute in procedure:", e2
Sub ExecuteOnly : Execute "e3 = e3 & ""+""" : End Sub
e3 = "x"
ExecuteOnly : ExecuteOnly
WScript.Echo "execute only:", e3

' Procedures and globals from separately compiled texts
ExecuteGlobal "Function FromText() : FromText = other + other : End Function"
ExecuteGlobal "other = 8"
WScript.Echo "another text:", FromText()
ExecuteGlobal "Sub SetOther : other = other - 1 : End Sub"
SetOther : SetOther
WScript.Echo "written from another text:", other, Eval("other")

' A name no global has stays local to each call
Sub LocalOnly : tmpv = 42 : End Sub
LocalOnly
WScript.Echo "local stays local:", IsEmpty(tmpv)

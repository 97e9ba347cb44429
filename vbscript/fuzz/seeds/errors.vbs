On Error Resume Next
x = 1 / 0 : y = CInt("q") : ReDim z(1000000000) : s = String(1000000000, "x")
Err.Raise vbObjectError + 5, "src", "desc"
z = Err.Number & Err.Description
Execute "w = 1 +"
Function F(n) : F = F(n + 1) : End Function
q = F(1)
On Error GoTo 0

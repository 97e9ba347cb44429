' Mod, \ and & on whole numbers, read from variables, literals and
' elements: the subtype of each result and the errors they give.
Dim a, b, c, r, arr(2)
a = 17 : b = 5 : c = CLng(100000)
r = a Mod b : WScript.Echo "Integer Mod:", r, TypeName(r)
r = a \ b : WScript.Echo "Integer \:", r, TypeName(r)
r = c Mod 7 : WScript.Echo "Long Mod:", r, TypeName(r)
r = c \ a : WScript.Echo "Long \:", r, TypeName(r)
r = CLng(17) Mod b : WScript.Echo "Long Mod Integer:", r, TypeName(r)
r = -17 Mod 5 : WScript.Echo "negative Mod:", r, TypeName(r)
r = 17 Mod -5 : WScript.Echo "Mod negative:", r, TypeName(r)
r = -17 \ 5 : WScript.Echo "negative \:", r, TypeName(r)
r = CInt(-32768) \ -1 : WScript.Echo "Integer \ -1:", r, TypeName(r)
r = CInt(-32768) Mod -1 : WScript.Echo "Integer Mod -1:", r, TypeName(r)
r = CLng(-2147483647) \ -1 : WScript.Echo "Long \ -1:", r, TypeName(r)
r = CByte(200) Mod CByte(7) : WScript.Echo "Byte Mod:", r, TypeName(r)
r = CByte(200) \ 7 : WScript.Echo "Byte \ Integer:", r, TypeName(r)
r = True Mod 2 : WScript.Echo "Boolean Mod:", r, TypeName(r)
r = 17.6 Mod 5 : WScript.Echo "Double Mod:", r, TypeName(r)
r = "17" \ 5 : WScript.Echo "text \:", r, TypeName(r)
r = Empty Mod 3 : WScript.Echo "Empty Mod:", r, TypeName(r)
r = Null Mod 3 : WScript.Echo "Null Mod:", IsNull(r)
arr(0) = 29 : arr(1) = CLng(6)
r = arr(0) Mod arr(1) : WScript.Echo "elements:", r, TypeName(r)
On Error Resume Next
r = a Mod 0 : WScript.Echo "Mod 0:", Err.Number : Err.Clear
r = c \ 0 : WScript.Echo "\ 0:", Err.Number : Err.Clear
r = CLng(-2147483647 - 1) \ -1 : WScript.Echo "Long min \ -1:", Err.Number : Err.Clear
r = CLng(-2147483647 - 1) Mod -1 : WScript.Echo "Long min Mod -1:", Err.Number, r : Err.Clear
r = CDbl(3000000000) Mod 7 : WScript.Echo "beyond Long:", Err.Number : Err.Clear
On Error GoTo 0

' & with a whole number on either side
Dim k, n, m
k = "k" : n = 42 : m = CLng(-123456)
r = k & n : WScript.Echo "text & Integer:", r, TypeName(r), Len(r)
r = n & k : WScript.Echo "Integer & text:", r, Len(r)
r = k & m : WScript.Echo "text & Long:", r, Len(r)
r = m & k : WScript.Echo "Long & text:", r
r = "" & CInt(-32768) : WScript.Echo "empty text & Integer:", r, TypeName(r), Len(r)
r = k & CLng(-2147483647 - 1) : WScript.Echo "Long min:", r
r = k & 0 : WScript.Echo "zero:", r
r = n & m : WScript.Echo "two numbers:", r, TypeName(r)
r = Null & n : WScript.Echo "Null & Integer:", r, TypeName(r)
r = Empty & n : WScript.Echo "Empty & Integer:", r, TypeName(r)
r = k & 1.5 : WScript.Echo "text & Double:", r
r = k & True : WScript.Echo "text & Boolean:", r
r = k & CByte(7) : WScript.Echo "text & Byte:", r
r = ChrB(65) & 66 : WScript.Echo "byte text & Integer:", LenB(r), AscB(MidB(r, 2, 1)), AscB(MidB(r, 3, 1))
r = String(1000, "x") & n : WScript.Echo "long text:", Len(r), Right(r, 3)
Dim total : total = ""
For n = 1 To 5 : total = total & n : Next
WScript.Echo "in a loop:", total

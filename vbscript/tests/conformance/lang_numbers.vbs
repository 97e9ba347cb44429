' Number edge cases: loop counters with fractional steps, modified loop
' variables, negative operands of \ and Mod, and text of computed values.
Dim i, n, last
n = 0
For i = 0 To 1 Step 0.1
    n = n + 1
    last = i
Next
WScript.Echo "fractional step:", n, last, last = 1
n = 0
For i = 1 To 10
    n = n + 1
    i = i + 1
Next
WScript.Echo "modified counter:", n, i
n = 0
For i = 10 To 1 Step -3 : n = n + i : Next
WScript.Echo "negative step sum:", n, i
WScript.Echo "negative operands:", -7.5 \ 2, -7.5 Mod 2, -6.5 \ 1, 7 \ -2, -7 Mod -3, 2147483647 \ 1, TypeName(-7.5 \ 2)
WScript.Echo "computed text:", 0.1 * 3, 1 / 7, 100 / 3, 1E+16 + 1, 2 ^ 53, 2 ^ 0.5, 10 ^ -5
WScript.Echo "single text:", CSng(0.1), CSng(1) / CSng(3) * 3, CSng(123456789), CSng(0.000012345)
WScript.Echo "currency math:", CCur(0.1) + CCur(0.2), CCur(10) / 4, CCur(1.23456), CCur(922337203685477)
WScript.Echo "integer range:", -32768 + 0, TypeName(CInt(-32768)), CInt(-32768) - 1, TypeName(CInt(-32768) - 1), CLng(-2147483647) - 1, TypeName(CLng(-2147483647) - 1)
WScript.Echo "long overflow:", TypeName(CLng(-2147483647) - 2), 65536 * 32768, TypeName(65536 * 32768), TypeName(46341 * 46341)
WScript.Echo "string numbers:", "1e2" + 0, "&H1F" + 0, " 5 " * 2, "0.5" * "4", "-3" - "-3"
WScript.Echo "powers:", (-8) ^ 3, (-2) ^ -1, 1.7976931348623157E+308, TypeName(#1/1/2000# * 2), #1/1/2000# * 2
On Error Resume Next
Dim p
p = (-8) ^ (1 / 3)
WScript.Echo "fractional power of a negative:", Err.Number
Err.Clear
p = 2 ^ 1024
WScript.Echo "power overflow:", Err.Number
Err.Clear

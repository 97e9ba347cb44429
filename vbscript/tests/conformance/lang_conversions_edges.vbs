' Conversions at the edges of their types, as scripts and files use them.
WScript.Echo "booleans as written to files:", CBool("#TRUE#"), CBool("#FALSE#"), CBool(" #true# ")
WScript.Echo "byte of a boolean:", CByte(True), CByte(False)
WScript.Echo "16-bit hex text:", CInt("&HFFFF"), CInt("&H8000"), CInt("&H7FFF"), CInt("&O177777"), CLng("&HFFFF")
WScript.Echo "currency extremes:", CCur("922337203685477.5807"), CCur("-922337203685477.5808")
WScript.Echo "currency rounding:", CCur("1.23455"), CCur("1.23465"), CCur("-0.00005"), CCur("2.000051")
WScript.Echo "date range:", CDate(2958465.99998843), CDate(-657434.5), CDbl(CDate(-657434.5))
WScript.Echo "negated literals:", TypeName(-32768), Hex(-32768), TypeName(-32767), TypeName(-2147483648), TypeName(-&H8000)
On Error Resume Next
r = Sgn(Null) : WScript.Echo "Sgn(Null):", Err.Number : Err.Clear
r = CCur("922337203685477.5808") : WScript.Echo "currency past its maximum:", Err.Number : Err.Clear
r = CDate(2958466) : WScript.Echo "after 9999:", Err.Number : Err.Clear
r = CDate(-657435) : WScript.Echo "before 100:", Err.Number : Err.Clear
r = CInt("&H10000") : WScript.Echo "hex past 16 bits:", Err.Number : Err.Clear
r = CByte(-1) : WScript.Echo "byte of -1:", Err.Number : Err.Clear

' What the script printed is all there before the error that ends it.
WScript.Echo "printed before the error"
WScript.StdOut.Write "no line end yet"
Class SelfRef : Public Property Get N : Set N = Me : End Property : End Class
Dim o : Set o = New SelfRef
Execute "x = o" & Replace(String(40000, "#"), "#", ".N")
WScript.Echo "not reached"

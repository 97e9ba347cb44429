' Two procedures of the same name: the second one is the error.
Function Area(r)
    Area = r * r
End Function
WScript.Echo "never printed: the file does not compile"
Function Area(w, h)
    Area = w * h
End Function

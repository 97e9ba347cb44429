' Data files are read as UTF-8, or as CP932 when they are not valid UTF-8,
' and lines may end in LF alone.
Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Function ReadLines(name)
    Dim ts, s
    Set ts = fso.OpenTextFile(name)
    s = ""
    Do Until ts.AtEndOfStream
        s = s & "[" & ts.ReadLine & "]"
    Loop
    ts.Close
    ReadLines = s
End Function
Function Codes(text)
    Dim i, s
    For i = 1 To Len(text)
        s = s & AscW(Mid(text, i, 1)) & " "
    Next
    Codes = s
End Function
Dim ts, firstLine, fields
For Each name In Array("cp932.txt", "utf8.txt")
    Set ts = fso.OpenTextFile(name)
    firstLine = ts.ReadLine
    fields = Split(firstLine, ",")
    WScript.Echo name & ":", Len(firstLine), Codes(fields(0)), CDbl(fields(1)) * 2, Codes(Left(ts.ReadLine, 2))
    ts.Close
Next
WScript.Echo "lf line ends:", ReadLines("lf.txt")
Set ts = fso.OpenTextFile("lf.txt")
WScript.Echo "readall keeps them:", Len(ts.ReadAll)
ts.Close

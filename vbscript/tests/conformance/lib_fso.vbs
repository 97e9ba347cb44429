' FileSystemObject: folders, text files written and read back (CR LF line
' ends, UTF-8 without byte-order mark), path helpers and the file errors.
' Everything happens below the current folder, which the runner makes fresh.
Const ForReading = 1, ForWriting = 2, ForAppending = 8
Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim dir : dir = fso.BuildPath(fso.GetAbsolutePathName("."), "data")
WScript.Echo "folder before:", fso.FolderExists(dir)
fso.CreateFolder dir
WScript.Echo "folder after:", fso.FolderExists(dir), fso.GetFolder(dir).Name, TypeName(fso)

Dim path : path = fso.BuildPath(dir, "t.txt")
Dim ts : Set ts = fso.CreateTextFile(path, True)
ts.WriteLine "first line"
ts.Write "second"
ts.Write " line"
ts.WriteBlankLines 2   ' the first one ends "second line"
ts.WriteLine "last"
ts.Close
WScript.Echo "file:", fso.FileExists(path), fso.GetFile(path).Size, fso.GetFile(path).Name, fso.GetFile(path).ParentFolder.Name, fso.GetFolder(dir).Files.Count

Set ts = fso.OpenTextFile(path, ForReading)
Do Until ts.AtEndOfStream
    WScript.Echo ts.Line & ": [" & ts.ReadLine & "]"
Loop
ts.Close
Set ts = fso.OpenTextFile(path)
Dim all : all = ts.ReadAll
ts.Close
WScript.Echo "readall:", Len(all), Replace(all, vbCrLf, "|")
Set ts = fso.OpenTextFile(path, ForReading)
WScript.Echo "read:", ts.Read(5), ts.AtEndOfLine
ts.Skip 1
WScript.Echo "skip:", ts.Read(4), ts.AtEndOfLine
ts.SkipLine
WScript.Echo "skipline:", ts.ReadLine, ts.Line
ts.Close

Set ts = fso.OpenTextFile(path, ForAppending)
ts.Write "appended"
ts.Close
Set ts = fso.OpenTextFile(path, ForReading)
all = ts.ReadAll
ts.Close
WScript.Echo "append:", Replace(all, vbCrLf, "|")
Set ts = fso.OpenTextFile(path, ForWriting)
ts.WriteLine "replaced"
ts.Close
WScript.Echo "overwrite:", fso.GetFile(path).Size

Dim created : created = fso.BuildPath(dir, "new.txt")
Set ts = fso.OpenTextFile(created, ForWriting, True)
ts.Write ChrW(233) & ChrW(26085)
ts.WriteLine
ts.Close
Set ts = fso.OpenTextFile(created)
Dim u : u = ts.ReadLine
ts.Close
WScript.Echo "utf-8:", fso.GetFile(created).Size, Len(u), AscW(Left(u, 1)), AscW(Right(u, 1))
WScript.Echo "files:", fso.GetFolder(dir).Files.Count

WScript.Echo "names:", fso.GetBaseName("a/b/c.txt"), fso.GetExtensionName("c.tar.gz"), "[" & fso.GetExtensionName("noext") & "]", fso.GetFileName("a/b/c.txt"), fso.GetParentFolderName("a/b/c.txt"), fso.GetBaseName("c.tar.gz")

On Error Resume Next
Set ts = fso.OpenTextFile(fso.BuildPath(dir, "missing.txt"), ForReading)
WScript.Echo "open missing:", Err.Number, Err.Description : Err.Clear
Set ts = fso.CreateTextFile(path, False)
WScript.Echo "create existing:", Err.Number, Err.Description : Err.Clear
fso.CreateFolder dir
WScript.Echo "folder exists:", Err.Number : Err.Clear
Set ts = fso.OpenTextFile(path, ForReading)
Dim lineText : lineText = ts.ReadLine
lineText = ts.ReadLine
WScript.Echo "read past end:", Err.Number, Err.Description : Err.Clear
ts.Close
fso.DeleteFile path
WScript.Echo "deleted:", Err.Number, fso.FileExists(path) : Err.Clear
fso.DeleteFile path
WScript.Echo "delete missing:", Err.Number : Err.Clear

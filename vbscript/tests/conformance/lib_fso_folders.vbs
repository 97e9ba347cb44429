' Folders: listing files and subfolders, and the errors for missing paths.
Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim root : root = fso.GetAbsolutePathName("tree")
fso.CreateFolder root
fso.CreateFolder fso.BuildPath(root, "sub1")
fso.CreateFolder fso.BuildPath(root, "sub2")
Dim name, ts
For Each name In Array("b.txt", "a.csv", "c.vbs")
    Set ts = fso.CreateTextFile(fso.BuildPath(root, name))
    ts.Write name
    ts.Close
Next
Dim folder : Set folder = fso.GetFolder(root)
WScript.Echo "counts:", folder.Files.Count, folder.SubFolders.Count, folder.Name
' Listing order is the file system's, so sort the names before printing
Dim names(), f, i, j, tmp, n
n = 0
ReDim names(folder.Files.Count - 1)
For Each f In folder.Files
    names(n) = f.Name & "=" & f.Size
    n = n + 1
Next
For i = 0 To n - 2
    For j = i + 1 To n - 1
        If names(j) < names(i) Then tmp = names(i) : names(i) = names(j) : names(j) = tmp
    Next
Next
WScript.Echo "files:", Join(names, " ")
Dim subNames : subNames = ""
For Each f In folder.SubFolders
    subNames = subNames & f.Name & ";"
Next
WScript.Echo "subfolders:", Len(subNames), InStr(subNames, "sub1;") > 0, InStr(subNames, "sub2;") > 0
WScript.Echo "parent:", fso.GetFolder(fso.BuildPath(root, "sub1")).ParentFolder.Name, fso.GetFile(fso.BuildPath(root, "a.csv")).ParentFolder.Name
WScript.Echo "exists:", fso.FileExists(fso.BuildPath(root, "a.csv")), fso.FolderExists(fso.BuildPath(root, "a.csv")), fso.FileExists(root), fso.FolderExists(fso.BuildPath(root, "sub2"))

On Error Resume Next
fso.CreateFolder fso.BuildPath(fso.BuildPath(root, "missing"), "deeper")
WScript.Echo "create below a missing folder:", Err.Number, Err.Description : Err.Clear
Set f = fso.GetFile(fso.BuildPath(root, "nope.txt"))
WScript.Echo "GetFile missing:", Err.Number, Err.Description : Err.Clear
Set f = fso.GetFolder(fso.BuildPath(root, "nope"))
WScript.Echo "GetFolder missing:", Err.Number, Err.Description : Err.Clear

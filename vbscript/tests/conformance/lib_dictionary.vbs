' Scripting.Dictionary: adding, reading, renaming and removing keys,
' insertion order, comparison mode and its errors.
Dim d : Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1
d.Add "b", "two"
d("c") = 3
WScript.Echo "items:", d.Count, d("a"), d.Item("b"), d("c"), TypeName(d)
WScript.Echo "exists:", d.Exists("a"), d.Exists("A"), d.Exists("z")
d("a") = 10
WScript.Echo "overwrite:", d("a"), d.Count
' Reading a missing key adds it with an Empty value
Dim v : v = d("new")
WScript.Echo "read creates:", d.Exists("new"), d.Count, IsEmpty(d("new"))
WScript.Echo "keys:", Join(d.Keys, ","), TypeName(d.Keys), UBound(d.Items)
Dim it : it = d.Items
WScript.Echo "items array:", it(0), it(1), it(2)
d.Key("a") = "aa"
WScript.Echo "renamed:", Join(d.Keys, ","), d("aa"), d.Exists("a")
d.Remove "b"
WScript.Echo "removed:", Join(d.Keys, ","), d.Count
Dim k, s : s = ""
For Each k In d
    s = s & k & "=" & d(k) & ";"
Next
WScript.Echo "for each:", s
' Keys keep their subtype: the number 1 and the text "1" differ
d.Add 1, "number key"
WScript.Echo "subtype keys:", d.Exists(1), d.Exists("1"), d(1)
' Objects as values
Dim inner : Set inner = CreateObject("Scripting.Dictionary")
inner.Add "x", "inner value"
Set d("obj") = inner
WScript.Echo "object value:", d("obj")("x"), d("obj").Count, IsObject(d("obj"))
d.RemoveAll
WScript.Echo "remove all:", d.Count, UBound(d.Keys)

' Items gives a copy; values update in place through the default Item
Dim u : Set u = CreateObject("Scripting.Dictionary")
u("a") = 1 : u("b") = 2
Dim x, total : total = 0
For Each x In u.Items : total = total + x : Next
u("a") = u("a") + 10
Dim copy : copy = u.Items
copy(0) = 99
WScript.Echo "items:", total, u("a"), copy(0)
u.Add "list", Array(1, 2, 3)
WScript.Echo "array value:", UBound(u("list")), u("list")(2)
With u
    .Add "c", 3
    WScript.Echo "with:", .Count, .Item("c"), .Exists("c")
End With

Dim t : Set t = CreateObject("Scripting.Dictionary")
WScript.Echo "default compare mode:", t.CompareMode
t.CompareMode = vbTextCompare
t.Add "Key", 1
WScript.Echo "text compare:", t.Exists("KEY"), t("kEy"), t.CompareMode

On Error Resume Next
t.Add "KEY", 2
WScript.Echo "duplicate add:", Err.Number, Err.Description : Err.Clear
t.Remove "missing"
WScript.Echo "remove missing:", Err.Number : Err.Clear
t.CompareMode = vbBinaryCompare
WScript.Echo "compare mode when not empty:", Err.Number, t.CompareMode : Err.Clear
t.Key("nothere") = "x"
WScript.Echo "rename missing:", Err.Number : Err.Clear

' Scripting.Dictionary under load: thousands of keys added, removed,
' renamed and added again, keys of every subtype, and text compare mode.
Dim d, i, s, k, n
Set d = CreateObject("Scripting.Dictionary")
For i = 1 To 5000
    d.Add "key" & i, i * 2
Next
' Remove all but every 500th: the removed places are reused and reclaimed
For i = 1 To 5000
    If i Mod 500 <> 0 Then d.Remove "key" & i
Next
WScript.Echo "after removal:", d.Count, Join(d.Keys, ","), d("key1500")
n = 0
For i = 1 To 5000
    If d.Exists("key" & i) Then n = n + 1
Next
WScript.Echo "still found:", n, d.Exists("key1"), d.Exists("key5000")
' Added again: they go after the survivors, in order
For i = 1 To 3
    d.Add "key" & i, "again" & i
Next
WScript.Echo "added again:", d.Count, Join(d.Keys, ",")
WScript.Echo "items:", Join(d.Items, ",")
' Renaming keeps the place in the order; the old name is free again
d.Key("key1000") = "renamed"
d.Add "key1000", "new"
WScript.Echo "renamed:", d("renamed"), d("key1000"), d.Count, Join(d.Keys, ",")
On Error Resume Next
d.Key("key2") = "renamed"
WScript.Echo "rename onto a key:", Err.Number : Err.Clear
d.Key("key999") = "x"
WScript.Echo "rename a missing key:", Err.Number : Err.Clear
d.Remove "key999"
WScript.Echo "remove a missing key:", Err.Number : Err.Clear
On Error GoTo 0
' Many renames in a row
For i = 1 To 2000
    d.Key("renamed") = "r" & (i Mod 7)
    d.Key("r" & (i Mod 7)) = "renamed"
Next
WScript.Echo "after renames:", d("renamed"), d.Count

' Numbers are one key whatever their subtype; text, Boolean and Date differ
Dim e : Set e = CreateObject("Scripting.Dictionary")
e.Add 1, "one"
WScript.Echo "numbers:", e(CDbl(1)), e(CLng(1)), e(CByte(1)), e(CCur(1)), e(CSng(1)), e.Count
WScript.Echo "text and Boolean:", e.Exists("1"), e.Exists(True), e.Exists(CDate(1)), e.Count
e.Add 0, "zero"
WScript.Echo "minus zero:", e(-0.5 * 0), e.Exists(CDbl("-0")), e.Count
e.Add True, "true"
e.Add -1, "minus one"
e.Add CDate(2), "date"
e.Add 2, "two"
WScript.Echo "Boolean, Date:", e(True), e(-1), e(CDate(2)), e(2), e.Count
e.Add Empty, "empty"
e.Add Null, "null"
e.Add "", "empty text"
WScript.Echo "Empty, Null, """":", e(Empty), e(Null), e(""), e.Count
Dim o1, o2
Set o1 = CreateObject("Scripting.Dictionary")
Set o2 = CreateObject("Scripting.Dictionary")
e.Add o1, "first object"
e.Add o2, "second object"
WScript.Echo "objects:", e(o1), e(o2), e.Count
On Error Resume Next
e.Add CLng(2), "again"
WScript.Echo "duplicate number:", Err.Number : Err.Clear
e.Add Array(1), "array"
WScript.Echo "array key:", Err.Number, e.Count : Err.Clear
On Error GoTo 0
' Long keys and keys that differ only at the end
Dim long1, long2
long1 = String(300, "x") & "a"
long2 = String(300, "x") & "b"
e(long1) = 1
e(long2) = 2
WScript.Echo "long keys:", e(long1), e(long2), e.Exists(String(300, "x"))

' Text mode: case is ignored everywhere, the first spelling is kept
Dim t : Set t = CreateObject("Scripting.Dictionary")
t.CompareMode = vbTextCompare
For i = 1 To 1000
    t.Add "Name" & i, i
Next
WScript.Echo "text mode:", t("NAME500"), t("name1000"), t.Exists("nAmE1"), t.Count
For i = 1 To 1000 Step 2
    t.Remove "NAME" & i
Next
WScript.Echo "text mode removal:", t.Count, t.Exists("name1"), t.Exists("name2")
t.Key("NAME2") = "Renamed"
WScript.Echo "text mode rename:", t("RENAMED"), t.Exists("name2"), Join(Array(t.Keys()(0), t.Keys()(1)), ",")
t.Add "ÄÖÜ", "umlauts"
WScript.Echo "text mode letters:", t("äöü"), t.Exists("AOU")
On Error Resume Next
t.Add "renamed", 0
WScript.Echo "text mode duplicate:", Err.Number : Err.Clear
On Error GoTo 0
t.RemoveAll
t.Add "again", 1
WScript.Echo "after RemoveAll:", t.Count, t("AGAIN")

' For Each needs an array or a collection.
Dim x, n
n = 5
For Each x In n
    WScript.Echo "not reached"
Next

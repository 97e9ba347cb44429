' Text leaves the console runner as UTF-8, whatever its source.
WScript.Echo "圧力 " & ChrW(&H2103) & " " & ChrW(233) & ChrW(26085)
WScript.StdOut.WriteLine "µm²"

' Line layout: tabs, CR LF line ends, comments that look like code, keywords in any case.
Dim value_1, x2y
value_1 = 007	' a tab before this comment
x2y = &hFF
WScript.Echo "leading zeros and hex:", value_1, TypeName(value_1), x2y
WScript.Echo "it's ' not a comment", "REM neither"
' a comment ending in an underscore does not continue _
WScript.Echo "after the comment"
Rem
DIM Upper : upper = 1
IF upper = 1 THEN
	wscript.echo "keywords in capitals", UPPER
END IF
WScript.Echo "spaces before continuation", 1 +   _
	2

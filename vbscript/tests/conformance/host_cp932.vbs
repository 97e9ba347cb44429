' This file is stored in CP932 (Shift_JIS), as Japanese users' library files are.
Dim s : s = "“ú–{‚Ì’PˆÊ"
WScript.Echo Len(s), AscW(Left(s, 1)), AscW(Mid(s, 2, 1)), AscW(Right(s, 1)), InStr(s, "’P")
' ¶Å are single-byte in CP932 and still one character each; AscW is a
' signed 16-bit Integer, so U+FF76 reads as -138
WScript.Echo Len("¶Å"), AscW("¶")

' Run with standard output on a full device: output too short to fail
' before the end.
WScript.Echo "important data"

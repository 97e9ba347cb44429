-- Writes the same engineering-style function library twice, as
-- OUTDIR/lib1mb.vbs (about 1 MB) and OUTDIR/lib1mb.lua, for the compile
-- benchmark. The first line of each names how many procedures it holds;
-- "@@" in a template stands for the variant number.
-- usage: lua5.4 gen_library.lua OUTDIR [BYTES]
local outdir = assert(arg[1], "usage: gen_library.lua OUTDIR [BYTES]")
local target = tonumber(arg[2] or "") or 1048576

local vbs_templates = {
[[
' Pressure loss of a pipe run, variant @@
Dim gLastLoss@@
Function PipeLoss@@(flow, diameter, length)
    Dim velocity, reynolds, friction
    If diameter <= 0 Then
        PipeLoss@@ = 0
        Exit Function
    End If
    velocity = flow / (3.14159265358979 * diameter * diameter / 4)
    reynolds = velocity * diameter / 0.000001004
    If reynolds < 2300 Then
        friction = 64 / reynolds
    Else
        friction = 0.3164 / reynolds ^ 0.25
    End If
    gLastLoss@@ = friction * length / diameter * velocity ^ 2 / (2 * 9.80665)
    PipeLoss@@ = gLastLoss@@
End Function

]],
[[
' Category of a unit code, variant @@
Function UnitLabel@@(code)
    Dim s
    Select Case LCase(Trim(code))
        Case "m", "meter", "metre"
            s = "Length"
        Case "kg", "g", "t"
            s = "Mass"
        Case "s", "sec", "min", "h"
            s = "Time"
        Case Else
            s = "Unknown (" & code & ")"
    End Select
    UnitLabel@@ = s & " [@@]"
End Function

]],
[[
' Mean, minimum and maximum of a list of readings, variant @@
Function Stats@@(values)
    Dim i, total, minV, maxV, n
    n = UBound(values) - LBound(values) + 1
    If n <= 0 Then
        Stats@@ = Array(0, 0, 0)
        Exit Function
    End If
    total = 0
    minV = values(LBound(values))
    maxV = minV
    For i = LBound(values) To UBound(values)
        total = total + values(i)
        If values(i) < minV Then minV = values(i)
        If values(i) > maxV Then maxV = values(i)
    Next
    Stats@@ = Array(total / n, minV, maxV)
End Function

]],
[[
' Newton iteration for a cube root, variant @@
Sub CubeRoot@@(ByVal x, ByRef result, ByRef steps)
    Dim guess, prev
    guess = x / 3 + 1
    steps = 0
    Do
        prev = guess
        guess = guess - (guess * guess * guess - x) / (3 * guess * guess)
        steps = steps + 1
    Loop Until Abs(guess - prev) < 1E-12 Or steps > 100
    result = guess
End Sub

]],
}

local lua_templates = {
[[
-- Pressure loss of a pipe run, variant @@
gLastLoss@@ = nil
function PipeLoss@@(flow, diameter, length)
  local velocity, reynolds, friction
  if diameter <= 0 then
    return 0
  end
  velocity = flow / (3.14159265358979 * diameter * diameter / 4)
  reynolds = velocity * diameter / 0.000001004
  if reynolds < 2300 then
    friction = 64 / reynolds
  else
    friction = 0.3164 / reynolds ^ 0.25
  end
  gLastLoss@@ = friction * length / diameter * velocity ^ 2 / (2 * 9.80665)
  return gLastLoss@@
end

]],
[[
-- Category of a unit code, variant @@
function UnitLabel@@(code)
  local s
  local c = string.lower(code:match("^%s*(.-)%s*$"))
  if c == "m" or c == "meter" or c == "metre" then
    s = "Length"
  elseif c == "kg" or c == "g" or c == "t" then
    s = "Mass"
  elseif c == "s" or c == "sec" or c == "min" or c == "h" then
    s = "Time"
  else
    s = "Unknown (" .. code .. ")"
  end
  return s .. " [@@]"
end

]],
[[
-- Mean, minimum and maximum of a list of readings, variant @@
function Stats@@(values)
  local total, minV, maxV
  local n = #values
  if n <= 0 then
    return {0, 0, 0}
  end
  total = 0
  minV = values[1]
  maxV = minV
  for i = 1, n do
    total = total + values[i]
    if values[i] < minV then minV = values[i] end
    if values[i] > maxV then maxV = values[i] end
  end
  return {total / n, minV, maxV}
end

]],
[[
-- Newton iteration for a cube root, variant @@
function CubeRoot@@(x)
  local guess, prev
  local steps = 0
  guess = x / 3 + 1
  repeat
    prev = guess
    guess = guess - (guess * guess * guess - x) / (3 * guess * guess)
    steps = steps + 1
  until math.abs(guess - prev) < 1E-12 or steps > 100
  return guess, steps
end

]],
}

local vbs, lua, size, n = {}, {}, 0, 0
while size < target do
  n = n + 1
  local t = (n - 1) % #vbs_templates + 1
  local v = vbs_templates[t]:gsub("@@", tostring(n))
  vbs[#vbs + 1] = v
  lua[#lua + 1] = (lua_templates[t]:gsub("@@", tostring(n)))
  size = size + #v
end

local function write(name, comment, body)
  local f = assert(io.open(outdir .. "/" .. name, "wb"))
  f:write(comment, " procedures: ", n, "\n")
  f:write((table.concat(body):gsub("\n", "\r\n")))
  f:close()
end
write("lib1mb.vbs", "'", vbs)
write("lib1mb.lua", "--", lua)

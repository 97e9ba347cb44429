-- 100,000 appends to one string; Lua's own idiom collects the pieces in a
-- table and concatenates once
local t = {}
for i = 1, 100000 do
  t[#t + 1] = tostring(i % 10)
end
local s = table.concat(t)
print(#s .. " " .. s:sub(99991, 100000))

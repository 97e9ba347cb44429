-- 100,000 appends to one string with Lua's own repeated concatenation;
-- each `..` makes a new string
local s = ""
for i = 1, 100000 do
  s = s .. tostring(i % 10)
end
print(#s .. " " .. s:sub(99991, 100000))

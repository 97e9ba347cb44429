-- String building with sub, find and gsub over 200,000 short texts
local total = 0
for i = 1, 200000 do
  local s = "item-" .. i .. "-end"
  local p = string.find(s, "-end", 1, true)
  local t = string.sub(s, 6, p - 1)
  s = string.gsub(s, "-", "+")
  total = total + #t + p + #s
end
print(total)

-- Dictionary lookups: 100,000 text keys, then 500,000 lookups
local d = {}
for i = 0, 99999 do
  d["k" .. i] = i
end
local total = 0
for i = 0, 499999 do
  total = total + d["k" .. (i % 100000)]
end
if d["k99999"] ~= nil then total = total + 1 end
print(total)

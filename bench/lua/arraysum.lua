-- Filling and summing a 1,000,000-element array
local a = {}
for i = 0, 999999 do
  a[i + 1] = i * 2
end
local sum = 0
for i = 1, 1000000 do
  sum = sum + a[i]
end
print(sum)

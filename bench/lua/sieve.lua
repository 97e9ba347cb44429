-- Sieve of Eratosthenes over a fresh array of 2,000,001 flags, 3 times
local n = 2000000
local total = 0
for r = 1, 3 do
  local flags = {}
  for i = 0, n do flags[i] = false end
  for i = 2, n do
    flags[i] = true
  end
  local count = 0
  for i = 2, n do
    if flags[i] then
      count = count + 1
      for j = i * i, n, i do
        flags[j] = false
      end
    end
  end
  total = total + count
end
print(total)

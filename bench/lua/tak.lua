-- Recursion with three arguments: Takeuchi's function
local function tak(x, y, z)
  if y < x then
    return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
  else
    return z
  end
end
local total = 0
for r = 1, 3 do
  total = total + tak(24, 16, 8) + tak(18, 12, 6)
end
print(total)

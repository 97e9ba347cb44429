-- Floating-point arithmetic in a counted loop: 5,000,000 iterations
local x, y = 0.0, 1.0
for i = 1, 5000000 do
  x = x + y * 0.5
  y = y * 0.999999 + 0.000002
end
print(math.floor(x))

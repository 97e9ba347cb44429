-- 2-D array arithmetic: the product of two 140 x 140 matrices, twice
local N = 140
local a, b, c = {}, {}, {}
for i = 0, N - 1 do
  a[i], b[i], c[i] = {}, {}, {}
  for j = 0, N - 1 do
    a[i][j] = (i + j) % 7
    b[i][j] = (i * j) % 5
  end
end
local total = 0
for r = 1, 2 do
  for i = 0, N - 1 do
    for j = 0, N - 1 do
      local s = 0
      for k = 0, N - 1 do
        s = s + a[i][k] * b[k][j]
      end
      c[i][j] = s
    end
  end
  for i = 0, N - 1 do
    for j = 0, N - 1 do
      total = total + c[i][j]
    end
  end
end
print(total)

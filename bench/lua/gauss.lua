-- Gauss elimination with partial pivoting on a 100 x 100 system, 10 times
local N = 100
local a, b, x = {}, {}, {}
for i = 0, N - 1 do a[i] = {} end
local check = 0
for r = 1, 10 do
  for i = 0, N - 1 do
    for j = 0, N - 1 do
      a[i][j] = 1 / (i + j + r)
    end
    a[i][i] = a[i][i] + N
    b[i] = i + 1
  end
  for k = 0, N - 2 do
    local p = k
    for i = k + 1, N - 1 do
      if math.abs(a[i][k]) > math.abs(a[p][k]) then p = i end
    end
    if p ~= k then
      for j = 0, N - 1 do
        local t = a[k][j]; a[k][j] = a[p][j]; a[p][j] = t
      end
      local t = b[k]; b[k] = b[p]; b[p] = t
    end
    for i = k + 1, N - 1 do
      local f = a[i][k] / a[k][k]
      for j = k, N - 1 do
        a[i][j] = a[i][j] - f * a[k][j]
      end
      b[i] = b[i] - f * b[k]
    end
  end
  for i = N - 1, 0, -1 do
    local s = b[i]
    for j = i + 1, N - 1 do
      s = s - a[i][j] * x[j]
    end
    x[i] = s / a[i][i]
  end
  for i = 0, N - 1 do
    check = check + x[i]
  end
end
print(math.floor(check * 1000000 + 0.5))

-- String-heavy library code over about 1 MB of text: concat, split, gsub, find
local words = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"}
local parts = {}
for i = 0, 31999 do
  parts[i + 1] = words[i % 8 + 1] .. " " .. words[(i * 3) % 8 + 1] .. " " .. i .. " "
    .. words[(i * 5) % 8 + 1] .. " value=" .. (i % 97)
end
local text = table.concat(parts, "\n")
local lines = {}
for line in (text .. "\n"):gmatch("(.-)\n") do
  lines[#lines + 1] = line
end
local count = 0
for _, line in ipairs(lines) do
  local fields = {}
  for field in (line .. " "):gmatch("(.-) ") do
    fields[#fields + 1] = field
  end
  count = count + #fields
end
local replaced = text:gsub("gamma", "GAMMA-RAY")
local n = 0
local pos = text:find("beta", 1, true)
while pos do
  n = n + 1
  pos = text:find("beta", pos + 1, true)
end
local joined = table.concat(lines, "\r\n")
print(table.concat({#text, #lines, count, #replaced, n, #joined}, " "))

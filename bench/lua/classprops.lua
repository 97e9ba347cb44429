-- Class instances with properties: 1,000 points moved 1,000 times through
-- getters/setters and a method
local Point = {}
Point.__index = Point
function Point.new() return setmetatable({mX = nil, mY = nil}, Point) end
function Point:getX() return self.mX end
function Point:setX(v) self.mX = v end
function Point:getY() return self.mY end
function Point:setY(v) self.mY = v end
function Point:move(dx, dy)
  self.mX = self.mX + dx
  self.mY = self.mY + dy
end
local pts = {}
for i = 0, 999 do
  pts[i] = Point.new()
  pts[i]:setX(i)
  pts[i]:setY(0)
end
for r = 1, 1000 do
  for i = 0, 999 do
    local p = pts[i]
    p:setX(p:getX() + 1)
    p:move(1, p:getX() % 3)
  end
end
local total = 0
for i = 0, 999 do
  total = total + pts[i]:getX() + pts[i]:getY()
end
print(total)

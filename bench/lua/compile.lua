-- Compiling about 1 MB of library code without running it
local f = assert(io.open(assert(arg[1]), "rb"))
local src = f:read("a")
f:close()
assert(load(src, "=library"))
print(src:match("^%-%- procedures: (%d+)"))

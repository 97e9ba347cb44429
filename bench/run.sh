#!/usr/bin/env bash
# Runs each benchmark program in VBScript (through a Release build of vbsrun)
# and in Lua 5.4, in alternating rounds, best round of each side, and prints a table of the times,
# their VBScript/Lua ratio and whether both printed the same checksum, then
# the peak memory of compiling the 1 MB library (target: under 50 MB).
#
# usage: bench/run.sh [REPETITIONS]        (default 11)
# environment: BENCH_BUILD_DIR (default build/release), LUA (default lua5.4)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BENCH_BUILD_DIR:-$root/build/release}
reps=${1:-11}
lua=${LUA:-lua5.4}

command -v "$lua" >/dev/null || { echo "bench: $lua not found" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Configure once with our options; later runs keep whatever the folder holds.
# Build output goes to a log that is shown only when something fails.
if [[ ! -f $build/CMakeCache.txt ]]; then
  if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_BUILD_GUI=OFF \
      >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    echo "bench: configure failed" >&2
    exit 2
  fi
fi
if ! cmake --build "$build" --target vbsrun -j2 >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  echo "bench: building vbsrun failed" >&2
  exit 2
fi
have_helper=0
if cmake --build "$build" --target bench_compile -j2 >"$work/build.log" 2>&1; then have_helper=1; fi
vbsrun=$build/bin/vbsrun

"$lua" "$here/gen_library.lua" "$work" || { echo "bench: generating the library failed" >&2; exit 2; }

# time_ns CMD...: one run of CMD; prints its wall time in ns, or "fail".
# Its output stays in $work/out and $work/err.
time_ns() {
  local t0 t1
  t0=$(date +%s%N)
  if ! "$@" >"$work/out" 2>"$work/err"; then
    echo fail
    return
  fi
  t1=$(date +%s%N)
  echo $((t1 - t0))
}

# better OLD NEW: the smaller of two times ("fail" wins).
better() {
  if [[ $1 == fail || $2 == fail ]]; then echo fail
  elif [[ -z $1 || $2 -lt $1 ]]; then echo "$2"
  else echo "$1"; fi
}

secs() { [[ $1 == fail ]] && echo fail || awk -v n="$1" 'BEGIN { printf "%.3f", n / 1e9 }'; }

echo "best of $reps alternating rounds; target: every VBScript/Lua ratio at most 1.0"
printf '%-12s %12s %10s %8s  %s\n' program "VBScript s" "Lua s" ratio checksum
status=0
peak=""
for prog in fib floatloop strappend arraysum calls strlib matrix gauss tak sieve classprops dictlookup strbuild compile; do
  if [[ $prog == compile ]]; then
    if ((have_helper)); then
      vbs_cmd=("$build/bin/bench_compile" "$work/lib1mb.vbs")
    else
      vbs_cmd=("$vbsrun" "$work/lib1mb.vbs")
    fi
    lua_cmd=("$lua" "$here/lua/compile.lua" "$work/lib1mb.lua")
  else
    vbs_cmd=("$vbsrun" "$here/vbs/$prog.vbs")
    lua_cmd=("$lua" "$here/lua/$prog.lua")
  fi
  # The two sides take turns, round by round, so that a slow spell of a
  # shared machine hits both; each side keeps its best round.
  vbs_ns="" lua_ns="" vbs_out="" lua_out="" vbs_why=""
  for ((r = 0; r < reps; r++)); do
    t=$(time_ns "${vbs_cmd[@]}")
    vbs_ns=$(better "$vbs_ns" "$t")
    vbs_out=$(tr -d '\r' <"$work/out")
    if [[ $prog == compile && $have_helper == 1 && $t != fail ]]; then
      peak=$(awk '/^peak_kb/ { print $2 }' "$work/err")
    fi
    if [[ $t == fail ]]; then vbs_why=$(head -c 200 "$work/err"); break; fi
    t=$(time_ns "${lua_cmd[@]}")
    lua_ns=$(better "$lua_ns" "$t")
    lua_out=$(tr -d '\r' <"$work/out")
    [[ $t == fail ]] && break
  done

  if [[ $vbs_ns == fail || $lua_ns == fail ]]; then
    ratio=-
    check="failed${vbs_why:+: $vbs_why}"
    status=1
  else
    ratio=$(awk -v a="$vbs_ns" -v b="$lua_ns" 'BEGIN { printf "%.2f", a / b }')
    if [[ $prog == compile && $have_helper == 0 ]]; then
      check="not compared (no bench_compile)"
    elif [[ $vbs_out == "$lua_out" ]]; then
      check="same ($vbs_out)"
    else
      check="DIFFERENT: vbs [$vbs_out] lua [$lua_out]"
      status=1
    fi
  fi
  printf '%-12s %12s %10s %8s  %s\n' "$prog" "$(secs "$vbs_ns")" "$(secs "$lua_ns")" "$ratio" "$check"
  vbs_why=""
done

if [[ -n $peak ]]; then
  awk -v k="$peak" 'BEGIN { printf "peak memory compiling the 1 MB library: %.1f MB (target < 50 MB: %s)\n", k / 1024, (k < 50 * 1024 ? "met" : "MISSED") }'
else
  echo "peak memory compiling the 1 MB library: not measured (bench_compile unavailable or failed)"
fi
exit $status

#!/usr/bin/env bash
# Builds the calculator (release) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/ensure-deps.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_BUILD_GUI=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"
exec "$build/bin/zelCalc" "$@"

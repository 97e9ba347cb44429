#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test headless; the engine and calculator tests also run under
# ThreadSanitizer (tools/test-tsan.sh). Ends with CTest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/ensure-deps.sh"
build="$root/build/asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEL_SANITIZE=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"
# The engine and the calculator's tests once more under ThreadSanitizer.
"$root/tools/test-tsan.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tools/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
exec ctest --output-on-failure --parallel "$(nproc)" --timeout 600

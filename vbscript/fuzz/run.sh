#!/usr/bin/env bash
# Builds the engine's libFuzzer target with clang (coverage in every engine
# library, AddressSanitizer and UndefinedBehaviorSanitizer) and fuzzes it.
#   vbscript/fuzz/run.sh [SECONDS] [extra libFuzzer flags...]
# The corpus starts from seeds/ and the conformance scripts and grows in
# build/fuzz/corpus; crash inputs land in build/fuzz/findings. It runs in a
# scratch folder of its own (build/fuzz/scratch, emptied first), so that
# nothing an input does lands in the working tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-600}
shift || true
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEL_SANITIZE=ON -DZEL_FUZZ=ON -DZEL_BUILD_GUI=OFF -DZEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target vbs_fuzz --parallel "$(nproc)"
mkdir -p "$build/corpus" "$build/findings"
rm -rf "$build/scratch"
mkdir -p "$build/scratch"
cp -n "$root"/vbscript/fuzz/seeds/* "$build/corpus/" 2>/dev/null || true
cp -n "$root"/vbscript/tests/conformance/*.vbs "$build/corpus/" 2>/dev/null || true
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build/scratch"
exec "$build/bin/vbs_fuzz" "$build/corpus" \
  -dict="$root/vbscript/fuzz/vbscript.dict" -max_len=8192 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix="$build/findings/" -max_total_time="$seconds" -print_final_stats=1 "$@"

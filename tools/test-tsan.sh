#!/usr/bin/env bash
# Builds the script engine and the calculator's host and window tests with
# ThreadSanitizer (in build/tsan, apart from the AddressSanitizer build) and
# runs them headless. Scripts run on the engine's worker thread while the
# windows stay on the user-interface thread; this checks that nothing
# crosses between the two without synchronisation. tools/test.sh runs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/ensure-deps.sh"
build="$root/build/tsan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEL_SANITIZE_THREAD=ON \
  -DZEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target vbs_engine_tests zelCalcTests
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tools/tsan.supp}
"$build/bin/vbs_engine_tests" --gtest_brief=1
# Tests that start another process are left out: Qt starts it the vfork way,
# and the child then runs on the parent's sanitizer state, which leaves every
# later report of the run false.
"$build/bin/zelCalcTests" --gtest_brief=1 \
  --gtest_filter='-StartupTest.LockOfACrashedRunDoesNotBlock:ProgramRun.*:StartupTest.LoadErrorAnsweredNoEndsTheProgram:HostTest.LoadErrorNo*'

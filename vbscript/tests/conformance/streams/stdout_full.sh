#!/usr/bin/env bash
# Output that cannot be written must not pass for success: with standard
# output on /dev/full, a write that fails raises 61 in the script, and the
# run ends with a message on standard error and a failure status.
#   stdout_full.sh VBSRUN
vbsrun=$1
dir=$(cd "$(dirname "$0")" && pwd)
failed=0
message="vbsrun: cannot write to standard output: No space left on device"

check() {   # script, expected standard error
  local err rc
  err=$("$vbsrun" "$dir/$1" 2>&1 >/dev/full)
  rc=$?
  if [ "$err" != "$2" ]; then
    printf '%s: standard error was\n%s\nexpected\n%s\n' "$1" "$err" "$2"
    failed=1
  fi
  if [ "$rc" -eq 0 ]; then
    echo "$1: exit status 0 after output was lost"
    failed=1
  fi
}

check stdout_full_short.vbs "$message"
check stdout_full.vbs "echo failed with 61 Disk full
$message"
exit $failed

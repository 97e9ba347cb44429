#!/usr/bin/env bash
# StdIn.ReadAll stops with error 7 as soon as the input cannot fit a string
# (2^28 characters), not after reading all of it: the writer of a 1 GB
# input then finds the pipe closed before it is done.
#   stdin_endless.sh VBSRUN
vbsrun=$1
dir=$(cd "$(dirname "$0")" && pwd)
out=$(dd if=/dev/zero bs=1M count=1024 status=none | "$vbsrun" "$dir/stdin_endless.vbs"
      echo "writer ${PIPESTATUS[0]} reader ${PIPESTATUS[1]}")
status=$(tail -n 1 <<<"$out")
failed=0
if [ "$(head -n 1 <<<"$out")" != "ReadAll: 7 0" ]; then
  echo "script printed: $(head -n 1 <<<"$out")"
  failed=1
fi
case $status in
  "writer 0 "*) echo "the whole input was read ($status)"; failed=1 ;;
  *" reader 0") ;;
  *) echo "the runner failed ($status)"; failed=1 ;;
esac
exit $failed

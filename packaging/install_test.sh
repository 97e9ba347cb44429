#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that every file of an
# installation is there, and starts the installed program headless with a
# fresh home: it must keep running and make the user's library folder.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
pid=
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() {
  for f in "$@"; do
    if [ ! -e "$prefix/$f" ]; then echo "missing: $f"; fail=1; fi
  done
}
need bin/zelCalc bin/vbsrun \
     share/zelCalc/help/VBSManual.qch share/zelCalc/help/VBSManual.qhc \
     share/zelCalc/help/zelCalcManual.qch share/zelCalc/help/zelCalcManual.qhc \
     share/applications/org.zelcalc.zelCalc.desktop \
     share/metainfo/org.zelcalc.zelCalc.metainfo.xml \
     share/icons/hicolor/scalable/apps/org.zelcalc.zelCalc.svg
for size in 16 24 32 48 64 128 256; do
  need "share/icons/hicolor/${size}x${size}/apps/org.zelcalc.zelCalc.png"
done
ls "$prefix"/lib*/zelCalc/libzelCalcLib.so >/dev/null 2>&1 || ls "$prefix"/lib/*/zelCalc/libzelCalcLib.so >/dev/null 2>&1 \
  || { echo "missing: zelCalcLib"; fail=1; }
samples=$(find "$prefix/share/zelCalc/VBS" -iname '*.vbs' | wc -l)
[ "$samples" -gt 0 ] || { echo "missing: the sample library"; fail=1; }
grep -qx 'Categories=Utility;Calculator;' "$prefix/share/applications/org.zelcalc.zelCalc.desktop" \
  || { echo "desktop entry lacks its categories"; fail=1; }
[ "$fail" = 0 ] || exit 1

# The installed vbsrun runs a script.
printf 'WScript.Echo 6 * 7\r\n' > "$tmp/t.vbs"
out=$("$prefix/bin/vbsrun" "$tmp/t.vbs")
[ "$out" = 42 ] || { echo "vbsrun printed: $out"; exit 1; }

# The installed program starts, stays up and makes the user's library.
mkdir -p "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share XDG_CONFIG_HOME=$tmp/home/.config \
  XDG_CACHE_HOME=$tmp/home/.cache XDG_RUNTIME_DIR=$tmp/run QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/zelCalc" >"$tmp/out.txt" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  [ -d "$tmp/home/.local/share/zelCalc/VBS" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
  echo "the installed program ended:"; cat "$tmp/out.txt"; exit 1
fi
got=$(find "$tmp/home/.local/share/zelCalc/VBS" -iname '*.vbs' 2>/dev/null | wc -l)
[ "$got" = "$samples" ] || { echo "user library holds $got of $samples sample files"; exit 1; }
[ ! -e "$prefix/bin/VBS" ] || { echo "a library folder was made beside the installed program"; exit 1; }
echo "installed and started"

#!/usr/bin/env bash
# Takes the manual's screenshots from the real program under a private X
# server with a window manager, so that they can be taken again whenever the
# windows change:
#   tools/take-screenshots.sh [BUILD_DIR [OUT_DIR]]
# BUILD_DIR defaults to build/release (./tools/run.sh builds it), OUT_DIR to
# docs/zelcalc/images. Needs xvfb, openbox, xdotool and imagemagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
out=${2:-$root/docs/zelcalc/images}
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb openbox xdotool imagemagick)"; exit 1; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 1 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# A fresh user: default settings, the sample library, no earlier search index.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
export XDG_CACHE_HOME=$tmp/home/.cache XDG_RUNTIME_DIR=$tmp/run QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Shoots the window with its frame: the screen, cropped to what is not
# background.
shoot() {
  sleep "${2:-1}"
  import -window root "$tmp/shot.png"
  convert "$tmp/shot.png" -trim +repage "$out/$1"
  echo "wrote $out/$1"
}
wait_window() {
  xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1
}

# The main window with a few results.
"$build/bin/zelCalc" >/dev/null 2>&1 &
pids+=($!)
main=$(wait_window "Calculator")
xdotool windowmove "$main" 40 40
xdotool windowactivate --sync "$main"
sleep 1
for input in '2*3+4' 'PipeArea(52.7)' 'Reynolds(998.2, 1.5, 52.7, 1.0)' 'Sqr(2)'; do
  xdotool type --delay 20 "$input"
  xdotool key Return
  sleep 0.3
done
shoot main.png

# The input dialog a script shows through zelIO.
xdotool type --delay 20 'zelIO.getData("Inner diameter [mm]", 50, "Pipe")'
xdotool key Return
dialog=$(wait_window "Pipe")
xdotool windowmove "$dialog" 40 40
xdotool windowactivate --sync "$dialog" || true
shoot dialog.png
xdotool key Escape
sleep 0.5
kill "${pids[-1]}" 2>/dev/null || true
sleep 0.5

# The help window: the VBS Manual's index, and a search in the program manual.
help=$build/bin/help
"$build/bin/zelHelpView" "$help/VBSManual.qhc" --index InStr >/dev/null 2>&1 &
pids+=($!)
w=$(wait_window "VBS Manual")
xdotool windowmove "$w" 40 40
shoot help-vbs-index.png 3
kill "${pids[-1]}" 2>/dev/null || true
"$build/bin/zelHelpView" "$help/zelCalcManual.qhc" --search "library folder" >/dev/null 2>&1 &
pids+=($!)
w=$(wait_window "zelCalc Manual")
xdotool windowmove "$w" 40 40
shoot help.png 4
kill "${pids[-1]}" 2>/dev/null || true

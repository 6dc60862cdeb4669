#!/usr/bin/env bash
# Makes the README's pictures: a real screenshot of the board in a terminal. It starts xterm
# (DejaVu Sans Mono, which has every glyph the board uses, at a UTF-8 locale) under a private Xvfb
# server, runs the referee in it, types 14 and Enter on the keyboard, waits for the board and
# captures the xterm window as a PNG. With --board=compact the terminal is 80 x 24 and a few
# moves follow, the last of them a check.
#
#   scripts/screenshot.sh [OUTPUT.png]                    default docs/board.png
#   scripts/screenshot.sh --board=compact [OUTPUT.png]    default docs/compact.png
#
# The packages it needs (xterm, xvfb, xdotool, imagemagick, fonts-dejavu-core) are installed when
# missing; scripts/deps.sh says which.
set -euo pipefail
cd "$(dirname "$0")/.."
board="" default=docs/board.png
if [ "${1:-}" == --board=compact ]; then
  board=--board=compact default=docs/compact.png
  shift
fi
out="${1:-$default}"
bash scripts/deps.sh build screenshot

mkdir -p build
log=build/screenshot-build.log
if ! { [ -f build/CMakeCache.txt ] || cmake -S . -B build -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF; } \
  >"$log" 2>&1 || ! cmake --build build --target referee -j"$(nproc)" >>"$log" 2>&1; then
  cat "$log" >&2
  echo "screenshot.sh: the build failed (log: $log)" >&2
  exit 1
fi
referee="$(pwd)/build/referee"

work="$(mktemp -d "${TMPDIR:-/tmp}/referee-shot.XXXXXX")"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

# 130 columns and 75 lines hold the whole drawing with its prompt; the compact board has the usual
# terminal of 80 x 24, with a larger font.
geometry=130x75+0+0 font_size=9 moves=()
if [ -n "$board" ]; then
  geometry=80x24+0+0 font_size=13 moves=(e2e4d f7f6d d1h5d)
fi
LANG=C.UTF-8 LC_ALL=C.UTF-8 xterm -geometry "$geometry" -fa 'DejaVu Sans Mono' -fs "$font_size" \
  -bg black -fg gray90 -title referee -e "$referee" $board 2>"$work/xterm.log" &
pids+=($!)
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^referee$' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/xterm.log" >&2; echo "screenshot.sh: no xterm window" >&2; exit 1; }

# Without a window manager the keyboard goes to the window under the pointer.
sleep 1
xdotool mousemove --window "$window" 20 20
xdotool type --delay 100 14
xdotool key Return
sleep 2
for move in "${moves[@]}"; do
  xdotool type --delay 100 "$move"
  xdotool key Return
  sleep 1
done
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "$out"
